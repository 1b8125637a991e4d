#include "gui_fixture.h"

#include <qpa/qplatformwindow.h>
#include <QAction>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QWindow>

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

// Runs before the window is made, as the program's own start does.
QString SetUpAndNameSettings(const vc::test::TempDir& folder) {
    SetUpApplication();
    return Q(folder.File("Vellumcraft.ini"));
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& arguments) {
    const std::vector<std::string_view> views(arguments.begin(), arguments.end());
    std::ostringstream dropped;
    return cli::RunCli(views, dropped, dropped);
}

QString TitleShown(const QWidget& window) {
    const QWindow* handle = window.windowHandle();
    return handle != nullptr ? PlatformTitle::Format(handle->title()) : QStringLiteral("(no window of the system)");
}

WindowFixture::WindowFixture(const QStringList& arguments, const std::string& settings)
    : Window(Prompts, SetUpAndNameSettings(Folder)) {
    if (!settings.empty()) {
        Folder.WriteText("Vellumcraft.ini", settings);
    }
    Window.FormCreate(arguments);
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
