// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string_view>

namespace vc::app {

// Tells the user the program's version line (without a line end) as a program of this platform
// does: on its standard output, or, for a window program with no output to write to, in a box.
void ShowVersion(std::string_view line);

}  // namespace vc::app
