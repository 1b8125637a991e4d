// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDir>
#include <QFileInfo>
#include <QString>
#include <functional>
#include <string>
#include <string_view>

#include "io/file_names.h"
#include "ops/workspace.h"
#include "prompts.h"

namespace vc::gui {

inline const QString kDictionaryFilter = QStringLiteral("Texture Dictionaries (*.txd)|*.txd");
inline const QString kArchiveFilter = QStringLiteral("Game Archives (*.img, *.dir)|*.img;*.dir");

// The core speaks UTF-8 strings; the window's texts are QStrings.
inline std::string Utf8(const QString& text) {
    return text.toStdString();
}
inline QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}
// A path from Qt, which separates folders by "/" everywhere, with the platform's own separators, as
// Windows users see paths and as lists written by earlier Windows tools keep them.
inline std::string Utf8Path(const QString& path) {
    return Utf8(QDir::toNativeSeparators(path));
}
// Everything before the last separator of a chosen file: the folder the dialog opens next time.
inline std::string FolderOf(const QString& file) {
    return Utf8Path(QFileInfo(file).absolutePath());
}

// Tells a progress box of each image file an import reads.
inline ImportProgress ReportReading(Progress& progress) {
    return [&progress](size_t done, size_t total, std::string_view path) {
        progress.Report(done, total, "Reading " + Text(std::string(FileNamePart(path))));
    };
}

}  // namespace vc::gui
