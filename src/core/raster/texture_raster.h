// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "pixels/pixel_level.h"
#include "raster/dxt_compression.h"
#include "raster/texture_format.h"

namespace vc {

// The bytes of a PAL8 palette: 256 entries of red, green, blue, alpha.
constexpr size_t kPaletteSize = 1024;

// A texture as its texture native holds it, apart from its names and flag word.
struct TextureRaster {
    TextureFormat Format = TextureFormat::C8888;
    uint16_t Width = 0;
    uint16_t Height = 0;
    // Paletted formats: red, green, blue, alpha per entry; PAL4 uses the first 32 entries.
    std::array<uint8_t, kPaletteSize> Palette{};
    std::vector<std::vector<uint8_t>> Levels;  // the picture first, each level half the one above
};

// What the texture is to become: its format and whether it gets a full chain of levels.
struct RasterChoice {
    TextureFormat Format = TextureFormat::C8888;
    bool Mipmaps = false;
    bool Opaque = false;  // every pixel is written opaque (a DXT1 texture kept without alpha)
    // DXT levels whose smaller side is below 4 repeat, in each block, the first block of the last
    // level whose smaller side is at least 4: San Andreas draws them black otherwise.
    bool FillSmallBlockLevels = false;
    DxtQuality Dxt = DxtQuality::Best;
    WorkPool* DxtPool = nullptr;  // threads that share each level's DXT blocks; none: the calling thread
};

// The raster of a picture in the chosen format: with mipmaps, the full chain below the picture,
// each level made in linear light; then every level encoded, a paletted raster with the palette
// chosen for the whole chain (see QuantizeLevels), small DXT levels filled when the choice says so.
TextureRaster MakeRaster(PixelLevel picture, const RasterChoice& choice);

}  // namespace vc
