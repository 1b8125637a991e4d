#pragma once

#include <QObject>
#include <QPointer>
#include <utility>
#include <vector>

class QAction;
class QMainWindow;

namespace vc::gui {

// While a command runs, the window takes no input but its progress box's and its dialogs': its
// actions (and so their shortcuts), menus and controls are disabled, and input that reaches it
// anyway (keys typed or files dropped before the box showed, or after it was cancelled) is
// swallowed, also while one of the command's dialogs waits, so that such keys never reach a dialog
// the user has not seen yet. Ending, it gives everything back its former state.
class BusyWindow final : public QObject {
  public:
    explicit BusyWindow(QMainWindow& window);
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;
    ~BusyWindow() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    QMainWindow& m_window;
    std::vector<std::pair<QPointer<QAction>, bool>> m_actions;
    bool m_menusEnabled = true;
    bool m_controlsEnabled = true;
};

}  // namespace vc::gui
