// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform_registration.h"

#ifdef _WIN32
#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#endif

namespace vc::gui {

void RegisterApplicationPath() {
#ifdef _WIN32
    // The machine's key first; a user without the right to write it registers the program for
    // themselves under the per-user key, which Windows reads as well.
    for (const QString& root : {QStringLiteral("HKEY_LOCAL_MACHINE"), QStringLiteral("HKEY_CURRENT_USER")}) {
        QSettings key(
            root + QStringLiteral("\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vellumcraft.exe"),
            QSettings::NativeFormat);
        key.setValue(QStringLiteral("Default"), QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
        key.setValue(QStringLiteral("Path"), QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
        key.sync();
        if (key.status() == QSettings::NoError) {
            return;
        }
    }
#endif
}

}  // namespace vc::gui
