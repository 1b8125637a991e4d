// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vc::cli {

// Text as a JSON string, quotes included: quotes, backslashes and control characters are escaped;
// every other byte, UTF-8 sequences too, is copied as it is.
std::string JsonString(std::string_view text);

}  // namespace vc::cli
