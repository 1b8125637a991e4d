// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixels/grey_level.h"

namespace vc {

uint8_t GreyLevel(uint32_t colour, ColourOrder order) {
    const uint32_t first = colour & 0xFF;
    const uint32_t green = (colour >> 8) & 0xFF;
    const uint32_t third = (colour >> 16) & 0xFF;
    const uint32_t red = order == ColourOrder::Palette ? first : third;
    const uint32_t blue = order == ColourOrder::Palette ? third : first;
    // Tenths in whole numbers, so that exact halves round the same on every machine.
    return static_cast<uint8_t>((3 * red + 6 * green + blue + 5) / 10);
}

}  // namespace vc
