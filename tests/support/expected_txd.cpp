// SPDX-License-Identifier: GPL-3.0-or-later
#include "expected_txd.h"

#include "io/byte_writer.h"
#include "io/file_io.h"
#include "pixels/image_decoder.h"

namespace vc::test {

namespace {

struct Image {
    BitmapInfo Info;
    DecodedPixels Pixels;
};

Image Decode(const std::string& path) {
    const std::vector<uint8_t> file = ReadWholeFile(path);
    const auto decoder = path.ends_with(".bmp") || path.ends_with(".BMP") ? OpenBmp(file) : OpenJpeg(file);
    return {decoder->Info(), decoder->LoadPixels()};
}

uint8_t Grey(uint8_t red, uint8_t green, uint8_t blue) {
    return static_cast<uint8_t>((3 * red + 6 * green + blue + 5) / 10);
}

RgbColour PaletteEntry(const DecodedPixels& pixels, size_t index) {
    return index < pixels.Palette.size() ? pixels.Palette[index] : RgbColour{};
}

// The alpha of pixel k taken from the alpha image: through its palette when it is paletted.
uint8_t AlphaOfPixel(const Image& alpha, size_t k) {
    if (alpha.Info.BitsPerPixel == 8) {
        const RgbColour c = PaletteEntry(alpha.Pixels, alpha.Pixels.Raster[k]);
        return Grey(c.Red, c.Green, c.Blue);
    }
    const uint8_t* p = &alpha.Pixels.Raster[4 * k];
    return Grey(p[2], p[1], p[0]);
}

}  // namespace

std::vector<uint8_t> ExpectedDictionary(const std::vector<ExpectedTexture>& textures, uint32_t versionStamp,
                                        uint32_t flagWord) {
    ByteWriter out;
    const auto header = [&](uint32_t type, uint64_t size) {
        out.U32(type);
        out.U32(static_cast<uint32_t>(size));
        out.U32(versionStamp);
    };
    header(22, 0);
    header(1, 4);
    out.U32(static_cast<uint32_t>(textures.size()));
    for (const ExpectedTexture& texture : textures) {
        const Image colour = Decode(texture.ColourPath);
        const bool hasAlpha = !texture.AlphaPath.empty();
        const Image alpha = hasAlpha ? Decode(texture.AlphaPath) : Image{};
        const bool paletted = colour.Info.BitsPerPixel == 8;
        const uint64_t pixelCount = uint64_t{colour.Info.Width} * colour.Info.Height;
        const uint64_t raster = pixelCount * (paletted ? 1 : 4);
        const uint64_t data = 88 + (paletted ? 1024 : 0) + 4 + raster;
        header(21, data + 24);
        header(1, data);
        out.U32(8);
        out.U32(flagWord);
        out.FixedText(texture.Name, 32);
        out.FixedText(texture.MaskName, 32);
        out.U32((paletted ? 0x2600 : 0x0600) - (hasAlpha ? 0x100 : 0));
        out.U32(hasAlpha ? 1 : 0);
        out.U16(static_cast<uint16_t>(colour.Info.Width));
        out.U16(static_cast<uint16_t>(colour.Info.Height));
        out.U8(paletted ? 8 : 32);
        out.U8(1);
        out.U8(4);
        out.U8(0);
        std::vector<uint8_t> pixels = colour.Pixels.Raster;
        if (paletted) {
            for (size_t i = 0; i < 256; ++i) {
                const RgbColour c = PaletteEntry(colour.Pixels, i);
                const RgbColour a = hasAlpha ? PaletteEntry(alpha.Pixels, i) : RgbColour{};
                out.Append(std::vector<uint8_t>{c.Red, c.Green, c.Blue,
                                                hasAlpha ? Grey(a.Red, a.Green, a.Blue) : uint8_t{255}});
            }
        } else if (hasAlpha) {
            for (size_t k = 0; k < pixelCount; ++k) {
                pixels[4 * k + 3] = AlphaOfPixel(alpha, k);
            }
        }
        out.U32(static_cast<uint32_t>(raster));
        out.Append(pixels);
        header(3, 0);
    }
    header(3, 28);
    const std::string creator = "Created with Vellumcraft 1.1";
    out.Append({reinterpret_cast<const uint8_t*>(creator.data()), creator.size()});
    out.PatchU32(4, static_cast<uint32_t>(out.Size() - 12));
    return out.Take();
}

}  // namespace vc::test
