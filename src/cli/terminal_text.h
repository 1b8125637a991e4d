#pragma once

#include <string>
#include <string_view>

namespace vc::cli {

// Program texts carry CR LF line breaks; a terminal wants LF.
std::string ToTerminalLines(std::string_view text);

}  // namespace vc::cli
