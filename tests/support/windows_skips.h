// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Why a test of a POSIX facility is skipped on Windows.
namespace vc::test {

inline constexpr const char* kNoLinksOnWindows = "symbolic links on Windows need a privilege users seldom have";

}  // namespace vc::test
