// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QSize>

#include "ops/settings.h"

class QWidget;

namespace vc::gui {

// Places the window, each time it is shown, with the centre of its frame on the centre of its
// owner's frame, or of the screen while the owner is not shown (a box at start-up).
void KeepCentredOnOwner(QWidget& window);

// The size to keep of a window the user may resize: nothing where it has the size it opened with.
WindowSize KeptSize(const QWidget& window, QSize opened);
// Gives a window the size kept, no smaller than it may be, maximized when it was.
void RestoreSize(QWidget& window, const WindowSize& kept);

}  // namespace vc::gui
