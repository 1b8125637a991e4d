// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixels/pixel_level.h"

#include <stdexcept>
#include <string>

namespace vc {

void CheckPixelLevel(const PixelLevel& level) {
    if (level.Bgra.size() != uint64_t{4} * level.Width * level.Height) {
        throw std::invalid_argument("a level of " + std::to_string(level.Width) + " x " + std::to_string(level.Height) +
                                    " pixels holds " + std::to_string(level.Bgra.size()) + " bytes");
    }
}

}  // namespace vc
