// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include "ops/dff_check.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace vc::gui {

// The DFF check window: which textures a model uses, present ones in green and missing ones in
// red. Closes with Accepted for "Add Textures", Rejected otherwise.
class TForm3 final : public QDialog {
    Q_OBJECT

  public:
    TForm3(DffCheckResult result, QWidget* parent = nullptr);

    const std::vector<TDFFTex>& DFFTexList() const { return m_result.DFFTexList; }

  private:
    // The designed size, grown to show the whole caption and more of a long list.
    QSize OpeningSize() const;

    DffCheckResult m_result;
    QLabel* lblResult = nullptr;
    QListWidget* lbx = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
};

}  // namespace vc::gui
