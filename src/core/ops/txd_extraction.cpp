// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/txd_extraction.h"

#include <algorithm>
#include <unordered_set>

#include "io/error.h"
#include "io/file_names.h"
#include "io/ordered_work.h"
#include "io/safe_file_names.h"
#include "ops/txd_builder.h"
#include "ops/txd_verdict.h"
#include "pixels/bmp_writer.h"
#include "raster/dds_file.h"
#include "raster/texture_decoder.h"
#include "rw/d3d9_native.h"
#include "rw/native_picture.h"
#include "rw/txd_format.h"
#include "rw/txd_reader.h"
#include "texlist/image_intake.h"
#include "texlist/texture_list_file.h"

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

// The colour image, and the mask when the texture has alpha (empty without): a paletted texture's
// mask keeps the texture's indices over a palette of the alphas of its colours, so that each pixel
// shows its alpha.
struct TextureImages {
    std::vector<uint8_t> Colour;
    std::vector<uint8_t> Mask;
};

// A PAL4 texture's images have 4 bits per pixel, so that they read back as PAL4.
uint16_t BitmapBits(const DecodedTexture& decoded) {
    return decoded.Palette.size() <= PaletteColours(TextureFormat::Pal4) ? 4 : 8;
}

std::vector<RgbColour> PaletteColoursOf(const DecodedTexture& decoded) {
    std::vector<RgbColour> colours;
    for (const RgbaColour& entry : decoded.Palette) {
        colours.push_back({entry.Red, entry.Green, entry.Blue});
    }
    return colours;
}

