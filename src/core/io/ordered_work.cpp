// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/ordered_work.h"

namespace vc {

unsigned DefaultJobCount() {
    // hardware_concurrency() may not know and say 0.
    return std::max(1u, std::thread::hardware_concurrency());
}

}  // namespace vc
