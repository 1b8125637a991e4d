// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "io/core_share.h"

namespace vc::gui {

// The cores the window's work computes on: builds, extraction and the previews share them, so
// that the program never computes on more threads than the machine has cores.
CoreShare& ProgramCores();

}  // namespace vc::gui
