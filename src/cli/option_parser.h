// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string_view>

#include "command.h"

namespace vc::cli {

// Reads a command's arguments against the options it declares: "--name value", "--name=value",
// "-n value", switches, and operands; "--" ends the options. Throws a UsageError for an unknown
// option, a missing value or a value given to a switch.
ParsedArguments ParseArguments(std::span<const std::string_view> arguments, std::span<const Option> options);

}  // namespace vc::cli