TextureImages EncodeImages(const DecodedTexture& decoded, std::span<const uint8_t> paletteAlphas, bool withMask) {
    TextureImages images;
    if (!decoded.Palette.empty()) {
        const uint16_t bits = BitmapBits(decoded);
        images.Colour =
            EncodeBmp(PalettedImage{decoded.Width, decoded.Height, PaletteColoursOf(decoded), decoded.Indices, bits});
        if (withMask) {
            const std::vector<RgbColour> greys = GreyLevelPalette(paletteAlphas);
            images.Mask = EncodeBmp(PalettedImage{decoded.Width, decoded.Height, greys, decoded.Indices, bits});
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

// The alpha of each palette colour: the fourth bytes as stored, whether or not the texture reads
// them as alpha, since a build writes them all.
std::vector<uint8_t> PaletteAlphas(std::span<const uint8_t> file, const TxdTexture& texture) {
    std::vector<uint8_t> alphas;
    const std::span<const uint8_t> palette = BytesOf(file, texture.Palette).first(4 * PaletteColours(*texture.Format));
    for (size_t i = 3; i < palette.size(); i += 4) {
        alphas.push_back(palette[i]);
    }
    return alphas;
}

bool AllOpaque(std::span<const uint8_t> levels) {
    return std::all_of(levels.begin(), levels.end(), [](uint8_t level) { return level == 255; });
}

// A bitmap and its mask hold a texture exactly when it has one level of PAL8, 8888, or 888 whose
// unused bytes are 255 as a build writes them; the rest go into a DDS file that keeps their levels.
// PAL4 has no DDS form: its levels go into 4-bit bitmaps of their own.
bool GoesToBitmap(std::span<const uint8_t> file, const TxdTexture& texture) {
    if (*texture.Format == TextureFormat::Pal4) {
        return true;
    }
    if (texture.Levels != 1) {
        return false;
    }
    switch (*texture.Format) {
        case TextureFormat::Pal8:
        case TextureFormat::C8888:
            return true;
        case TextureFormat::C888: {
            const std::span<const uint8_t> pixels = BytesOf(file, texture.LevelPixels[0]);
            for (size_t i = 3; i < pixels.size(); i += 4) {
                if (pixels[i] != 255) {
                    return false;
                }
            }
            return true;
        }
        default:
            return false;
    }
}

DdsImage StoredForm(std::span<const uint8_t> file, const TxdTexture& texture) {
    const TextureFormat format = *texture.Format;
    // Formats whose layout has an alpha mask read back with alpha whatever the texture's flag says.
    DdsImage dds{.Format = format,
                 .Width = texture.Width,
                 .Height = texture.Height,
                 .AlphaPixels = texture.HasAlpha() || HasAlphaMask(format)};
    if (format == TextureFormat::Pal8) {
        const std::span<const uint8_t> palette = BytesOf(file, texture.Palette);
        dds.Palette.assign(palette.begin(), palette.end());
    }
    uint32_t width = texture.Width;
    uint32_t height = texture.Height;
    for (const ByteRange& range : texture.LevelPixels) {
        // A level's size field may claim more than its pixels need; the pixels are what is kept.
        const std::span<const uint8_t> level = BytesOf(file, range).first(LevelSize(format, width, height));
        dds.Levels.emplace_back(level.begin(), level.end());
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    return dds;
}

// A texture's palette and levels as read from the dictionary, and the texture with its ranges
// counted from the first of those bytes: a worker holds one texture, not the dictionary.
struct TextureBytes {
    std::vector<uint8_t> Scratch;  // where a file's bytes were read to
    std::span<const uint8_t> Bytes;
    TxdTexture Texture;
};

TextureBytes ReadTextureBytes(const ByteSource& file, const TxdTexture& texture) {
    TextureBytes read{.Texture = texture};
    if (!texture.Format) {
        return read;
    }
    std::vector<ByteRange*> ranges;
    if (texture.Palette.Size != 0) {
        ranges.push_back(&read.Texture.Palette);
    }
    for (ByteRange& level : read.Texture.LevelPixels) {
        ranges.push_back(&level);
    }
    size_t begin = ranges.front()->Offset;
    size_t end = begin;
    for (const ByteRange* range : ranges) {
        begin = std::min(begin, range->Offset);
        end = std::max(end, range->Offset + range->Size);
    }
    for (ByteRange* range : ranges) {
        range->Offset -= begin;
    }
    read.Bytes = file.View(begin, end - begin, read.Scratch);
    return read;
}

// What one texture gives, made from the dictionary's bytes and that texture alone, so that
// textures can be made on any thread in any order: its files' bytes, and the image information
// its list entry is built against. A texture a bitmap cannot hold gives a DDS file as its colour
// image, and information with its stored format.
struct MadeTexture {
    TextureBytes Read;  // the texture's bytes, which the judge takes too
    TextureImages Images;
    std::optional<bool> Translucent;  // for the judge's rules of pixels
    TImageInfo Colour;
    std::vector<std::vector<uint8_t>> LevelImages;  // PAL4: the levels below the picture
    std::vector<uint8_t> PaletteTail;               // PAL4: the palette's unused entries, unless all zero
};

// A PAL4 texture's levels below the picture, each a 4-bit bitmap over the picture's palette.
std::vector<std::vector<uint8_t>> Pal4LevelImages(std::span<const uint8_t> file, const TxdTexture& texture,
                                                  const DecodedTexture& decoded) {
    std::vector<std::vector<uint8_t>> images;
    const std::vector<RgbColour> colours = PaletteColoursOf(decoded);
    for (uint32_t level = 1; level < texture.LevelPixels.size(); ++level) {
        const uint32_t width = LevelSide(texture.Width, level);
        const uint32_t height = LevelSide(texture.Height, level);
        const std::span<const uint8_t> indices =
            BytesOf(file, texture.LevelPixels[level]).first(LevelSize(TextureFormat::Pal4, width, height));
        images.push_back(EncodeBmp(PalettedImage{width, height, colours, indices, 4}));
    }
    return images;
}

MadeTexture MakeTexture(const ByteSource& dictionary, const TxdTexture& stored) {
    MadeTexture made{.Read = ReadTextureBytes(dictionary, stored)};
    const std::span<const uint8_t> file = made.Read.Bytes;
    const TxdTexture& texture = made.Read.Texture;
    if (!texture.Format) {
        return made;
    }
    if (GoesToBitmap(file, texture)) {
        const DecodedTexture decoded = DecodeTexture(file, texture);
        const std::vector<uint8_t> alphas = PaletteAlphas(file, texture);
        made.Translucent = AnyTranslucent(decoded);
        const bool withMask =
            texture.HasAlpha() || (IsPaletted(*texture.Format) ? !AllOpaque(alphas) : *made.Translucent);
        made.Images = EncodeImages(decoded, alphas, withMask);
        made.Colour = {.Height = texture.Height,
                       .Width = texture.Width,
                       .Depth = decoded.Palette.empty() ? uint8_t{32} : uint8_t{8}};
        if (*texture.Format == TextureFormat::Pal4) {
            made.LevelImages = Pal4LevelImages(file, texture, decoded);
            const std::span<const uint8_t> tail = BytesOf(file, texture.Palette).last(kPal4PaletteTail);
            if (std::any_of(tail.begin(), tail.end(), [](uint8_t byte) { return byte != 0; })) {
                made.PaletteTail.assign(tail.begin(), tail.end());
            }
        }
    } else {
        const DdsImage dds = StoredForm(file, texture);
        made.Images.Colour = EncodeDds(dds);
        made.Colour = StoredImageInfo(dds);
        made.Translucent = AnyTranslucent(DecodeTexture(file, texture));
    }
    return made;
}

// The list keys that make a default build write the texture's own fields: each set only where
// the entry and its images would otherwise give other bytes.
void KeepFields(const TxdTexture& texture, const TImageInfo& colour, TTexFile& entry) {
    TextureOutput& output = entry.Output;
    output.Mipmaps = texture.Levels > 1;
    if ((entry.HasAlpha || colour.HasAlpha) != texture.HasAlpha()) {
        output.AlphaFlag = texture.HasAlpha();
    }
    if (colour.StoredFormat || ChoiceFor(entry, colour).Format != *texture.Format) {
        output.Format = *texture.Format;
    }
    // A kept field can change what the others are derived from (the alpha flag the raster format
    // and the mask name, a kept raster format whether a DXT1 texture holds alpha), so they are kept
    // one at a time, in that order, until the build derives the rest. Each is kept at most once.
    for (;;) {
        const TextureFields fields = FieldsFor(entry, colour, *texture.Format, texture.Levels, kTextureFlags[1]);
        if (fields.AlphaFlag != texture.HasAlpha() && !output.AlphaFlag) {
            output.AlphaFlag = texture.HasAlpha();
        } else if (fields.RasterFormat != texture.RasterFormat && !output.RasterFormat) {
            output.RasterFormat = texture.RasterFormat;
            if (((texture.RasterFormat & kRasterMipmap) != 0) != (texture.Levels > 1)) {
                output.RasterLevels = texture.Levels;
            }
        } else if (fields.MaskName != texture.MaskName && !output.MaskName) {
            output.MaskName = texture.MaskName;
        } else if (fields.Flags != texture.Flags && !output.Flags) {
            output.Flags = texture.Flags;
        } else {
            break;
        }
    }
    // A depth, surface format or flags byte stands only for the format it was kept with, which the
    // entry then names.
    if (texture.Depth != DepthOf(*texture.Format)) {
        output.Depth = texture.Depth;
        output.Format = *texture.Format;
    }
    if (texture.Platform == static_cast<uint32_t>(TxdPlatform::Direct3D9)) {
        if (texture.D3dFormat != D3d9FormatCode(*texture.Format)) {
            output.D3dFormat = texture.D3dFormat;
            output.Format = *texture.Format;
        }
        if (texture.D3d9Flags != D3d9FlagsOf(*texture.Format, texture.HasAlpha())) {
            output.D3d9Flags = texture.D3d9Flags;
            output.Format = *texture.Format;
        }
    }
    output.Extension = texture.Extension;
    // Sides a new image may not have (1 × 1, 24 × 8) are the texture's own: the list says to keep them.
    output.KeepSize = !MeetsSizeRules(texture.Width, texture.Height, SizeRules::PowerOfTwo);
}

std::string InFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (!path.empty() && path.back() != '/' && path.back() != kFolderSeparator) {
        path += kFolderSeparator;
    }
    return path + std::string(fileName);
}

// Writes a made texture's files under names claimed in turn, notes them in extracted, and gives
// the texture's list entry.
TTexFile WriteTexture(const TxdTexture& texture, const MadeTexture& made, std::string_view folder,
                      UniqueFileNames& names, ExtractionSink& sink, ExtractedTexture& extracted) {
    TTexFile entry;
    entry.TexName = texture.Name;
    extracted.ImageFile = names.Claim(texture.Name, made.Colour.StoredFormat ? ".dds" : ".bmp");
    sink.Write(extracted.ImageFile, made.Images.Colour);
    if (!made.Images.Mask.empty()) {
        // A texture without a mask name, or with its own name as one, gets its own name with "a",
        // as a list import gives it.
        const bool ownName = texture.MaskName.empty() || texture.MaskName == texture.Name;
        extracted.MaskName = ownName ? texture.Name + "a" : texture.MaskName;
        extracted.MaskFile = names.Claim(extracted.MaskName, ".bmp");
        sink.Write(extracted.MaskFile, made.Images.Mask);
        entry.HasAlpha = true;
        entry.AlphaName = extracted.MaskName;
        entry.AlphaPath = InFolder(folder, extracted.MaskFile);
    }
    entry.TexPath = InFolder(folder, extracted.ImageFile);
    KeepFields(texture, made.Colour, entry);
    const std::string_view imageName = FileNameWithoutExtension(extracted.ImageFile);
    for (size_t level = 1; level <= made.LevelImages.size(); ++level) {
        const std::string levelFile = names.Claim(std::string(imageName) + "_mip" + std::to_string(level), ".bmp");
        sink.Write(levelFile, made.LevelImages[level - 1]);
        entry.Output.LevelPaths.push_back(InFolder(folder, levelFile));
    }
    entry.Output.PaletteTail = made.PaletteTail;
    return entry;
}

}  // namespace

ExtractionResult ExtractTxd(std::span<const uint8_t> file, std::string_view listBaseName, std::string_view folder,
                            ExtractionSink& sink, const ExtractionProgress& progress, unsigned jobs) {
    return ExtractTxd(MemoryBytes(file), listBaseName, folder, sink, progress, jobs);
}

ExtractionResult ExtractTxd(const ByteSource& file, std::string_view listBaseName, std::string_view folder,
                            ExtractionSink& sink, const ExtractionProgress& progress, unsigned jobs, CoreShare* cores) {
    const TxdContents contents = ReadTxdUpToDamage(file);
    const std::vector<TxdTexture>& textures = contents.Textures;
    ExtractionResult result;
    result.VersionStamp = contents.VersionStamp;
    if (HoldsDirect3d9(contents)) {
        result.Target = Game::SanAndreas;
    }
    result.Damage = contents.Damage;
    TxdJudge judge(GuessedGame(contents), true, contents.VersionStamp);
    if (contents.Damage) {
        judge.Damaged(*contents.Damage);
    }
    UniqueFileNames names;
    std::unordered_set<std::string> textureNames;  // as a list's look-up compares them
    const std::string listFile = names.Claim(listBaseName, ".txt");
    TextureList list;
    // Textures are made on the workers; names are claimed and files written here, in dictionary
    // order, so that they come out the same for any number of jobs.
    RunInOrder(
        textures.size(), jobs,
        [&](unsigned, size_t index) {
            const CoreShare::Held core(cores);
            return MakeTexture(file, textures[index]);
        },
        [&](size_t index, const MadeTexture& made) {
            const TxdTexture& texture = textures[index];
            ExtractedTexture& extracted = result.Textures.emplace_back();
            extracted.Name = texture.Name;
            extracted.Width = texture.Width;
            extracted.Height = texture.Height;
            extracted.Levels = texture.Levels;
            extracted.Format = texture.Format ? std::string(TextureFormatName(*texture.Format)) : "?";
            judge.AddRead(made.Read.Bytes, made.Read.Texture, made.Translucent);
            if (texture.Format) {
                list.push_back(WriteTexture(texture, made, folder, names, sink, extracted));
                list.back().Output.RepeatedName = !textureNames.insert(ComparableText(texture.Name)).second;
            } else {
                extracted.Problem = texture.Problem;
                ++result.Failed;
            }
        },
        [&](size_t index) {
            if (progress) {
                progress(index, textures.size(), textures[index].Name);
            }
        });
    if (!list.empty()) {
        result.ListFile = listFile;
        sink.Write(listFile, AsBytes(TextureListProfile(list, contents.VersionStamp, result.Target).Bytes()));
    }
    result.Judgement = judge.Take();
    return result;
}

std::string DamageText(std::string_view dictionaryName, const TxdDamage& damage) {
    const std::string file = "\"" + std::string(dictionaryName) + "\" is damaged";
    // The reader's message after its place, on a line of its own, so that no line runs wide.
    std::string detail = damage.Detail;
    if (const size_t colon = detail.find(": "); colon != std::string::npos) {
        detail.replace(colon, 2, ":\r\n\t");
    }
    const std::string details = "\r\n\t(" + detail + ")";
    const std::string before = std::to_string(damage.Texture) + (damage.Texture == 1 ? " texture" : " textures");
    if (damage.Texture >= damage.Count) {
        return file + " after its last texture:\r\n\tall " + before + " were read." + details;
    }
    const std::string which = "texture " + std::to_string(damage.Texture + 1) + " of " + std::to_string(damage.Count);
    const std::string what = damage.CutShort ? "the file ends inside " + which + ", so it was cut short."
                                             : which +
                                                   " does not hold what a texture holds, so the file was changed or "
                                                   "overwritten there.";
    const std::string read = damage.Texture == 0   ? "No texture before it could be read."
                             : damage.Texture == 1 ? "The texture before it was read."
                                                   : "The " + before + " before it were read.";
    return file + ":\r\n\t" + what + "\r\n\t" + read + details;
}

}  // namespace vc
