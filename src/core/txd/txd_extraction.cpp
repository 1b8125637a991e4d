#include "txd/txd_extraction.h"

#include <algorithm>

#include "io/error.h"
#include "io/safe_file_names.h"
#include "listfile/texture_list_file.h"
#include "texlist/bmp_writer.h"
#include "txd/texture_decoder.h"
#include "txd/txd_reader.h"

namespace vc {

namespace {

std::span<const uint8_t> AsBytes(std::string_view text) {
    return {reinterpret_cast<const uint8_t*>(text.data()), text.size()};
}

std::vector<uint8_t> AlphaLevels(const DecodedTexture& decoded) {
    std::vector<uint8_t> levels(decoded.Rgba.size() / 4);
    for (size_t i = 0; i < levels.size(); ++i) {
        levels[i] = decoded.Rgba[4 * i + 3];
    }
    return levels;
}

bool AnyTranslucent(const DecodedTexture& decoded) {
    for (size_t i = 3; i < decoded.Rgba.size(); i += 4) {
        if (decoded.Rgba[i] != 255) {
            return true;
        }
    }
    return false;
}

// The colour image, and the mask when the texture has alpha: a paletted texture's mask keeps the
// texture's indices over a palette of the alphas of its colours, so that each pixel shows its alpha.
struct TextureImages {
    std::vector<uint8_t> Colour;
    std::vector<uint8_t> Mask;
};

TextureImages EncodeImages(const DecodedTexture& decoded, bool withMask) {
    TextureImages images;
    if (!decoded.Palette.empty()) {
        std::vector<RgbColour> colours;
        std::vector<uint8_t> alphas;
        for (const RgbaColour& entry : decoded.Palette) {
            colours.push_back({entry.Red, entry.Green, entry.Blue});
            alphas.push_back(entry.Alpha);
        }
        images.Colour = EncodeBmp(PalettedImage{decoded.Width, decoded.Height, colours, decoded.Indices});
        if (withMask) {
            const std::vector<RgbColour> greys = GreyLevelPalette(alphas);
            images.Mask = EncodeBmp(PalettedImage{decoded.Width, decoded.Height, greys, decoded.Indices});
        }
        return images;
    }
    images.Colour = EncodeBmp(TrueColourImage{decoded.Width, decoded.Height, decoded.Rgba, PixelOrder::Rgba});
    if (withMask) {
        const std::vector<uint8_t> levels = AlphaLevels(decoded);
        images.Mask = EncodeBmp(GreyImage(decoded.Width, decoded.Height, levels));
    }
    return images;
}

std::string InFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/') {
        path += '/';
    }
    return path + std::string(fileName);
}

}  // namespace

ExtractionResult ExtractTxd(std::span<const uint8_t> file, std::string_view listBaseName, std::string_view folder,
                            ExtractionSink& sink, const ExtractionProgress& progress) {
    const TxdContents contents = ReadTxd(file);
    ExtractionResult result;
    UniqueFileNames names;
    const std::string listFile = names.Claim(listBaseName, ".txt");
    TextureList list;
    for (const TxdTexture& texture : contents.Textures) {
        if (progress) {
            progress(result.Textures.size(), contents.Textures.size(), texture.Name);
        }
        ExtractedTexture& extracted = result.Textures.emplace_back();
        extracted.Name = texture.Name;
        extracted.Width = texture.Width;
        extracted.Height = texture.Height;
        extracted.Levels = texture.Levels;
        extracted.Format = texture.Format ? std::string(TextureFormatName(*texture.Format)) : "?";
        DecodedTexture decoded;
        try {
            decoded = DecodeTexture(file, texture);
        } catch (const Error& error) {
            if (error.Kind() != ErrorKind::Malformed) {
                throw;
            }
            extracted.Problem = error.what();
            ++result.Failed;
            continue;
        }
        const bool withMask = texture.HasAlpha() || (CarriesAlpha(*texture.Format) && AnyTranslucent(decoded));
        const TextureImages images = EncodeImages(decoded, withMask);
        TTexFile entry;
        entry.TexName = texture.Name;
        extracted.ImageFile = names.Claim(texture.Name, ".bmp");
        entry.TexPath = InFolder(folder, extracted.ImageFile);
        sink.Write(extracted.ImageFile, images.Colour);
        if (withMask) {
            // A texture without a mask name gets its own name with "a", as a list import gives it.
            extracted.MaskName = texture.MaskName.empty() ? texture.Name + "a" : texture.MaskName;
            extracted.MaskFile = names.Claim(extracted.MaskName, ".bmp");
            sink.Write(extracted.MaskFile, images.Mask);
            entry.HasAlpha = true;
            entry.AlphaName = extracted.MaskName;
            entry.AlphaPath = InFolder(folder, extracted.MaskFile);
        }
        list.push_back(std::move(entry));
    }
    if (!list.empty()) {
        result.ListFile = listFile;
        sink.Write(listFile, AsBytes(TextureListProfile(list).Bytes()));
    }
    return result;
}

}  // namespace vc
