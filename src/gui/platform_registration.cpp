#include "platform_registration.h"

#ifdef Q_OS_WIN
#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#endif

namespace vc::gui {

void RegisterApplicationPath() {
#ifdef Q_OS_WIN
    QSettings key(
        QStringLiteral("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vellumcraft.exe"),
        QSettings::NativeFormat);
    key.setValue(QStringLiteral("Default"), QDir::toNativeSeparators(QCoreApplication::applicationFilePath()));
    key.setValue(QStringLiteral("Path"), QDir::toNativeSeparators(QCoreApplication::applicationDirPath()));
#endif
}

}  // namespace vc::gui
