// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "pixels/pixel_level.h"
#include "raster/texture_format.h"

namespace vc {

// One level in the byte layout a texture native stores for format: 8888 (blue, green, red, alpha),
// 888 (blue, green, red, 255), and the 16-bit formats 565, 1555 (alpha bit set where alpha >= 128),
// 4444 and 555 as little-endian words. Each channel takes the code that decodes nearest to it.
// Other formats throw std::invalid_argument.
std::vector<uint8_t> EncodeLevel(const PixelLevel& level, TextureFormat format);

}  // namespace vc
