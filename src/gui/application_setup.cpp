// SPDX-License-Identifier: GPL-3.0-or-later
#include "application_setup.h"

#include <QApplication>

#include "app_info.h"
#include "io/program_version.h"

namespace vc::gui {

void SetUpApplication() {
    QApplication::setApplicationName(kApplicationTitle);
    QApplication::setApplicationVersion(QString::fromUtf8(kProgramVersion));
    // No display name: the window system would append it to every window's and box's title.
}

}  // namespace vc::gui
