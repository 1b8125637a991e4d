// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace vc::gui {

// Who makes the program and where to reach them; shown by About and used by the Help commands.
inline const QString kApplicationTitle = QStringLiteral("Vellumcraft");
// The caption and the About box's version line, as the first version fixed them.
inline const QString kWindowCaption = QStringLiteral("Vellumcraft 1.1");
inline const QString kAboutVersionLine = QStringLiteral("Version 1.1");
inline const QString kReleaseDate = QStringLiteral("7 December 2026");
inline const QString kMaker = QStringLiteral("The Vellumcraft developers");
inline const QString kMailAddress = QStringLiteral("vellumcraft@example.org");
inline const QString kHomepage = QStringLiteral("https://vellumcraft.example.org/");

}  // namespace vc::gui
