// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPointer>
#include <QTimer>
#include <utility>
#include <vector>

class QAction;
class QMainWindow;

namespace vc::gui {

// While a command runs, the window takes no input but its progress box's and its dialogs': keys,
// clicks, drops and its actions' shortcuts that reach it are swallowed, also while one of the
// command's dialogs waits, so that keys typed early never reach a dialog the user has not seen yet.
// Once the command has run as long as a progress box waits before it shows, its actions, menus and
// controls are also shown disabled; a short command never flickers. Ending, it gives everything
// back its former state.
class BusyWindow final : public QObject {
  public:
    explicit BusyWindow(QMainWindow& window);
    BusyWindow(const BusyWindow&) = delete;
    BusyWindow& operator=(const BusyWindow&) = delete;
    ~BusyWindow() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void ShowDisabled();

    QMainWindow& m_window;
    std::vector<std::pair<QPointer<QAction>, bool>> m_actions;
    bool m_disabled = false;
    bool m_menusEnabled = true;
    bool m_controlsEnabled = true;
    QTimer m_delay;
};

}  // namespace vc::gui
