// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <string>
#include <vector>

#include "dialog_prompts.h"
#include "main_window.h"
#include "temp_dir.h"
#include "test_prompts.h"

class QAction;
class QPushButton;
class QTableView;

namespace vc::gui::test {

QString Q(const std::string& text);

// The title the window system shows for a created window. On X11 it is read back from the server
// (_NET_WM_NAME, which the window manager draws in the title bar). Offscreen there is no window
// system: the title is formatted as Qt's desktop platforms (X11, Windows, macOS) hand it on,
// through QPlatformWindow::formatWindowTitle, which appends the application's display name when
// one is set.
QString TitleShown(const QWidget& window);

// Where a shown window's frame is. On X11 it is read back from the server: the client area's place
// on the screen, grown by the frame the window manager announced (_NET_FRAME_EXTENTS). A window
// manager places and frames a window some time after it is shown, and QWidget::frameGeometry() may
// never hear of it. Offscreen, where there is no frame, it is the window's frame geometry.
QRect FrameShown(const QWidget& window);

// A point or a rectangle as a failure message names it: "x,y" or "wxh at x,y".
QString Where(QPoint point);
QString Where(const QRect& rect);

// Runs user once the modal window that the caller's next call opens is shown, then closes the
// window if user left it open, and lets the caller's call go on.
void WhenModalShown(std::function<void(QWidget&)> user);

// Runs vellumcraft-cli in this process with the arguments after the program's name; returns its
// exit status. What it prints is dropped.
int RunCommandLine(const std::vector<std::string>& arguments);

// A main window as the program starts it (after the program's application set-up), with its
// settings in a folder of the test's own, and the ways a test writes images, adds them and finds
// the window's controls.
struct WindowFixture {
    // settings, when given, is the text of Vellumcraft.ini as the window finds it at start.
    explicit WindowFixture(const QStringList& arguments = {}, const std::string& settings = {});

    // A paletted BMP with a grey palette of the given number of entries.
    QString Paletted(const std::string& name, int width, int height, int entries = 256) const;
    QString TrueColour(const std::string& name, int width, int height) const;
    // Adds the files as if chosen in the Add dialog.
    void Add(const QStringList& files);
    // Answers the next dialog of output choices alone (Change of several textures, the defaults for
    // new textures): chooses the format, clicks Mipmaps when asked, and clicks Apply.
    void AnswerOutputChoices(const QString& format, bool clickMipmaps = false);
    // Shows the window as the program does; true once it is shown and active, so that keys reach
    // the control with the focus.
    [[nodiscard]] bool Show();
    // Clicks the first cell of a table row (counted from 1) with the mouse, with the keys held.
    void ClickRow(int row, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    QAction* Action(const char* name) const;
    QPushButton* Button(const char* name) const;
    QTableView* Table() const;
    QString Cell(int row, int column) const;
    // The selected rows, counted from 1, in the order the selection holds them.
    std::vector<int> SelectedRows() const;
    QString CountPanel() const;
    QString DetailPanel() const;
    const TTexFile& Entry(size_t index) const;
    QStringList MessageTexts() const;
    QString SettingsPath() const;

    // Saves a picture of the window, or of one of its dialogs, under the build folder.
    void Snapshot(const QString& name);
    static void Snapshot(QWidget& widget, const QString& name);

    vc::test::TempDir Folder;
    TestPrompts Prompts;
    TForm1 Window;
};

// A main window that shows the program's own message boxes, over itself, as the program does.
struct BoxesWindow {
    explicit BoxesWindow(const QString& settingsPath);

    DialogPrompts Prompts;
    TForm1 Window;
};

}  // namespace vc::gui::test
