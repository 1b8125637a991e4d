// SPDX-License-Identifier: GPL-3.0-or-later
#include "anchors.h"

#include <QEvent>
#include <QWidget>

namespace vc::gui {

Anchors::Anchors(QWidget& parent) : QObject(&parent), m_parent(parent) {
    parent.installEventFilter(this);
}

void Anchors::Anchor(QWidget* child, Qt::Edges edges) {
    m_children.push_back({child, child->geometry(), edges, m_parent.size()});
}

bool Anchors::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_parent && event->type() == QEvent::Resize) {
        for (const Anchored& anchored : m_children) {
            Place(anchored, m_parent.size());
        }
    }
    return false;
}

void Anchors::Place(const Anchored& anchored, QSize size) const {
    if (!anchored.Child) {
        return;
    }
    const int dx = size.width() - anchored.ParentSize.width();
    const int dy = size.height() - anchored.ParentSize.height();
    QRect rect = anchored.Designed;
    // An edge anchored to the far side moves with it; a child anchored to both sides stretches.
    if (anchored.Edges.testFlag(Qt::RightEdge)) {
        rect.setRight(rect.right() + dx);
        if (!anchored.Edges.testFlag(Qt::LeftEdge)) {
            rect.setLeft(rect.left() + dx);
        }
    }
    if (anchored.Edges.testFlag(Qt::BottomEdge)) {
        rect.setBottom(rect.bottom() + dy);
        if (!anchored.Edges.testFlag(Qt::TopEdge)) {
            rect.setTop(rect.top() + dy);
        }
    }
    anchored.Child->setGeometry(rect);
}

}  // namespace vc::gui
