// SPDX-License-Identifier: GPL-3.0-or-later
#include "program_cores.h"

#include "io/ordered_work.h"

namespace vc::gui {

CoreShare& ProgramCores() {
    static CoreShare cores(DefaultJobCount());
    return cores;
}

}  // namespace vc::gui
