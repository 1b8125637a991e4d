// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vc::cli {

// Program texts carry CR LF line breaks; a terminal wants LF.
std::string ToTerminalLines(std::string_view text);

// A name from a file, for a terminal: its control characters as C escapes ("\\n", "\\t",
// "\\x1B"), so that a crafted name can neither break a line nor steer the terminal.
std::string TerminalName(std::string_view name);

}  // namespace vc::cli
