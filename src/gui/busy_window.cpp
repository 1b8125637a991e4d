// SPDX-License-Identifier: GPL-3.0-or-later
#include "busy_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>
#include <algorithm>

namespace vc::gui {

namespace {

// As long as a progress box waits before it shows.
constexpr int kShowDisabledAfterMs = 500;

bool IsInput(QEvent::Type type) {
    switch (type) {
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
            return true;
        default:
            return false;
    }
}

}  // namespace

BusyWindow::BusyWindow(QMainWindow& window) : m_window(window) {
    for (QAction* action : window.findChildren<QAction*>()) {
        m_actions.emplace_back(action, action->isEnabled());
    }
    m_delay.setSingleShot(true);
    connect(&m_delay, &QTimer::timeout, this, &BusyWindow::ShowDisabled);
    m_delay.start(kShowDisabledAfterMs);
    QCoreApplication::instance()->installEventFilter(this);
}

BusyWindow::~BusyWindow() {
    QCoreApplication::instance()->removeEventFilter(this);
    if (!m_disabled) {
        return;
    }
    for (const auto& [action, enabled] : m_actions) {
        if (action) {
            action->setEnabled(enabled);
        }
    }
    m_window.menuBar()->setEnabled(m_menusEnabled);
    if (QWidget* controls = m_window.centralWidget()) {
        controls->setEnabled(m_controlsEnabled);
    }
}

void BusyWindow::ShowDisabled() {
    m_disabled = true;
    for (const auto& [action, enabled] : m_actions) {
        if (action) {
            action->setEnabled(false);
        }
    }
    m_menusEnabled = m_window.menuBar()->isEnabled();
    m_window.menuBar()->setEnabled(false);
    if (QWidget* controls = m_window.centralWidget()) {
        m_controlsEnabled = controls->isEnabled();
        controls->setEnabled(false);
    }
}

bool BusyWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        return std::any_of(m_actions.begin(), m_actions.end(),
                           [watched](const auto& action) { return action.first == watched; });
    }
    const auto* widget = qobject_cast<QWidget*>(watched);
    return IsInput(event->type()) && widget != nullptr && widget->window() == &m_window;
}

}  // namespace vc::gui
