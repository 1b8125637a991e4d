// SPDX-License-Identifier: GPL-3.0-or-later
#include "etched_group_box.h"

#include <qdrawutil.h>
#include <QPainter>
#include <QStyle>

namespace vc::gui {

namespace {

constexpr int kCaptionLeft = 8;

}  // namespace

EtchedGroupBox::EtchedGroupBox(const QString& title, QWidget* parent) : QGroupBox(title, parent) {}

void EtchedGroupBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics(font());
    const QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(title()), metrics.height());
    const QRect frame = rect().adjusted(0, caption.center().y(), 0, 0);
    painter.save();
    painter.setClipRegion(QRegion(rect()) - caption);
    qDrawShadeRect(&painter, frame, palette(), true, 1, 0);
    painter.restore();
    style()->drawItemText(&painter, caption, Qt::AlignLeft | Qt::TextShowMnemonic, palette(), isEnabled(), title(),
                          QPalette::WindowText);
}

}  // namespace vc::gui
