// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <algorithm>
#include <span>
#include <string>
#include <string_view>

#include "application_setup.h"
#include "dialog_prompts.h"
#include "io/file_io.h"
#include "io/program_version.h"
#include "main_window.h"
#include "ops/config_location.h"
#include "ops/settings.h"
#include "version_output.h"

int main(int argc, char** argv) {
    // Answered before the window system is reached, so it works without a display. Any other
    // argument is a file to add, or is passed over.
    const std::span<char*> arguments(argv + 1, static_cast<size_t>(std::max(argc - 1, 0)));
    if (std::ranges::any_of(arguments,
                            [](const char* argument) { return std::string_view(argument) == "--version"; })) {
        vc::app::ShowVersion("vellumcraft " + std::string(vc::kProgramVersion));
        return 0;
    }

    QApplication application(argc, argv);
    vc::gui::SetUpApplication();

    const std::filesystem::path settingsFile =
        vc::ConfigFolder(vc::ToFsPath(QApplication::applicationDirPath().toStdString())) / vc::kSettingsFileName;
    vc::gui::DialogPrompts prompts;
    vc::gui::TForm1 window(prompts, QString::fromStdString(vc::FromFsPath(settingsFile)));
    prompts.SetParent(&window);
    window.FormCreate(QApplication::arguments().mid(1));
    window.show();
    return QApplication::exec();
}
