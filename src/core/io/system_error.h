// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "io/error.h"

namespace vc {

// Throws an Error such as: Cannot open file "/x/a.bmp": No such file or directory. The reason is an
// errno value on every platform, so that messages read the same everywhere.
[[noreturn]] void ThrowSystemError(ErrorKind kind, const std::string& what, std::string_view path, int error);

}  // namespace vc
