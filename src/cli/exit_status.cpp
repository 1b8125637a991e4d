// SPDX-License-Identifier: GPL-3.0-or-later
#include "exit_status.h"

namespace vc::cli {

ExitStatus ExitStatusFor(ErrorKind kind) {
    switch (kind) {
        case ErrorKind::Read:
        case ErrorKind::Malformed:
        case ErrorKind::Write:
        case ErrorKind::OutOfMemory:
        case ErrorKind::Limit:
            return kFailure;
    }
    return kFailure;
}

}  // namespace vc::cli
