#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "pixels/pixel_level.h"

namespace vc {

// A PAL8 texture's palette (256 entries of red, green, blue, alpha, as the texture native stores
// it) and each level's indices into it.
struct PalettedLevels {
    std::array<uint8_t, 1024> Palette{};
    std::vector<std::vector<uint8_t>> Indices;
};

// The palette is chosen for levels[0], the top level: its colours exactly, in ascending order of
// red, green, blue, alpha, when it has at most 256 (unused entries stay 0); otherwise 256 colours
// by median cut in RGBA. Every pixel of every level takes the nearest entry.
PalettedLevels QuantizeLevels(const std::vector<PixelLevel>& levels);

// Each pixel's nearest entry of a given PAL8 palette (the lowest index on a tie), alpha counting
// like a colour channel.
std::vector<uint8_t> NearestIndices(const PixelLevel& level, const std::array<uint8_t, 1024>& palette);

}  // namespace vc
