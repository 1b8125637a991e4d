// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/system_error.h"

#include <cstring>

namespace vc {

void ThrowSystemError(ErrorKind kind, const std::string& what, std::string_view path, int error) {
    throw Error(kind, what + " \"" + std::string(path) + "\": " + std::strerror(error));
}

}  // namespace vc
