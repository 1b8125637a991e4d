// SPDX-License-Identifier: GPL-3.0-or-later
#include "application_setup.h"

#include <QApplication>

#include "app_info.h"

namespace vc::gui {

void SetUpApplication() {
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationVersion(kVersion);
    // No display name: the window system would append it to every window's and box's title.
}

}  // namespace vc::gui
