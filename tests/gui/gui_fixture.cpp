// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui_fixture.h"

#include <algorithm>

#include <qpa/qplatformwindow.h>
#ifdef Q_OS_WIN
#include <windows.h>
#elif QT_CONFIG(xcb)
#include <xcb/xcb.h>
#endif
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QTimer>
#include <QWindow>

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <string_view>

#include "application_setup.h"
#include "cli.h"
#include "image_files.h"

namespace vc::gui::test {

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

namespace {

// Reaches the formatting every desktop platform window applies to its title.
struct PlatformTitle final : QPlatformWindow {
    static QString Format(const QString& title) { return formatWindowTitle(title, QString::fromUtf8(" \u2014 ")); }
};

#if QT_CONFIG(xcb)
// The connection to the X server when the tests run on Qt's xcb platform, where titles and frames
// are read back from the server itself.
xcb_connection_t* X11Connection() {
    const auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    return x11 != nullptr ? x11->connection() : nullptr;
}

xcb_window_t RootWindow(xcb_connection_t* x11) {
    return xcb_setup_roots_iterator(xcb_get_setup(x11)).data->root;
}

xcb_atom_t Atom(xcb_connection_t* x11, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x11, xcb_intern_atom(x11, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}

// The value of a window's property as the server holds it, whatever its type; empty when unset.
std::vector<char> ReadProperty(xcb_connection_t* x11, WId window, xcb_atom_t property, uint8_t format) {
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        x11, xcb_get_property(x11, 0, static_cast<xcb_window_t>(window), property, XCB_GET_PROPERTY_TYPE_ANY, 0, 4096),
        nullptr);
    std::vector<char> value;
    if (reply != nullptr && reply->format == format) {
        const auto* data = static_cast<const char*>(xcb_get_property_value(reply));
        value.assign(data, data + xcb_get_property_value_length(reply));
    }
    std::free(reply);
    return value;
}
// The window's frame as the window manager drew it around the window.
QRect FrameOnServer(xcb_connection_t* x11, const QWidget& window) {
    if (window.windowHandle() == nullptr) {
        return {};  // never shown: the server has no window to ask about
    }
    const auto client = static_cast<xcb_window_t>(window.winId());
    xcb_translate_coordinates_reply_t* origin =
        xcb_translate_coordinates_reply(x11, xcb_translate_coordinates(x11, client, RootWindow(x11), 0, 0), nullptr);
    if (origin == nullptr) {
        return {};
    }
    const QRect area(origin->dst_x, origin->dst_y, window.width(), window.height());
    std::free(origin);
    // left, right, top, bottom; absent until the window manager has framed the window
    const std::vector<char> bytes = ReadProperty(x11, client, Atom(x11, "_NET_FRAME_EXTENTS"), 32);
    if (bytes.size() != 4 * sizeof(uint32_t)) {
        return area;
    }
    uint32_t extents[4];
    std::memcpy(extents, bytes.data(), sizeof extents);
    return area.marginsAdded(QMargins(static_cast<int>(extents[0]), static_cast<int>(extents[2]),
                                      static_cast<int>(extents[1]), static_cast<int>(extents[3])));
}
#endif

// Runs before the window is made, as the program's own start does.
QString SetUpAndNameSettings(const vc::test::TempDir& folder) {
    SetUpApplication();
    return Q(folder.File("Vellumcraft.ini"));
}

}  // namespace

QString Where(QPoint point) {
    return QStringLiteral("%1,%2").arg(point.x()).arg(point.y());
}

QString Where(const QRect& rect) {
    return QStringLiteral("%1x%2 at %3").arg(rect.width()).arg(rect.height()).arg(Where(rect.topLeft()));
}

void WhenModalShown(std::function<void(QWidget&)> user) {
    QTimer::singleShot(0, [user] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        QVERIFY(QTest::qWaitForWindowExposed(modal));
        user(*modal);
        if (modal->isVisible()) {
            modal->close();
        }
    });
}

int RunCommandLine(const std::vector<std::string>& arguments) {
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    std::ostringstream dropped;
    return cli::RunCli(views, dropped, dropped);
}

QString TitleShown(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    if (handle == nullptr) {
        return QStringLiteral("(no window of the system)");
    }
#ifdef Q_OS_WIN
    if (QGuiApplication::platformName() == QStringLiteral("windows")) {
        const auto native = reinterpret_cast<HWND>(window.winId());
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(native)) + 1, L'\0');
        text.resize(static_cast<size_t>(::GetWindowTextW(native, text.data(), static_cast<int>(text.size()))));
        return QString::fromStdWString(text);
    }
#elif QT_CONFIG(xcb)
    if (xcb_connection_t* x11 = X11Connection()) {
        const std::vector<char> name = ReadProperty(x11, window.winId(), Atom(x11, "_NET_WM_NAME"), 8);
        return QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    }
