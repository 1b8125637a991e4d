// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "command.h"

namespace vc::cli {

constexpr std::string_view kProgramName = "vellumcraft-cli";

// The option every command takes besides its own.
inline constexpr Option kHelpOption = {"help", 'h', "", "show this help"};

// The text "vellumcraft-cli COMMAND --help" prints: usage, description, options, exit status.
std::string CommandHelp(const Command& command);

// The text "vellumcraft-cli --help" prints: usage and the list of commands.
std::string ProgramHelp(std::span<const Command* const> commands);

// The text "vellumcraft-cli --version" prints.
std::string VersionText();

}  // namespace vc::cli
