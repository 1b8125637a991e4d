#include <QApplication>
#include <QDir>

#include "dialog_prompts.h"
#include "main_window.h"
#include "settings/config_location.h"
#include "settings/settings.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vellumcraft"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vellumcraft"));

    const std::filesystem::path settingsFile =
        vc::ConfigFolder(QApplication::applicationDirPath().toStdString()) / vc::kSettingsFileName;
    vc::gui::DialogPrompts prompts;
    vc::gui::TForm1 window(prompts, QString::fromStdString(settingsFile.string()));
    prompts.SetParent(&window);
    window.FormCreate(QApplication::arguments().mid(1));
    window.show();
    return QApplication::exec();
}
