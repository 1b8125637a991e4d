// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "pixels/pixel_level.h"

namespace vc {

// A PAL8 texture's palette (256 entries of red, green, blue, alpha, as the texture native stores
// it) and each level's indices into it.
struct PalettedLevels {
    std::array<uint8_t, 1024> Palette{};
    std::vector<std::vector<uint8_t>> Indices;
};

// A palette of at most colours entries (256 for PAL8, 16 for PAL4) for the whole chain, levels[0]
// the top level. When the top level has at most that many colours it keeps them exactly, in
// ascending order of red, green, blue, alpha, and the entries left free take the lower levels'
// other colours (by median cut when they do not fit), so that what the levels blend in between is
// not lost; otherwise the colours come by median cut in RGBA over every level's pixels. Unused
// entries stay 0. Every pixel of every level takes the nearest entry.
PalettedLevels QuantizeLevels(const std::vector<PixelLevel>& levels, size_t colours = 256);

// The levels below a paletted picture whose palette and indices are kept: the entries among the
// first colours that the picture's indices do not use take the lower levels' colours that the used
// entries lack (by median cut when they do not fit), then each pixel of each lower level takes its
// nearest entry among the first colours (the lowest index on a tie), alpha counting like a colour
// channel.
std::vector<std::vector<uint8_t>> IndexLowerLevels(std::array<uint8_t, 1024>& palette, size_t colours,
                                                   std::span<const uint8_t> pictureIndices,
                                                   std::span<const PixelLevel> lower);

}  // namespace vc
