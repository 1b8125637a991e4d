// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QStringList>
#include <QWidget>

namespace vc::gui::test {

// A control the user can click: buttons, check boxes, edits, lists and tables, combo boxes.
inline bool IsClickableControl(const QWidget& widget) {
    return qobject_cast<const QAbstractButton*>(&widget) != nullptr ||
           qobject_cast<const QLineEdit*>(&widget) != nullptr ||
           qobject_cast<const QAbstractItemView*>(&widget) != nullptr ||
           qobject_cast<const QComboBox*>(&widget) != nullptr ||
           qobject_cast<const QAbstractSpinBox*>(&widget) != nullptr ||
           qobject_cast<const QAbstractSlider*>(&widget) != nullptr;
}

// The visible, enabled controls of a window whose centre is covered by another widget, so that a
// click there would not reach them; empty when every control receives a click at its centre.
inline QStringList ControlsHiddenAtTheirCentre(QWidget& window) {
    QStringList covered;
    for (QWidget* control : window.findChildren<QWidget*>()) {
        if (control->window() != &window || !control->isVisibleTo(&window) || !control->isEnabled() ||
            !IsClickableControl(*control)) {
            continue;
        }
        const QPoint centre = control->mapTo(&window, control->rect().center());
        QWidget* hit = window.childAt(centre);
        if (hit != control && !control->isAncestorOf(hit)) {
            covered << control->objectName() + " (" + control->metaObject()->className() + ") under " +
                           (hit != nullptr ? hit->objectName() + " (" + hit->metaObject()->className() + ")"
                                           : QStringLiteral("nothing"));
        }
    }
    return covered;
}

}  // namespace vc::gui::test
