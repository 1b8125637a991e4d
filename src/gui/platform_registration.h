// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vc::gui {

// Registers the running executable with the platform so that it can be started by name. Only
// Windows keeps such a register (App Paths: the machine's, or the user's when the machine's cannot be
// written); elsewhere this does nothing.
void RegisterApplicationPath();

}  // namespace vc::gui
