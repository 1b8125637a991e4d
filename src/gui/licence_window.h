// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace vc::gui {

// The program's licence and the libraries it is built with (THIRD-PARTY.md), one tab each with the
// whole text of the GNU General Public License; Close or Escape closes it.
class LicenceWindow final : public QDialog {
  public:
    explicit LicenceWindow(QWidget* parent);
};

}  // namespace vc::gui
