// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <span>
#include <string_view>

namespace vc::cli {

// Runs vellumcraft-cli with the arguments after the program's name, writing to the streams given;
// returns the exit status. Usage errors, errors of the platform and running out of memory all end
// here, with a message on err in one shape. Long batches show their progress on err when it is a
// terminal.
int RunCli(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err,
           bool errIsTerminal = false);

}  // namespace vc::cli
