// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <string>

namespace vc {

// The local date and time in the user's locale: its short date, a blank, its long time. On POSIX
// the environment's locale (LC_ALL, LC_TIME, LANG) is the user's; on Windows, the regional format
// the user chose.
std::string LocalDateTimeText(std::chrono::system_clock::time_point when);

#ifdef _WIN32
// The same in the Windows locale of the given name ("de-DE"), which tests choose.
std::string LocalDateTimeText(std::chrono::system_clock::time_point when, const wchar_t* localeName);
#endif

}  // namespace vc
