// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

namespace vc {

// One level of a texture's pixels as the builder holds them: blue, green, red, alpha per pixel,
// rows from the top down, no padding.
struct PixelLevel {
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::vector<uint8_t> Bgra;
};

// Throws std::invalid_argument unless level holds exactly 4 bytes for each of its pixels.
void CheckPixelLevel(const PixelLevel& level);

}  // namespace vc
