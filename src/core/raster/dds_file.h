// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "raster/texture_format.h"

namespace vc {

// A DDS file's surface: its format, size and each level's bytes (the first level first), exactly as
// stored. The level bytes are laid out as a Direct3D 8 texture native holds them, so that a level
// copies straight between the two.
struct DdsImage {
    TextureFormat Format = TextureFormat::C8888;
    uint32_t Width = 0;
    uint32_t Height = 0;
    // DDPF_ALPHAPIXELS was set; for DXT1 the texture uses its 1-bit alpha. The alpha mask of 8888,
    // 1555 and 4444 implies it: for them it is always read as set and always written.
    bool AlphaPixels = false;
    // PAL8 only: 256 entries of red, green, blue, alpha (1024 bytes), the order of a Direct3D
    // PALETTEENTRY and of a texture native's palette.
    std::vector<uint8_t> Palette;
    std::vector<std::vector<uint8_t>> Levels;  // each level's bytes in the layout the texture native stores them

    bool operator==(const DdsImage&) const = default;
};

// Reads a DDS file of one of the formats a Direct3D 8 texture native holds: DXT1, DXT3, DXT5, the
// 32- and 16-bit RGB layouts, 8-bit luminance and 8-bit palettes; 24-bit R8G8B8 is read as 888. Throws an Error
// (Malformed) that names the byte offset for anything malformed or unsupported. Bytes after the last level are ignored.
DdsImage ReadDds(std::span<const uint8_t> file);

// Writes image as a DDS file with a standard header; ReadDds gives image back. Throws
// std::invalid_argument when image does not describe a surface of its format (a level of the wrong
// size, a palette on a format without one, more levels than the chain holds).
std::vector<uint8_t> EncodeDds(const DdsImage& image);

// True for the formats whose DDS layout has an alpha mask (8888, 1555, 4444): their files always
// read with AlphaPixels set.
bool HasAlphaMask(TextureFormat format);

}  // namespace vc
