#include "busy_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

namespace vc::gui {

namespace {

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
        action->setEnabled(false);
    }
    m_menusEnabled = window.menuBar()->isEnabled();
    window.menuBar()->setEnabled(false);
    if (QWidget* controls = window.centralWidget()) {
        m_controlsEnabled = controls->isEnabled();
        controls->setEnabled(false);
    }
    QCoreApplication::instance()->installEventFilter(this);
}

BusyWindow::~BusyWindow() {
    QCoreApplication::instance()->removeEventFilter(this);
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

bool BusyWindow::eventFilter(QObject* watched, QEvent* event) {
    const auto* widget = qobject_cast<QWidget*>(watched);
    return IsInput(event->type()) && widget != nullptr && widget->window() == &m_window;
}

}  // namespace vc::gui
