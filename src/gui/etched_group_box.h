// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QGroupBox>

namespace vc::gui {

// A group box drawn the classic way: an etched frame whose top line runs through the middle of the
// caption, so that controls placed a few pixels below the top edge lie inside the frame.
class EtchedGroupBox final : public QGroupBox {
  public:
    EtchedGroupBox(const QString& title, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent* event) override;
};

}  // namespace vc::gui
