// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "raster/texture_format.h"

namespace vc {

struct RgbaColour {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;
    uint8_t Alpha = 0;

    bool operator==(const RgbaColour&) const = default;
};

// A texture's picture (its first level) in 8-bit RGBA.
struct DecodedTexture {
    uint16_t Width = 0;
    uint16_t Height = 0;
    std::vector<uint8_t> Rgba;  // red, green, blue, alpha per pixel; rows from the top down, no padding
    // Paletted textures only: the colours in use (256 for PAL8, 16 for PAL4), alpha 255 when the
    // palette's entries carry none, and one index into them per pixel, in the order of Rgba.
    std::vector<RgbaColour> Palette;
    std::vector<uint8_t> Indices;
};

// One level of pixels in a texture native's layout for format.
struct StoredLevel {
    TextureFormat Format = TextureFormat::C8888;
    uint16_t Width = 0;
    uint16_t Height = 0;
    std::span<const uint8_t> Pixels;   // at least LevelSize bytes
    std::span<const uint8_t> Palette;  // paletted formats: 4 bytes per entry, 256 for PAL8, 16 used of PAL4's
    bool PaletteAlpha = false;         // the palette's fourth bytes are alpha; else every colour is opaque
};

// True when some pixel of the picture is not fully opaque.
bool AnyTranslucent(const DecodedTexture& decoded);

// Decodes one level. Throws an Error when the pixels or the palette are shorter than the format needs.
DecodedTexture DecodeLevel(const StoredLevel& level);

// The same as 32-bit pixels in the builder's order: blue, green, red, alpha.
std::vector<uint8_t> DecodeLevelBgra(const StoredLevel& level);

}  // namespace vc
