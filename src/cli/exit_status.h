// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "io/error.h"

namespace vc::cli {

enum ExitStatus : int {
    kSuccess = 0,
    kIncomplete = 1,  // some input was refused or left out, a texture is missing, or a file is malformed
    kUsage = 2,
    kFailure = 3,  // a read, decode or write error, an input beyond what a file can hold, or not enough memory
};

// The status a run ends with when an error of the given kind stops it.
ExitStatus ExitStatusFor(ErrorKind kind);

}  // namespace vc::cli
