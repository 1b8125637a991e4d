// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>
#include <algorithm>

namespace vc::gui {

namespace {

// The frame's margins as the window system told them to the window; QWidget::frameGeometry() may
// never hear of a frame a window manager put around the window after it was mapped.
QMargins FrameMargins(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? handle->frameMargins() : QMargins();
}

void CentreOnOwner(QWidget& window) {
    if (window.windowState().testAnyFlags(Qt::WindowMaximized | Qt::WindowFullScreen)) {
        return;  // placed by the window system; a new geometry would end the state
    }
    const QWidget* owner = window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
    const bool ownerShown = owner != nullptr && owner->isVisible();
    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = ownerShown ? owner->geometry().marginsAdded(FrameMargins(*owner)) : screen->availableGeometry();
    // Before a window is first mapped the window system has not told its frame yet: a frame like
    // the owner's is the best guess, and without it the title bar would push the window down.
    QMargins margins = FrameMargins(window);
    if (margins.isNull() && ownerShown) {
        margins = FrameMargins(*owner);
    }
    const QSize frame = window.size().grownBy(margins);
    // A window's position is that of its frame; a tall window over an owner near the screen's edge
    // is moved back onto the screen.
    const QRect screenArea = screen->availableGeometry();
    const int left = area.left() + (area.width() - frame.width()) / 2;
    const int top = area.top() + (area.height() - frame.height()) / 2;
    const QPoint frameTopLeft(
        std::clamp(left, screenArea.left(), std::max(screenArea.left(), screenArea.right() + 1 - frame.width())),
        std::clamp(top, screenArea.top(), std::max(screenArea.top(), screenArea.bottom() + 1 - frame.height())));
    // The client area is placed inside the frame: QWidget::move() would take the frame's position
    // from the frame the widget last heard of, which may be none.
    window.setGeometry(QRect(frameTopLeft + QPoint(margins.left(), margins.top()), window.size()));
}

// Events that come once the window system has put the window on the screen, with its frame.
bool IsAfterMapping(QEvent::Type type) {
    return type == QEvent::Move || type == QEvent::Paint || type == QEvent::WindowActivate;
}

// Centres the window when it is shown, and once more when the window system has told its frame
// (the frame of a window not yet mapped is a guess).
class CentreWhenShown final : public QObject {
  public:
    using QObject::QObject;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!watched->isWidgetType()) {
            return false;
        }
        auto& window = *static_cast<QWidget*>(watched);
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            m_frameKnown = !FrameMargins(window).isNull();
            CentreOnOwner(window);
        } else if (IsAfterMapping(event->type()) && !m_frameKnown && !FrameMargins(window).isNull()) {
            m_frameKnown = true;
            CentreOnOwner(window);
        }
        return false;
    }

  private:
    bool m_frameKnown = true;
};

}  // namespace

void KeepCentredOnOwner(QWidget& window) {
    window.installEventFilter(new CentreWhenShown(&window));
}

WindowSize KeptSize(const QWidget& window, QSize opened) {
    const QSize size = window.isMaximized() ? window.normalGeometry().size() : window.size();
    const bool resized = size != opened && size.isValid();
    return {
        .Width = resized ? size.width() : 0, .Height = resized ? size.height() : 0, .Maximized = window.isMaximized()};
}

void RestoreSize(QWidget& window, const WindowSize& kept) {
    if (kept.Width > 0 && kept.Height > 0) {
        // Centred at its new size, where it also comes back to from a maximized state.
        const QRect screen = window.screen()->availableGeometry();
        const QSize size = QSize(kept.Width, kept.Height).expandedTo(window.minimumSize()).boundedTo(screen.size());
        window.setGeometry(QRect(screen.center() - QPoint(size.width() / 2, size.height() / 2), size));
    }
    if (kept.Maximized) {
        window.setWindowState(window.windowState() | Qt::WindowMaximized);
    }
}

}  // namespace vc::gui
