// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

// Windows only: text between the program's UTF-8 and the UTF-16 of Windows's wide-character calls.
namespace vc {

std::wstring WideOf(std::string_view utf8);
std::string Utf8Of(std::wstring_view wide);

}  // namespace vc
