// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <vector>

class QWidget;

namespace vc::gui {

// Keeps a widget's children at their distances from the edges they are anchored to while the widget
// is resized, as classic form designers do: a child anchored left and right grows with the width,
// one anchored right alone moves with the right edge. Children are placed for the size the widget
// has when they are anchored.
class Anchors final : public QObject {
  public:
    explicit Anchors(QWidget& parent);

    void Anchor(QWidget* child, Qt::Edges edges);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Anchored {
        QPointer<QWidget> Child;
        QRect Designed;
        Qt::Edges Edges;
        QSize ParentSize;  // when it was anchored
    };
    void Place(const Anchored& anchored, QSize size) const;

    QWidget& m_parent;
    std::vector<Anchored> m_children;
};

}  // namespace vc::gui
