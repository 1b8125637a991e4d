#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace vc::cli {

enum ExitCode : int {
    kSuccess = 0,
    kIncomplete = 1,  // some input was refused or left out, a texture is missing, or a file is malformed
    kUsage = 2,
    kFailure = 3,  // a read, decode or write error
};

// Program texts carry CR LF line breaks; a terminal wants LF.
std::string ToTerminalLines(std::string_view text);

// Prints "vellumcraft-cli: <message>" and the hint to --help on stderr; returns kUsage.
int UsageError(std::string_view command, std::string_view message);

bool IsHelpOption(std::string_view argument);

// Parses a hexadecimal value written with or without "0x" ("0x0C02", "0c02").
std::optional<unsigned long> ParseHex(std::string_view text);

using Arguments = std::span<const std::string_view>;

int RunBuild(Arguments arguments);
int RunCheck(Arguments arguments);
int RunInspect(Arguments arguments);
int RunList(Arguments arguments);

}  // namespace vc::cli
