// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace vc::gui {

// Two tabs: the program's licence with the libraries it is built with (THIRD-PARTY.md), and the
// whole text of the GNU General Public License. Close or Escape closes it.
class LicenceWindow final : public QDialog {
  public:
    explicit LicenceWindow(QWidget* parent);
};

}  // namespace vc::gui
