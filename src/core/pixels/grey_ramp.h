// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "pixels/image_decoder.h"

namespace vc {

// 256 entries, entry i of grey level i: the palette of 8-bit greyscale images, whose indices are
// their grey levels.
inline std::span<const RgbColour> GreyRamp() {
    static const std::array<RgbColour, 256> ramp = [] {
        std::array<RgbColour, 256> entries;
        for (size_t i = 0; i < entries.size(); ++i) {
            const auto level = static_cast<uint8_t>(i);
            entries[i] = {level, level, level};
        }
        return entries;
    }();
    return ramp;
}

}  // namespace vc
