// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <vector>

#include "pixels/pixel_level.h"

namespace vc {

enum class MipmapFilter {
    // Each channel's plain mean, rounded to nearest.
    Box,
    // Colour averaged in linear light and weighted by alpha, so that a transparent pixel lends no
    // colour to its opaque neighbours (where every pixel is transparent, the plain mean in linear
    // light); alpha is the plain mean.
    GammaCorrect,
};

// The levels below top, each half the size of the one above (a side of 1 stays 1), down to 1 × 1,
// each made from the level above. A pixel covers the 2 × 2 pixels above it (2 × 1 where one side
// is already 1); where an odd side is halved, the pixels at its end cover 3.
std::vector<PixelLevel> MipmapLevels(const PixelLevel& top, MipmapFilter filter);

}  // namespace vc