#endif
    return PlatformTitle::Format(handle->title());
}

QRect FrameShown(const QWidget& window) {
#ifdef Q_OS_WIN
    if (QGuiApplication::platformName() == QStringLiteral("windows") && window.windowHandle() != nullptr) {
        RECT frame{};
        if (!::GetWindowRect(reinterpret_cast<HWND>(window.winId()), &frame)) {
            return {};
        }
        // In the screen's pixels; the tests run at a scale of one.
        return QRect(QPoint(frame.left, frame.top), QPoint(frame.right - 1, frame.bottom - 1));
    }
#elif QT_CONFIG(xcb)
    if (xcb_connection_t* x11 = X11Connection()) {
        return FrameOnServer(x11, window);
    }
#endif
    return window.frameGeometry();
}

WindowFixture::WindowFixture(const QStringList& arguments, const std::string& settings)
    : Window(Prompts, SetUpAndNameSettings(Folder)) {
    if (!settings.empty()) {
        Folder.WriteText("Vellumcraft.ini", settings);
    }
    Window.FormCreate(arguments);
}

BoxesWindow::BoxesWindow(const QString& settingsPath) : Window(Prompts, settingsPath) {
    Prompts.SetParent(&Window);
}

QString WindowFixture::Paletted(const std::string& name, int width, int height, int entries) const {
    return Q(Folder.Write(
        name, vc::test::MakePalettedBmp(width, height, vc::test::GreyPalette(entries),
                                        [entries](int x, int y) { return static_cast<uint8_t>((x ^ y) % entries); })));
}

QString WindowFixture::TrueColour(const std::string& name, int width, int height) const {
    return Q(Folder.Write(name, vc::test::MakeTrueColourBmp(width, height, [](int x, int y) {
                              return RgbColour{static_cast<uint8_t>(x * 3), static_cast<uint8_t>(y), 50};
                          })));
}

void WindowFixture::Add(const QStringList& files) {
    Prompts.NextOpenFiles.push_back(files);
    Window.AddFromDialog();
}

bool WindowFixture::Show() {
    Window.show();
    Window.activateWindow();
    return QTest::qWaitForWindowActive(&Window);
}

void WindowFixture::ClickRow(int row, Qt::KeyboardModifiers modifiers) {
    const QRect cell = Table()->visualRect(Table()->model()->index(row - 1, 0));
    QTest::mouseClick(Table()->viewport(), Qt::LeftButton, modifiers, cell.center());
}

void WindowFixture::AnswerOutputChoices(const QString& format, bool clickMipmaps) {
    Prompts.NextDialogActions.push_back([format, clickMipmaps](QDialog& dialog) {
        auto* formats = dialog.findChild<QComboBox*>(QStringLiteral("cbxFormat"));
        formats->setCurrentIndex(formats->findText(format));
        if (clickMipmaps) {
            QTest::mouseClick(dialog.findChild<QCheckBox*>(QStringLiteral("cbxMipmaps")), Qt::LeftButton);
        }
        QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Apply")), Qt::LeftButton);
        return dialog.result();
    });
}

std::vector<int> WindowFixture::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : Table()->selectionModel()->selectedRows()) {
        rows.push_back(index.row() + 1);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QAction* WindowFixture::Action(const char* name) const {
    return Window.findChild<QAction*>(name);
}

QPushButton* WindowFixture::Button(const char* name) const {
    return Window.findChild<QPushButton*>(name);
}

QTableView* WindowFixture::Table() const {
    return Window.findChild<QTableView*>("Table");
}

QString WindowFixture::Cell(int row, int column) const {
    return Table()->model()->index(row, column).data().toString();
}

QString WindowFixture::CountPanel() const {
    return Window.findChild<QLabel*>("CountPanel")->text();
}

QString WindowFixture::DetailPanel() const {
    return Window.findChild<QLabel*>("DetailPanel")->text();
}

const TTexFile& WindowFixture::Entry(size_t index) const {
    return Window.CurrentWorkspace().TexList.at(index);
}

QStringList WindowFixture::MessageTexts() const {
    QStringList texts;
    for (const auto& message : Prompts.Messages) {
        texts << message.Text;
    }
    return texts;
}

QString WindowFixture::SettingsPath() const {
    return Q(Folder.File("Vellumcraft.ini"));
}

void WindowFixture::Snapshot(const QString& name) {
    Snapshot(Window, name);
}

void WindowFixture::Snapshot(QWidget& widget, const QString& name) {
    QDir().mkpath(QStringLiteral(VELLUMCRAFT_SNAPSHOT_DIR));
    widget.grab().save(QStringLiteral(VELLUMCRAFT_SNAPSHOT_DIR) + "/" + name + ".png");
}

}  // namespace vc::gui::test
