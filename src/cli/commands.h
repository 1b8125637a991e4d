// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "command.h"

namespace vc::cli {

// The commands, each declared in its own file.
extern const Command kBuildCommand;
extern const Command kBuildTreeCommand;
extern const Command kListCommand;
extern const Command kInspectCommand;
extern const Command kCheckCommand;
extern const Command kExtractCommand;
extern const Command kVerifyCommand;
extern const Command kImgCommand;

}  // namespace vc::cli
