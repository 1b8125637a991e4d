// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace vc {

// Widens a channel of 4, 5 or 6 bits to 8 by repeating its high bits, so that the largest code
// gives 255: as Direct3D reads 16-bit pixels and TGA readers read 15- and 16-bit ones.
constexpr uint8_t WidenChannel(unsigned code, unsigned bits) {
    return static_cast<uint8_t>(code << (8 - bits) | code >> (2 * bits - 8));
}

}  // namespace vc
