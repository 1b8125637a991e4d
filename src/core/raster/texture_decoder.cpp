// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/texture_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>

#include <squish.h>

#include "io/byte_reader.h"
#include "io/error.h"
#include "pixels/channel_widening.h"

namespace vc {

namespace {

RgbaColour FromSixteenBits(TextureFormat format, unsigned v) {
    switch (format) {
        case TextureFormat::C1555:
            return {WidenChannel(v >> 10 & 31, 5), WidenChannel(v >> 5 & 31, 5), WidenChannel(v & 31, 5),
                    uint8_t((v >> 15) ? 255 : 0)};
        case TextureFormat::C555:
            return {WidenChannel(v >> 10 & 31, 5), WidenChannel(v >> 5 & 31, 5), WidenChannel(v & 31, 5), 255};
        case TextureFormat::C565:
            return {WidenChannel(v >> 11, 5), WidenChannel(v >> 5 & 63, 6), WidenChannel(v & 31, 5), 255};
        default:  // 4444
            return {WidenChannel(v >> 8 & 15, 4), WidenChannel(v >> 4 & 15, 4), WidenChannel(v & 15, 4),
                    WidenChannel(v >> 12, 4)};
    }
}

// Stores one pixel and steps past it; the caller sized the buffer for every pixel.
void Put(uint8_t*& out, RgbaColour colour) {
    out[0] = colour.Red;
    out[1] = colour.Green;
    out[2] = colour.Blue;
    out[3] = colour.Alpha;
    out += 4;
}

void DecodePaletted(const StoredLevel& level, ByteSlice pixels, DecodedTexture& decoded) {
    const size_t colours = level.Format == TextureFormat::Pal8 ? 256 : 16;
    const ByteSlice palette = ByteSlice(level.Palette).Sub(0, 4 * colours);
    decoded.Palette.reserve(colours);
    for (size_t i = 0; i < colours; ++i) {
        decoded.Palette.push_back({palette[4 * i], palette[4 * i + 1], palette[4 * i + 2],
                                   level.PaletteAlpha ? palette[4 * i + 3] : uint8_t{255}});
    }
    decoded.Indices.assign(pixels.Bytes().begin(), pixels.Bytes().end());
    // A table of every byte's colour, so that no index needs a check, kept apart from the vectors
    // written (stores through the output would otherwise make the compiler reload the palette's
    // bounds for every pixel). The reader proved that every PAL4 index lies among the 16 colours.
    static_assert(sizeof(RgbaColour) == 4, "a colour is stored as its four bytes in order");
    std::array<RgbaColour, 256> colourOf{};
    std::copy(decoded.Palette.begin(), decoded.Palette.end(), colourOf.begin());
    uint8_t* out = decoded.Rgba.data();
    for (const uint8_t index : decoded.Indices) {
        std::memcpy(out, &colourOf[index], 4);
        out += 4;
    }
}

// Block by block: libsquish's whole-image decoder spreads over OpenMP threads whose waiting costs
// more than small textures take to decode.
void DecodeDxt(TextureFormat format, ByteSlice blocks, DecodedTexture& decoded) {
    const int flags = format == TextureFormat::Dxt1   ? squish::kDxt1
                      : format == TextureFormat::Dxt3 ? squish::kDxt3
                                                      : squish::kDxt5;
    const size_t blockSize = format == TextureFormat::Dxt1 ? 8 : 16;
    const size_t width = decoded.Width;
    const size_t height = decoded.Height;
    uint8_t pixels[16 * 4];
    size_t next = 0;
    for (size_t top = 0; top < height; top += 4) {
        for (size_t left = 0; left < width; left += 4) {
            squish::Decompress(pixels, blocks.Sub(next, blockSize).Bytes().data(), flags);
            next += blockSize;
            // Blocks at the right and bottom edges reach past the picture; their outer pixels are dropped.
            const size_t rows = std::min<size_t>(4, height - top);
            const size_t columns = std::min<size_t>(4, width - left);
            for (size_t row = 0; row < rows; ++row) {
                std::copy_n(pixels + 16 * row, 4 * columns, decoded.Rgba.begin() + 4 * ((top + row) * width + left));
            }
        }
    }
}

void DecodeDirect(TextureFormat format, ByteSlice pixels, DecodedTexture& decoded) {
    const std::span<const uint8_t> bytes = pixels.Bytes();
    uint8_t* rgba = decoded.Rgba.data();
    switch (format) {
        case TextureFormat::C8888:
        case TextureFormat::C888:
            for (size_t i = 0; i < bytes.size(); i += 4) {
                Put(rgba, {bytes[i + 2], bytes[i + 1], bytes[i],
                           format == TextureFormat::C8888 ? bytes[i + 3] : uint8_t{255}});
            }
            break;
        case TextureFormat::Lum8:
            for (const uint8_t grey : bytes) {
                Put(rgba, {grey, grey, grey, 255});
            }
            break;
        default:  // the 16-bit formats
            for (size_t i = 0; i < bytes.size(); i += 2) {
                Put(rgba, FromSixteenBits(format, LoadU16(bytes.data() + i)));
            }
            break;
    }
}

}  // namespace

DecodedTexture DecodeLevel(const StoredLevel& level) {
    DecodedTexture decoded;
    decoded.Width = level.Width;
    decoded.Height = level.Height;
    decoded.Rgba.resize(size_t{4} * level.Width * level.Height);
    const ByteSlice pixels = ByteSlice(level.Pixels).Sub(0, LevelSize(level.Format, level.Width, level.Height));
    switch (level.Format) {
        case TextureFormat::Pal8:
        case TextureFormat::Pal4:
            DecodePaletted(level, pixels, decoded);
            break;
        case TextureFormat::Dxt1:
        case TextureFormat::Dxt3:
        case TextureFormat::Dxt5:
            DecodeDxt(level.Format, pixels, decoded);
            break;
        default:
            DecodeDirect(level.Format, pixels, decoded);
            break;
    }
    return decoded;
}

std::vector<uint8_t> DecodeLevelBgra(const StoredLevel& level) {
    std::vector<uint8_t> pixels = DecodeLevel(level).Rgba;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        std::swap(pixels[i], pixels[i + 2]);
    }
    return pixels;
}

bool AnyTranslucent(const DecodedTexture& decoded) {
    for (size_t i = 3; i < decoded.Rgba.size(); i += 4) {
        if (decoded.Rgba[i] != 255) {
            return true;
        }
    }
    return false;
}

}  // namespace vc
