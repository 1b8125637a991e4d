// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace vc {

// Palette entries are stored red, green, blue, alpha; pixels blue, green, red, alpha.
enum class ColourOrder { Palette, Pixel };

// The grey value 0.3 red + 0.6 green + 0.1 blue of a colour given as the little-endian value of
// its four bytes, rounded to the nearest whole number, halves upward. The alpha byte is ignored.
uint8_t GreyLevel(uint32_t colour, ColourOrder order);

}  // namespace vc
