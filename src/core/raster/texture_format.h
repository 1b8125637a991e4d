// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vc {

// The platforms whose texture natives are read: the first field of a texture native's data.
enum class TxdPlatform : uint32_t {
    Direct3D8 = 8,  // GTA III and Vice City on PC
    Direct3D9 = 9,  // San Andreas on PC
};

// How a texture's pixels are stored, named as modders know them.
enum class TextureFormat {
    Pal8,   // one byte per pixel indexing a palette of 256 colours
    Pal4,   // one byte per pixel indexing 16 colours of a 32-entry palette (Direct3D has no 4-bit rasters)
    C8888,  // blue, green, red, alpha
    C888,   // blue, green, red, one unused byte
    C1555,  // 16 bits: alpha in bit 15, then 5 bits each of red, green, blue
    C565,   // 16 bits: 5 bits of red, 6 of green, 5 of blue
    C4444,  // 16 bits: 4 bits each of alpha, red, green, blue
    C555,   // 16 bits: one unused bit, then 5 bits each of red, green, blue
    Lum8,   // one grey byte per pixel
    Dxt1,   // blocks of 4 × 4 pixels in 8 bytes
    Dxt3,   // blocks of 4 × 4 pixels in 16 bytes, 4-bit alpha
    Dxt5,   // blocks of 4 × 4 pixels in 16 bytes, interpolated alpha
};

// "PAL8", "8888", "DXT1" and so on.
std::string_view TextureFormatName(TextureFormat format);

bool IsPaletted(TextureFormat format);

// The colours a paletted format indexes (256 for PAL8, 16 for PAL4), and the bytes of the palette a
// texture native stores for it (PAL4 stores 32 entries); 0 for the others.
size_t PaletteColours(TextureFormat format);
size_t StoredPaletteSize(TextureFormat format);
// The bytes of a PAL4 palette past its 16 colours: entries 16 to 31, which no index uses.
constexpr size_t kPal4PaletteTail = 64;

// False for the formats whose every pixel decodes opaque (888, 565, 555, LUM8).
bool CarriesAlpha(TextureFormat format);
// True for the formats stored in blocks of 4 × 4 pixels (DXT1, DXT3, DXT5).
bool IsBlockCompressed(TextureFormat format);

// The bytes one level of width × height pixels takes; DXT levels take whole blocks.
uint64_t LevelSize(TextureFormat format, uint32_t width, uint32_t height);

// A side of a level: each level halves the sides of the one above, down to 1.
uint32_t LevelSide(uint32_t side, uint32_t level);

// The levels of a whole chain from width × height down to 1 × 1; a texture has no more.
uint32_t FullChainLevels(uint32_t width, uint32_t height);

// Direct3D 9 surface format codes, as San Andreas dictionaries give them.
enum class D3dFormat : uint32_t {
    // clang-format off
    A8R8G8B8 = 21,
    X8R8G8B8 = 22,
    R5G6B5   = 23,
    X1R5G5B5 = 24,
    A1R5G5B5 = 25,
    A4R4G4B4 = 26,
    P8       = 41,
    L8       = 50,
    Dxt1     = 0x31545844,  // "DXT1" as a FourCC
    Dxt2     = 0x32545844,
    Dxt3     = 0x33545844,
    Dxt4     = 0x34545844,
    Dxt5     = 0x35545844,
    // clang-format on
};

// The Direct3D 9 flags byte of a texture native.
constexpr uint8_t kD3d9HasAlpha = 0x01;
constexpr uint8_t kD3d9CubeTexture = 0x02;
constexpr uint8_t kD3d9AutoMipmaps = 0x04;
constexpr uint8_t kD3d9Compressed = 0x08;

}  // namespace vc
