// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace vc::gui {

// What the desktop program sets for the whole application before its first window: its name and
// version. The tests start their windows after the same set-up.
void SetUpApplication();

}  // namespace vc::gui
