#include "window_placement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace vc::gui {

namespace {

QMargins FrameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

void CentreOnOwner(QWidget& window) {
    const QWidget* owner = window.parentWidget() != nullptr ? window.parentWidget()->window() : nullptr;
    const bool ownerShown = owner != nullptr && owner->isVisible();
    QScreen* screen = owner != nullptr ? owner->screen() : QGuiApplication::primaryScreen();
    const QRect area = ownerShown ? owner->frameGeometry() : screen->availableGeometry();
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
    window.move(
        std::clamp(left, screenArea.left(), std::max(screenArea.left(), screenArea.right() + 1 - frame.width())),
        std::clamp(top, screenArea.top(), std::max(screenArea.top(), screenArea.bottom() + 1 - frame.height())));
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

}  // namespace vc::gui
