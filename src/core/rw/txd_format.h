// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

#include "io/byte_sink.h"
#include "raster/texture_format.h"
#include "raster/texture_raster.h"
#include "rw/chunk_type.h"

namespace vc {

// The version stamp carries the RenderWare version in its upper 16 bits and 0xFFFF below:
// 3.2.0.0, 3.3.0.2 (GTA III on PC) and 3.4.0.3 (Vice City on PC).
constexpr std::array<uint32_t, 3> kVersionStamps = {0x0800FFFF, 0x0C02FFFF, 0x1003FFFF};
constexpr size_t kDefaultVersionIndex = 1;
// The texture's flag word holds the filter mode in its low byte, the U addressing in bits 8-11 and
// the V addressing in bits 12-15. The three choices all wrap both ways; they differ in the filter.
enum class TextureFilter : uint32_t {
    Nearest = 1,
    Linear = 2,
    MipNearest = 3,  // nearest texel of the nearest level
    MipLinear = 4,   // nearest texels of the two nearest levels, blended
    LinearMipNearest = 5,
    LinearMipLinear = 6,  // trilinear
};
enum class TextureAddressing : uint32_t { Wrap = 1 };
constexpr uint32_t FilterAddressing(TextureFilter filter, TextureAddressing u, TextureAddressing v) {
    return static_cast<uint32_t>(filter) | static_cast<uint32_t>(u) << 8 | static_cast<uint32_t>(v) << 12;
}
constexpr std::array<uint32_t, 3> kTextureFlags = {
    FilterAddressing(TextureFilter::Nearest, TextureAddressing::Wrap, TextureAddressing::Wrap),          // 0x1101
    FilterAddressing(TextureFilter::Linear, TextureAddressing::Wrap, TextureAddressing::Wrap),           // 0x1102
    FilterAddressing(TextureFilter::LinearMipLinear, TextureAddressing::Wrap, TextureAddressing::Wrap),  // 0x1106
};

constexpr size_t kNameFieldSize = 32;
constexpr size_t kFixedFieldsSize = 88;
constexpr uint8_t kRasterTypeTexture = 4;
constexpr std::string_view kCreatorText = "Created with Vellumcraft 1.1";

// Raster format of the texture native fixed fields: the pixel format in bits 8-11 (for a paletted
// raster, the form of its palette entries), the palette flags above it.
// clang-format off
constexpr uint32_t kRasterC1555       = 0x0100;  // 5 bits each of red, green and blue, 1 bit of alpha
constexpr uint32_t kRasterC565        = 0x0200;  // 5 bits of red, 6 of green, 5 of blue
constexpr uint32_t kRasterC4444       = 0x0300;  // 4 bits each of red, green, blue and alpha
constexpr uint32_t kRasterLum8        = 0x0400;  // 8 bits of grey
constexpr uint32_t kRasterC8888       = 0x0500;  // 8 bits each of red, green, blue and alpha
constexpr uint32_t kRasterC888        = 0x0600;  // 8 bits each of red, green and blue, no alpha
constexpr uint32_t kRasterC555        = 0x0A00;  // 5 bits each of red, green and blue, no alpha
constexpr uint32_t kRasterPixelFormat = 0x0F00;  // the bits that hold one of the pixel formats above
constexpr uint32_t kRasterAutoMipmap  = 0x1000;  // the levels below the first were made by the library
constexpr uint32_t kRasterPal8        = 0x2000;  // 8-bit indices into a 256-entry palette
constexpr uint32_t kRasterPal4        = 0x4000;  // 4-bit indices into a 16-entry palette
constexpr uint32_t kRasterMipmap      = 0x8000;  // the raster has levels below the first
// clang-format on

// The pixel formats of the raster format word, each with its bits.
struct RasterPixelFormat {
    uint32_t Bits;
    TextureFormat Format;
};
// clang-format off
constexpr std::array<RasterPixelFormat, 7> kRasterPixelFormats = {{
    {kRasterC1555, TextureFormat::C1555},
    {kRasterC565,  TextureFormat::C565},
    {kRasterC4444, TextureFormat::C4444},
    {kRasterLum8,  TextureFormat::Lum8},
    {kRasterC8888, TextureFormat::C8888},
    {kRasterC888,  TextureFormat::C888},
    {kRasterC555,  TextureFormat::C555},
}};
// clang-format on

// Selections outside the tables throw std::out_of_range.
uint32_t VersionStamp(size_t versionIndex);
uint32_t TextureFlag(size_t flagIndex);
// The index of a stamp in the table; none for a stamp it does not hold.
std::optional<size_t> VersionIndexOf(uint32_t stamp);

// Appends a chunk header. The size must fit its 32 bits; the writers check that before anything
// is appended.
void AppendChunkHeader(ByteSink& out, ChunkType type, uint64_t size, uint32_t versionStamp);

// Sizes of a texture native chunk for a texture of the given width, height and depth (8 or 32).
struct TextureNativeSizes {
    uint64_t Raster;       // pixel data bytes
    uint64_t DataContent;  // fixed fields, palette, pixel data size and pixel data
    uint64_t Content;      // the data chunk with its header, and the empty extension header
};
TextureNativeSizes TextureNativeSizesFor(uint16_t width, uint16_t height, uint8_t depth);

// PAL8 for 8-bit textures, with C8888 when the texture has alpha and C888 when not: 0x2600 and
// 0x2500 for 8-bit, 0x0600 and 0x0500 for 32-bit textures.
uint32_t RasterFormat(uint8_t depth, bool hasAlpha);

// The Direct3D 8 fields of a texture written in format. A PAL8 palette's entries take the form of
// 8888 with alpha and 888 without; DXT1 takes the raster format of 1555 with alpha and 565
// without, DXT3 and DXT5 that of 4444; the mipmap bit marks a texture of more than one level.
uint32_t RasterFormatOf(TextureFormat format, bool hasAlpha, size_t levels);
// 8 for PAL8 and LUM8, 32 for 8888 and 888, 16 for the 16-bit formats and for DXT.
uint8_t DepthOf(TextureFormat format);
// The DXT form's number (1, 3, 5), 0 for formats without compression.
uint8_t CompressionOf(TextureFormat format);

// The filter mode written for a mipmapped texture that takes the build's flag word: nearest
// becomes nearest within the nearest level (3), linear becomes trilinear (6); the filter modes
// that already use levels and the addressing stay as they are.
uint32_t MipmapFlag(uint32_t flag);

}  // namespace vc
