// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSemaphore>
#include <QStatusBar>
#include <QTableView>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QThreadPool>
#include <QTimer>
#include <QToolTip>
#include <QWindow>
#include <QtTest>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include "app_info.h"
#include "entry_findings.h"
#include "file_identity.h"
#include "gui_fixture.h"
#include "image_files.h"
#include "io/file_io.h"
#include "io/program_version.h"
#include "ops/settings.h"
#include "scoped_environment.h"
#include "texture_picture.h"

#ifdef Q_OS_WIN
#include <windows.h>
#endif

namespace vc::gui {

namespace {

using test::Q;
using Fixture = test::WindowFixture;

// Runs open, which shows a modal box; returns the box's title as the system shows it, and closes
// the box with Esc as a user would.
QString TitleOfTheBoxOpenedBy(const std::function<void()>& open) {
    QString title = QStringLiteral("(no box)");
    QTimer closer;  // a timer of the caller's, so that it cannot fire once the caller is gone
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            title = test::TitleShown(*box);
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    closer.start(0);
    open();
    return title;
}

// Points the system's temporary folder at a folder of the test's while it lives.
class SystemTemporaryFolder {
  public:
    explicit SystemTemporaryFolder(const std::filesystem::path& folder)
#ifdef Q_OS_WIN
        : m_tmp("TMP", vc::FromFsPath(folder).c_str()),
          m_temp("TEMP", vc::FromFsPath(folder).c_str())
#else
        : m_tmpdir("TMPDIR", vc::FromFsPath(folder).c_str())
#endif
    {
    }

  private:
#ifdef Q_OS_WIN
    vc::test::ScopedEnvironment m_tmp;
    vc::test::ScopedEnvironment m_temp;
#else
    vc::test::ScopedEnvironment m_tmpdir;
#endif
};

// A file found in a folder; the same file keeps its inode when it is renamed into another folder.
struct FileSeen {
    uint64_t Id = 0;
    uintmax_t Size = 0;
};

std::vector<FileSeen> FilesIn(const std::filesystem::path& folder) {
    std::vector<FileSeen> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        files.push_back({vc::test::FileIdOf(entry.path().string()), entry.is_regular_file() ? entry.file_size() : 0});
    }
    return files;
}

// Shows the window for reading tooltips. On an X server the server's own pointer is first parked in
// the screen's corner, away from the window: a window or a tooltip opening under it would count as
// the pointer entering or leaving, which closes the tooltip or keeps it from coming.
[[nodiscard]] bool ShowAwayFromThePointer(Fixture& f) {
    QCursor::setPos(f.Window.screen()->geometry().bottomRight());
    return f.Show();
}

// Moves the pointer onto a table row and rests it there, as a user does to read the tooltip. It
// comes from the table's corner, so that it moves even when it was left on the row.
void RestPointerOn(const Fixture& f, int row) {
    const QRect cell = f.Table()->visualRect(f.Table()->model()->index(row - 1, 1));
    QTest::mouseMove(f.Table()->viewport(), QPoint(1, f.Table()->viewport()->height() - 2));
    QTest::mouseMove(f.Table()->viewport(), cell.center());
}

// The tooltip window on the screen, if one is shown.
QWidget* ShownToolTip() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QStringLiteral("qtooltip_label") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

// Rests the pointer on a row until the tooltip shows. On an X server a crossing event from the
// server's own pointer can cut a rest short, so a rest that shows nothing is tried again.
[[nodiscard]] bool ToolTipShownOn(const Fixture& f, int row) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        RestPointerOn(f, row);
        if (QTest::qWaitFor([] { return ShownToolTip() != nullptr; }, 3000)) {
            return true;
        }
    }
    return false;
}

// What a rich-text tooltip reads as text; its picture stands as one object character.
QString TextOf(const QString& tip) {
    QTextDocument document;
    document.setHtml(tip);
    return document.toPlainText();
}

// The picture a rich-text tooltip carries, loaded as its text document loads it.
QImage PictureOf(const QString& tip) {
    QTextDocument document;
    document.setHtml(tip);
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        for (auto fragment = block.begin(); !fragment.atEnd(); ++fragment) {
            const QTextCharFormat format = fragment.fragment().charFormat();
            if (format.isImageFormat()) {
                const QUrl source(format.toImageFormat().name());
                return document.resource(QTextDocument::ImageResource, source).value<QPixmap>().toImage();
            }
        }
    }
    return {};
}

bool Holds(const QImage& picture, QRgb colour) {
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            if (picture.pixel(x, y) == colour) {
                return true;
            }
        }
    }
    return false;
}

}  // namespace

class MainWindowTest : public QObject {
    Q_OBJECT

  private slots:
    void initTestCase() { QLocale::setDefault(QLocale::c()); }

    void StartsEmptyWithListCommandsDisabled() {
        Fixture f;
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1"));
        QCOMPARE(f.Table()->model()->rowCount(), 1);
        QCOMPARE(f.Table()->model()->headerData(3, Qt::Horizontal).toString(), QStringLiteral("Format (Out)"));
        QCOMPARE(f.Cell(0, 0), QString());
        QVERIFY(!f.Table()->isEnabled());
        for (const char* name : {"Button2", "Button3", "BtnUp", "BtnDown", "Button4", "Button6"}) {
            QVERIFY2(!f.Button(name)->isEnabled(), name);
        }
        for (const char* name : {"Change1", "Delete1", "BuildTXD1", "ExportList1", "RemoveAlphas1", "ByName1",
                                 "ByPath1", "BySize1", "ByFormat1"}) {
            QVERIFY2(!f.Action(name)->isEnabled(), name);
        }
        for (const char* name : {"Button1", "Button5", "BitBtn1"}) {
            QVERIFY2(f.Button(name)->isEnabled(), name);
        }
        QVERIFY(f.Action("ResetTXD1")->isEnabled());
        QVERIFY(f.Action("Ascending1")->isChecked());
        QVERIFY(f.Action("pwr2lmt")->isChecked());
        QVERIFY(f.Action("verid1")->isChecked());
        QVERIFY(f.Action("uflag1")->isChecked());
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QCOMPARE(f.DetailPanel(), QString());
        QVERIFY(f.Prompts.Messages.empty());
        f.Snapshot("empty");
    }

    void MenusHoldEveryItemInOrder() {
        Fixture f;
        QStringList lines;
        std::function<void(const QList<QAction*>&, const QString&)> walk = [&](const QList<QAction*>& actions,
                                                                               const QString& indent) {
            for (QAction* action : actions) {
                if (action->isSeparator()) {
                    lines << indent + "—";
                    continue;
                }
                QString line = indent + action->text();
                if (!action->shortcut().isEmpty()) {
                    line += " [" + action->shortcut().toString() + "]";
                }
                if (action->isCheckable()) {
                    line += action->isChecked() ? " (x)" : " ( )";
                }
                lines << line;
                if (action->menu() != nullptr) {
                    walk(action->menu()->actions(), indent + "  ");
                }
            }
        };
        walk(f.Window.menuBar()->actions(), QString());
        QCOMPARE(lines, QStringList({"&File",
                                     "  &Reset TXD [Ctrl+R]",
                                     "  &Open TXD... [Ctrl+O]",
                                     "  Open TXD from &Archive...",
                                     "  &Build TXD [Ctrl+B]",
                                     "  —",
                                     "  &DFF Check... [Ctrl+C]",
                                     "  —",
                                     "  &Import List...",
                                     "  &Export List...",
                                     "  —",
                                     "  &Exit [Ctrl+X]",
                                     "&Edit",
                                     "  &Undo [Ctrl+Z]",
                                     "  &Redo [Ctrl+Y]",
                                     "  —",
                                     "  &Add [Ins]",
                                     "  &Change [F2]",
                                     "  &Delete [Del]",
                                     "  —",
                                     "  &Remove Alphas",
                                     "  —",
                                     "  &Sort",
                                     "    By &Name",
                                     "    By &Path",
                                     "    By Size",
                                     "    By &Format",
                                     "    —",
                                     "    Ascending (x)",
                                     "    Descending ( )",
                                     "  —",
                                     "  &Options",
                                     "    Dimensions Limited to 2^x (x)",
                                     "    Defaults for New Textures...",
                                     "    —",
                                     "    Target Game",
                                     "      GTA III (x)",
                                     "      Vice City ( )",
                                     "      San Andreas ( )",
                                     "    RW Version ID",
                                     "      0x0800 ( )",
                                     "      0x0C02 (x)",
                                     "      0x1003 ( )",
                                     "    Unknown Flag",
                                     "      0x1101 ( )",
                                     "      0x1102 (x)",
                                     "      0x1106 ( )",
                                     "&View",
                                     "  &Preview Pane [F3] ( )",
                                     "&Help",
                                     "  &Image Formats [F1]",
                                     "  —",
                                     "  &Visit Homepage",
                                     "  &Send Email",
                                     "  —",
                                     "  &About...",
                                     "  &Licences..."}));
    }

    void ControlsStandWhereTheWindowPutsThemWithTheirHints() {
        Fixture f;
        QCOMPARE(f.Window.centralWidget()->size() + QSize(0, f.Window.statusBar()->height()), QSize(502, 304));
        QCOMPARE(f.Table()->geometry(), QRect(0, 0, 417, 281));
        QCOMPARE(f.Button("Button6")->geometry(), QRect(424, 248, 73, 25));
        QCOMPARE(f.Button("BtnDown")->geometry(), QRect(464, 104, 33, 25));
        QCOMPARE(f.Button("Button1")->toolTip(), QStringLiteral("Add texture(s) to list"));
        QCOMPARE(f.Button("BitBtn1")->toolTip(), QStringLiteral("Lists which textures are used by a dff model file"));
        QVERIFY(f.Button("Button6")->font().bold());
        QVERIFY(!f.Button("Button1")->icon().isNull());
        // The focus chain also holds the table's own parts; only the window's controls count.
        const QStringList controls = {"Table",   "Button1", "Button2", "Button3", "BtnUp",
                                      "BtnDown", "Button4", "BitBtn1", "Button5", "Button6"};
        QStringList order;
        QWidget* widget = f.Table();
        for (int i = 0; i < 100 && order.size() < controls.size(); ++i, widget = widget->nextInFocusChain()) {
            if (controls.contains(widget->objectName()) && !order.contains(widget->objectName())) {
                order << widget->objectName();
            }
        }
        QCOMPARE(order, controls);
    }

    void AddedFilesShowTheirTextsAndSelectTheFirstRow() {
        Fixture f;
        const QString wall = f.TrueColour("wall.bmp", 256, 128);
        f.Add({wall, f.Paletted("grass.bmp", 64, 64)});
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QCOMPARE(f.Window.SelectedRow(), 1);
        QCOMPARE(f.Cell(0, 0), QStringLiteral("wall"));
        QCOMPARE(f.Cell(0, 1), QString());
        QCOMPARE(f.Cell(0, 2), QStringLiteral("256 × 128"));
        QCOMPARE(f.Cell(0, 3), QStringLiteral("32bit"));
        QCOMPARE(f.Cell(1, 3), QStringLiteral("8bit paletted"));
        QVERIFY(f.DetailPanel().startsWith("Tex. 1: "));
        QVERIFY(f.DetailPanel().endsWith("wall.bmp"));
        QCOMPARE(f.Table()->toolTip(), "[Texture 1] - 256 × 128 px; 32 bit\nName: wall (24bit)\nPath: " + wall);
        QVERIFY(!f.Button("BtnUp")->isEnabled());
        QVERIFY(f.Button("BtnDown")->isEnabled());
        QVERIFY(!f.Button("Button4")->isEnabled());
        QVERIFY(f.Table()->isEnabled());
        QCOMPARE(f.Prompts.Dialogs.back().Preview, true);
        f.Snapshot("entries");

        f.Window.SelectRow(2);
        QVERIFY(f.Button("BtnUp")->isEnabled());
        QVERIFY(!f.Button("BtnDown")->isEnabled());
        QVERIFY(f.DetailPanel().startsWith("Tex. 2: "));
    }

    // A batch shows the progress box, which tells every file before it is read, in order.
    void AddingABatchTellsEachFileAsItIsRead() {
        Fixture f;
        QVERIFY(f.Show());
        QTest::mouseClick(f.Button("Button1"), Qt::LeftButton);  // the Add dialog, cancelled
        QVERIFY(f.Prompts.ProgressReports.isEmpty());
        f.Prompts.NextOpenFiles.push_back(
            {f.Paletted("a.bmp", 4, 4), f.Paletted("odd.bmp", 6, 6), f.TrueColour("c.bmp", 8, 8)});
        QTest::mouseClick(f.Button("Button1"), Qt::LeftButton);
        QCOMPARE(f.Prompts.ProgressReports,
                 QStringList({"Adding Files: 0/3 Reading a.bmp", "Adding Files: 1/3 Reading odd.bmp",
                              "Adding Files: 2/3 Reading c.bmp"}));
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Adding Files - Problems"));

        f.Prompts.ProgressReports.clear();
        f.Window.WMDropFiles({f.Paletted("d.bmp", 4, 4), f.Paletted("e.bmp", 4, 4)});
        QCOMPARE(f.Prompts.ProgressReports,
                 QStringList({"Drag & Drop Files: 0/2 Reading d.bmp", "Drag & Drop Files: 1/2 Reading e.bmp"}));
    }

    void RefusedFilesAreListedInOneBoxAndCancelDoesNothing() {
        Fixture f;
        f.Window.AddFromDialog();  // cancelled
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        f.Add({f.Paletted("odd.bmp", 6, 6), f.Paletted("ok.bmp", 4, 4)});
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        const auto& box = f.Prompts.Messages.front();
        QCOMPARE(box.Kind, MessageKind::Warning);
        QCOMPARE(box.Caption, QStringLiteral("Adding Files - Problems"));
        QCOMPARE(box.Text, QStringLiteral("Some of the files caused errors and could not be added:\r\n\r\n=> "
                                          "\"odd.bmp\":\r\n\tImage dimensions (6×6) aren't divisible by 4.\r\n\t"
                                          "Image dimensions (6×6) aren't a power of 2 (see readme)."));
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        f.Snapshot("with-entries-behind-problems");
        const auto shown = CreateMessageBox(box.Kind, box.Caption, box.Text, &f.Window);
        shown->adjustSize();
        Fixture::Snapshot(*shown, "problem-box");
    }

    // A long report starts with a line that sums it up; a short one reads as it always did.
    void ALongProblemReportStartsWithItsSummary() {
        Fixture f;
        QStringList files;
        for (int i = 0; i < 11; ++i) {
            files << f.Paletted("odd" + std::to_string(i) + ".bmp", 12, 12);
        }
        files << Q(f.Folder.File("gone.bmp"));
        f.Window.WMDropFiles(files);
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QVERIFY2(f.Prompts.Messages[0].Text.startsWith(
                     "12 files could not be added: 11 have sides that are not powers of two (Edit › Options › "
                     "Dimensions Limited to 2^x), 1 does not exist.\r\n\r\nSome of the files caused errors and could "
                     "not be added:\r\n\r\n=> \"odd0.bmp\":"),
                 qPrintable(f.Prompts.Messages[0].Text));
    }

    void DroppedFilesGoThroughTheSameRules() {
        Fixture f;
        const QString image = f.Paletted("a.bmp", 4, 4);
        f.Window.WMDropFiles({image, image});
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QVERIFY(f.Prompts.Messages.empty());
        const QString list = Q(f.Folder.WriteText("list.TXT", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" +
                                                                  f.Paletted("b.bmp", 8, 8).toStdString() + "\r\n"));
        f.Window.WMDropFiles({list, Q(f.Folder.WriteText("note.doc", "x"))});
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Drag & Drop Files - Problems"));
        QVERIFY(f.Prompts.Messages[0].Text.contains(
            "File extension .doc is not supported. (*.bmp; *.jpg; *.jpe; *.jpeg; *.txt)"));
    }

    // A dropped folder adds what lies directly inside it, by name; one that holds nothing to add
    // is named as a folder.
    void ADroppedFolderAddsItsImagesAndListsByName() {
        Fixture f;
        std::filesystem::create_directories(f.Folder.Path() / "drop" / "sub");
        std::filesystem::create_directories(f.Folder.Path() / "empty");
        f.Paletted("drop/b.bmp", 4, 4);
        f.Paletted("drop/A.bmp", 4, 4);
        f.Paletted("drop/sub/deeper.bmp", 4, 4);
        f.Folder.WriteText(
            "drop/c.txt", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + f.Paletted("listed.bmp", 4, 4).toStdString());
        f.Folder.WriteText("drop/readme.doc", "x");
        f.Window.WMDropFiles({Q(f.Folder.File("drop")), Q(f.Folder.File("empty"))});
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(QStringList({f.Cell(0, 0), f.Cell(1, 0), f.Cell(2, 0)}), QStringList({"A", "b", "listed"}));
        QCOMPARE(f.MessageTexts(),
                 QStringList({"Some of the files caused errors and could not be added:\r\n\r\n=> \"empty\":\r\n\tIs a "
                              "folder, not an image file; Vellumcraft reads .bmp, .jpg, .jpe, .jpeg, .png, .tga, .dds, "
                              ".txt and .txd files."}));
    }

    void DroppedNamesArriveWhole() {
        Fixture f;
        const std::string longName = std::string(300, 'n') + ".bmp";  // no 254-character cut
        f.Window.WMDropFiles({f.Paletted(std::string(200, 'm') + ".bmp", 4, 4), Q(f.Folder.File(longName))});
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QVERIFY(f.Prompts.Messages[0].Text.contains(Q("\"" + longName + "\":\r\n\tFile does not exist.")));
    }

    // Cancelling a build in its progress box ends it: no Save dialog, no dictionary, no file left
    // where it waited, the list as it was. While a build runs, keys and drops for the window (a
    // second Ctrl+B, Reset TXD, Delete, new files) do nothing; the one build asks once.
    void ABuildCanBeCancelledAndTakesNoOtherCommandWhileItRuns() {
        Fixture f;
        QVERIFY(f.Show());
        vc::test::TempDir scratch;
        const SystemTemporaryFolder redirected(scratch.Path());
        f.Add({f.Paletted("a.bmp", 8, 8), f.Paletted("b.bmp", 8, 8), f.TrueColour("c.bmp", 8, 8)});
        const size_t dialogsBefore = f.Prompts.Dialogs.size();
        f.Prompts.ProgressReports.clear();
        f.Prompts.CancelAtReport = 1;
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.ProgressReports,
                 QStringList({"Build TXD: 0/3 Assembling a", "Build TXD: 1/3 Assembling b"}));
        QCOMPARE(f.Prompts.Dialogs.size(), dialogsBefore);
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(FilesIn(scratch.Path()).size(), size_t{0});
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QVERIFY(f.Action("BuildTXD1")->isEnabled());

        f.Prompts.CancelAtReport.reset();
        f.Prompts.ProgressReports.clear();
        int reports = 0;
        f.Prompts.WhileReporting = [&] {
            if (reports++ != 0) {
                return;
            }
            // Input is refused at once; the window shows it only once the build has run as long as
            // its progress box waits, so that short commands do not flicker.
            QVERIFY(f.Action("BuildTXD1")->isEnabled());
            QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
            QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
            QTest::keyClick(f.Table(), Qt::Key_Delete);
            QTest::mouseClick(f.Button("Button5"), Qt::LeftButton);
            f.Window.WMDropFiles({f.Paletted("late.bmp", 4, 4)});
            QTest::qWait(600);
            QVERIFY(!f.Action("BuildTXD1")->isEnabled());
            QVERIFY(!f.Button("Button5")->isEnabled());
        };
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("one.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Dialogs.size(), dialogsBefore + 1);
        QCOMPARE(f.Prompts.ProgressReports.size(), qsizetype{3});
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Build TXD - Result"));
        QVERIFY(f.Action("BuildTXD1")->isEnabled());
        QVERIFY(f.Button("Button5")->isEnabled());
    }

    // Adding cancelled half-way leaves the list as it was.
    void CancelledAddingAddsNothing() {
        Fixture f;
        f.Add({f.Paletted("first.bmp", 4, 4)});
        f.Prompts.CancelAtReport = f.Prompts.ProgressReports.size() + 1;
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4), f.Paletted("c.bmp", 4, 4)});
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QVERIFY(f.Prompts.Messages.empty());
    }

    // Reset TXD starts a list that came from no dictionary: Build suggests none.
    void ResetForgetsTheDictionaryBuildSuggested() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("a.bmp", 4, 4)});
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("first.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        f.Add({f.Paletted("b.bmp", 4, 4)});
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);  // the Save dialog is cancelled
        QCOMPARE(f.Prompts.Dialogs.back().SelectedFile, QString());
    }

    void CommandLineFilesAreAddedAtStart() {
        vc::test::TempDir folder;
        const std::string good = folder.Write(
            "good.bmp", vc::test::MakePalettedBmp(4, 4, vc::test::GreyPalette(2), [](int, int) { return 0; }));
        const std::string odd = folder.Write(
            "odd.bmp", vc::test::MakePalettedBmp(6, 6, vc::test::GreyPalette(2), [](int, int) { return 0; }));
        Fixture f({"/x", Q(good), Q(folder.Path().string()), Q(odd), Q(folder.File("missing.bmp"))});
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Adding Files (Parameter) - Problems"));
        QCOMPARE(f.Prompts.ProgressReports, QStringList({"Adding Files (Parameter): 0/2 Reading good.bmp",
                                                         "Adding Files (Parameter): 1/2 Reading odd.bmp"}));
        QVERIFY(f.Prompts.Messages[0].Text.contains("\"odd.bmp\""));
        QVERIFY(!f.Prompts.Messages[0].Text.contains("missing.bmp"));
    }

    // The dictionary waits in a file, not in memory, while the user chooses where it goes: in the
    // system's temporary folder when there is no save folder yet. Cancelling removes it; saving
    // renames that very file into place.
    void BuildWritesWhatTheCoreAssemblesAndReportsIt() {
        Fixture f;
        QVERIFY(f.Show());
        vc::test::TempDir scratch;
        const SystemTemporaryFolder redirected(scratch.Path());
        const QStringList files = {f.Paletted("a.bmp", 64, 64), f.TrueColour("b.bmp", 8, 8)};
        f.Add(files);
        std::vector<FileSeen> waiting;
        f.Prompts.WhileSaveFileAsked = [&] { waiting = FilesIn(scratch.Path()); };
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);  // save dialog cancelled
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.Prompts.Dialogs.back().Filter, QStringLiteral("Texture Dictionaries (*.txd)|*.txd"));
        QVERIFY(f.Prompts.Dialogs.back().ConfirmOverwrite);
        QCOMPARE(waiting.size(), size_t{1});
        QVERIFY(waiting[0].Size > 0);
        QCOMPARE(FilesIn(scratch.Path()).size(), size_t{0});

        const QString out = Q(f.Folder.File("cars.txd"));
        f.Prompts.NextSaveFile.push_back(out);
        f.Prompts.ProgressReports.clear();
        waiting.clear();
        f.Action("verid2")->trigger();
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Kind, MessageKind::Information);
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Build TXD - Result"));
        QCOMPARE(f.Prompts.ProgressReports,
                 QStringList({"Build TXD: 0/2 Assembling a", "Build TXD: 1/2 Assembling b"}));
        QCOMPARE(f.Prompts.Messages[0].Text,
                 QStringLiteral("2 of 2 textures assembled sucessfully to cars.txd!\r\nSize of file: 5.57 KB"));
        QCOMPARE(waiting.size(), size_t{1});
        QCOMPARE(FilesIn(scratch.Path()).size(), size_t{0});
        QCOMPARE(vc::test::FileIdOf(out.toStdString()), waiting[0].Id);

        // The command line builds the same bytes from the same inputs.
        const std::string cliOut = f.Folder.File("cli.txd");
        QCOMPARE(test::RunCommandLine(
                     {"build", "--rw-version", "0x1003", "-o", cliOut, files[0].toStdString(), files[1].toStdString()}),
                 0);
        QCOMPARE(vc::test::ReadBytes(out.toStdString()), vc::test::ReadBytes(cliOut));

        // A folder in the chosen file's place cannot be replaced: the error box, the folder as it
        // was, and no file left behind where the dictionary waited (beside the last one saved).
        std::filesystem::create_directory(f.Folder.File("taken.txd"));
        f.Folder.WriteText("taken.txd/keep.txt", "kept");
        const size_t entries = FilesIn(f.Folder.Path()).size();
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("taken.txd")));
        f.Prompts.WhileSaveFileAsked = [&] { waiting = FilesIn(f.Folder.Path()); };
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);
        QCOMPARE(waiting.size(), entries + 1);
        QCOMPARE(f.Prompts.Messages.size(), size_t{2});
        QCOMPARE(f.Prompts.Messages[1].Kind, MessageKind::Error);
        QCOMPARE(f.Prompts.Messages[1].Text,
                 "Cannot replace file \"" + Q(f.Folder.File("taken.txd")) + "\": Is a directory");
        QCOMPARE(vc::test::ReadText(f.Folder.File("taken.txd/keep.txt")), std::string("kept"));
        QCOMPARE(FilesIn(f.Folder.Path()).size(), entries);
        QCOMPARE(FilesIn(scratch.Path()).size(), size_t{0});
    }

    // With a save folder the user can write in, the dictionary is assembled there, where it will
    // most likely be saved; a save to another folder takes it there, and nothing is left behind.
    void BuildAssemblesInTheSaveFolderWhereItCan() {
        vc::test::TempDir saves;
        vc::test::TempDir elsewhere;
        Fixture f({}, "[Paths]\r\nsave=" + saves.Path().string() + "\r\n");
        QVERIFY(f.Show());
        vc::test::TempDir scratch;
        const SystemTemporaryFolder redirected(scratch.Path());
        f.Add({f.Paletted("a.bmp", 16, 16)});
        std::vector<FileSeen> waiting;
        std::vector<FileSeen> inTheSystemFolder;
        f.Prompts.WhileSaveFileAsked = [&] {
            waiting = FilesIn(saves.Path());
            inTheSystemFolder = FilesIn(scratch.Path());
        };
        const QString out = Q(saves.File("cars.txd"));
        f.Prompts.NextSaveFile.push_back(out);
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);
        QCOMPARE(f.Prompts.Dialogs.back().Directory, Q(saves.Path().string()));
        QCOMPARE(waiting.size(), size_t{1});
        QCOMPARE(inTheSystemFolder.size(), size_t{0});
        QCOMPARE(vc::test::FileIdOf(out.toStdString()), waiting[0].Id);
        const std::vector<uint8_t> saved = vc::test::ReadBytes(out.toStdString());

        const QString again = Q(elsewhere.File("again.txd"));
        f.Prompts.NextSaveFile.push_back(again);
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);
        QCOMPARE(f.Prompts.Messages.size(), size_t{2});
        QCOMPARE(f.Prompts.Messages[1].Caption, QStringLiteral("Build TXD - Result"));
        QCOMPARE(vc::test::ReadBytes(again.toStdString()), saved);
        QCOMPARE(FilesIn(scratch.Path()).size(), size_t{0});
        QCOMPARE(FilesIn(saves.Path()).size(), size_t{1});  // the first dictionary only
        QCOMPARE(FilesIn(elsewhere.Path()).size(), size_t{1});

        // An image broken since it was added ends the build with the error box, before the Save
        // dialog, and the half-built dictionary is gone.
        std::vector<uint8_t> broken = vc::test::ReadBytes(f.Entry(0).TexPath);
        broken.resize(200);
        f.Folder.Write("a.bmp", broken);
        const size_t dialogs = f.Prompts.Dialogs.size();
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);
        QCOMPARE(f.Prompts.Dialogs.size(), dialogs);
        QCOMPARE(f.Prompts.Messages.size(), size_t{3});
        QCOMPARE(f.Prompts.Messages[2].Kind, MessageKind::Error);
        QVERIFY(f.Prompts.Messages[2].Text.contains("Bitmap image is not valid"));
        QCOMPARE(FilesIn(elsewhere.Path()).size(), size_t{1});
        QCOMPARE(FilesIn(saves.Path()).size(), size_t{1});
        QCOMPARE(FilesIn(scratch.Path()).size(), size_t{0});
    }

    // Entries a build leaves out are named in a problems box after the result, and a build that
    // assembles nothing says why instead of doing nothing; problems of earlier commands are not
    // repeated.
    void BuildNamesTheEntriesItLeftOut() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("a.bmp", 16, 16), f.Paletted("b.bmp", 16, 16), f.Paletted("odd.bmp", 6, 6)});
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});  // odd.bmp refused by Add
        std::filesystem::remove(f.Folder.File("b.bmp"));
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("cars.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Messages.size(), size_t{3});
        QCOMPARE(f.Prompts.Messages[1].Text.left(9), QStringLiteral("1 of 2 te"));
        QCOMPARE(f.Prompts.Messages[2].Kind, MessageKind::Warning);
        QCOMPARE(f.Prompts.Messages[2].Caption, QStringLiteral("Build TXD - Problems"));
        QCOMPARE(f.Prompts.Messages[2].Text,
                 QStringLiteral(
                     "Some textures could not be assembled as listed:\r\n\r\n=> \"b.bmp\":\r\n\tFile does not exist."));

        std::filesystem::remove(f.Folder.File("a.bmp"));
        const size_t dialogs = f.Prompts.Dialogs.size();
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);
        QCOMPARE(f.Prompts.Dialogs.size(), dialogs);  // nothing to save
        QCOMPARE(f.Prompts.Messages.size(), size_t{4});
        QCOMPARE(f.Prompts.Messages[3].Caption, QStringLiteral("Build TXD - Problems"));
        QCOMPARE(f.Prompts.Messages[3].Text, QStringLiteral("Some textures could not be assembled as listed:"
                                                            "\r\n\r\n=> \"a.bmp\":\r\n\tFile does not exist."
                                                            "\r\n\r\n=> \"b.bmp\":\r\n\tFile does not exist."));
    }

    void EditingCommandsKeepEnablingInStepAndTheTableModelItsContract() {
        Fixture f;
        QAbstractItemModelTester tester(f.Table()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        f.Add({f.Paletted("c.bmp", 4, 4), f.Paletted("a.bmp", 8, 8)});
        f.Window.WMDropFiles({f.Paletted("b.bmp", 16, 16)});
        f.Window.SelectRow(3);
        f.Button("BtnUp")->click();
        QCOMPARE(f.Window.SelectedRow(), 2);
        QCOMPARE(f.Cell(1, 0), QStringLiteral("b"));
        f.Action("ByName1")->trigger();
        QCOMPARE(f.Cell(0, 0), QStringLiteral("a"));
        QCOMPARE(f.Window.SelectedRow(), 2);
        f.Action("Descending1")->trigger();
        QCOMPARE(f.Cell(0, 0), QStringLiteral("a"));  // choosing the direction sorts nothing
        f.Action("BySize1")->trigger();
        QCOMPARE(f.Cell(0, 0), QStringLiteral("b"));
        f.Window.SelectRow(3);
        f.Button("Button3")->click();
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QCOMPARE(f.Window.SelectedRow(), 2);
        QVERIFY(!f.Button("BtnDown")->isEnabled());
        f.Action("ResetTXD1")->trigger();  // the changes are kept
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QCOMPARE(f.MessageTexts().back(), QStringLiteral("Discard the changes to the list?"));
        f.Prompts.NextAnswers.push_back(true);
        f.Action("ResetTXD1")->trigger();
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QCOMPARE(f.Table()->model()->rowCount(), 1);
        QVERIFY(!f.Action("Delete1")->isEnabled());
    }

    void AlphaCommandsClearWhatTheListBrought() {
        Fixture f;
        const std::string list =
            "[TXDList]\r\ncount=2\r\n[Texture1]\r\npath=" + f.Paletted("a.bmp", 4, 4).toStdString() +
            "\r\nalphapath=" + f.Paletted("am.bmp", 4, 4).toStdString() +
            "\r\n[Texture2]\r\npath=" + f.Paletted("b.bmp", 4, 4).toStdString() +
            "\r\nalphapath=" + f.Paletted("bm.bmp", 4, 4).toStdString() + "\r\n";
        f.Prompts.NextOpenFile.push_back(Q(f.Folder.WriteText("set.txt", list)));
        f.Action("ImportList1")->trigger();
        QCOMPARE(f.Cell(0, 1), QStringLiteral("am"));
        QVERIFY(f.Button("Button4")->isEnabled());
        QVERIFY(f.DetailPanel().contains("; "));
        QCOMPARE(f.Table()->toolTip().count('\n'), 4);
        f.Button("Button4")->click();
        QCOMPARE(f.Cell(0, 1), QString());
        QVERIFY(!f.Button("Button4")->isEnabled());
        f.Action("RemoveAlphas1")->trigger();
        QCOMPARE(f.Cell(1, 1), QString());
    }

    void ListsAreImportedAndExportedThroughTheirDialogs() {
        Fixture f;
        f.Action("ImportList1")->trigger();  // cancelled
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.Prompts.Dialogs.back().Title, QStringLiteral("Import Texture List"));
        const std::string text =
            "[TXDList]\r\ncount=2\r\n[Texture1]\r\npath=" + f.Paletted("a.bmp", 4, 4).toStdString() +
            "\r\n[Texture2]\r\npath=" + f.Paletted("odd.bmp", 6, 6).toStdString() + "\r\n";
        f.Prompts.NextOpenFile.push_back(Q(f.Folder.WriteText("cars.txt", text)));
        f.Action("ImportList1")->trigger();
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Importing List - Problems"));
        QCOMPARE(f.Prompts.ProgressReports,
                 QStringList({"Import Texture List: 0/2 Reading a.bmp", "Import Texture List: 1/2 Reading odd.bmp"}));
        QVERIFY(f.Prompts.Messages[0].Text.startsWith(
            "Some of the files in the list caused errors and could not be added:\r\n\r\n=> \"odd.bmp\":"));

        f.Prompts.NextSaveFile.push_back(QString());
        f.Action("BuildTXD1")->trigger();
        QCOMPARE(f.Prompts.Dialogs.back().SelectedFile, Q(f.Folder.File("cars.txd")));

        const QString exported = Q(f.Folder.File("out.txt"));
        f.Prompts.NextSaveFile.push_back(exported);
        f.Action("ExportList1")->trigger();
        QCOMPARE(f.Prompts.Dialogs.back().Title, QStringLiteral("Export Texture List"));
        QVERIFY(f.Prompts.Dialogs.back().ConfirmOverwrite);
        QVERIFY(vc::IsExistingFile(exported.toStdString()));
    }

    void ErrorsEndTheCommandWithTheStandardBox() {
        Fixture f;
        std::vector<uint8_t> broken =
            vc::test::MakePalettedBmp(16, 16, vc::test::GreyPalette(2), [](int, int) { return 0; });
        broken.resize(200);
        f.Add({f.Paletted("first.bmp", 4, 4), Q(f.Folder.Write("broken.bmp", broken)), f.Paletted("z.bmp", 4, 4)});
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Kind, MessageKind::Error);
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Vellumcraft"));
        QVERIFY(f.Prompts.Messages[0].Text.contains("Bitmap image is not valid"));
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
    }

    void SettingsAreReadAtStartAndWrittenAtClose() {
        Fixture f({}, "[Options]\r\nverid=0x2\r\nuflag=7\r\npwr2lmt=0\r\ndfflog=1\r\n[Paths]\r\nopen=/somewhere\r\n");
        QVERIFY(f.Action("verid2")->isChecked());
        QVERIFY(f.Action("uflag1")->isChecked());
        QVERIFY(!f.Action("pwr2lmt")->isChecked());
        f.Action("pwr2lmt")->trigger();
        f.Action("verid0")->trigger();
        f.Add({f.Paletted("t.bmp", 4, 4)});
        QCOMPARE(f.Prompts.Dialogs.back().Directory, QStringLiteral("/somewhere"));
        f.Prompts.NextAnswers.push_back(true);  // the list is discarded
        f.Window.close();
        const Settings saved = LoadSettings(f.SettingsPath().toStdString());
        QCOMPARE(saved.VersionIndex, uint8_t{0});
        QCOMPARE(saved.FlagIndex, uint8_t{1});
        QVERIFY(saved.pwr2lmt);
        QVERIFY(saved.dfflog);
        QCOMPARE(Q(saved.Folders.Open), Q(f.Folder.Path().string()));
    }

    // Windows finds the program by name (Start › Run "vellumcraft") through its App Paths key.
    void StartingRegistersTheProgramsPathForWindows() {
#ifndef Q_OS_WIN
        QSKIP("App Paths are Windows' registry");
#else
        Fixture f;
        const std::wstring key = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\vellumcraft.exe";
        const QString program = QDir::toNativeSeparators(QCoreApplication::applicationFilePath());
        for (const auto& [value, expected] : {std::pair{L"", program}, std::pair{L"Path", QFileInfo(program).path()}}) {
            wchar_t text[1024] = {};
            DWORD size = sizeof(text);
            QCOMPARE(::RegGetValueW(HKEY_LOCAL_MACHINE, key.c_str(), value, RRF_RT_REG_SZ, nullptr, text, &size),
                     LSTATUS{ERROR_SUCCESS});
            QCOMPARE(QString::fromWCharArray(text), QDir::toNativeSeparators(expected));
        }
#endif
    }

    void HelpCommandsShowTheirTextsAndAddresses() {
        Fixture f;
        f.Action("ImageFormats1")->trigger();
        f.Action("About1")->trigger();
        f.Action("VisitHomepage1")->trigger();
        f.Action("SendEmail1")->trigger();
        QCOMPARE(f.Prompts.Messages.size(), size_t{2});
        QCOMPARE(f.Prompts.Messages[0].Kind, MessageKind::Plain);
        QVERIFY(f.Prompts.Messages[0].Text.startsWith(
            "The following image formats are supported by Vellumcraft:\r\n\r\n\tBMP 8 bit system palette"));
        QVERIFY(f.Prompts.Messages[0].Text.endsWith("at least 4×4 px."));
        for (const char* line : {"\tBMP 24 bit\r\n\tBMP 32 bit with an alpha mask\r\n", "\tPNG paletted, grey, RGB",
                                 "\tTGA colour-mapped", "\tDDS DXT1, DXT3, DXT5,",
                                 "\tDXT1, DXT3, DXT5, 8888, 888, 565, 1555, 4444, 555, LUM8, PAL8, PAL4,\r\n"
                                 "each with or without mipmaps."}) {
            QVERIFY2(f.Prompts.Messages[0].Text.contains(QString::fromUtf8(line)), line);
        }
        QVERIFY(f.Prompts.Messages[1].Text.startsWith("Vellumcraft\r\nVersion 1.1\r\n"));
        QCOMPARE(f.Prompts.Urls.size(), size_t{2});
        QCOMPARE(f.Prompts.Urls[1].scheme(), QStringLiteral("mailto"));
        QVERIFY(f.Prompts.Urls[1].toString().endsWith("?subject=Vellumcraft 1.1"));
    }

    // Help › Licences, reached from the keyboard, shows the program's licence notice, the libraries
    // with theirs, and the whole GNU General Public License; the About box stays as it was.
    void LicencesShowTheProgramsAndItsLibrariesLicences() {
        Fixture f;
        QVERIFY(f.Show());
        QString libraries;
        QString licence;
        f.Prompts.NextDialogActions.push_back([&](QDialog& dialog) {
            const auto* librariesTab = dialog.findChild<QTextBrowser*>("Libraries");
            const auto* licenceTab = dialog.findChild<QPlainTextEdit*>("Licence");
            if (librariesTab != nullptr && licenceTab != nullptr) {
                libraries = librariesTab->toPlainText();
                licence = licenceTab->toPlainText();
            }
            QTest::keyClick(&dialog, Qt::Key_Escape);
            return dialog.result();
        });
        QTest::keyClick(&f.Window, Qt::Key_H, Qt::AltModifier);
        QMenu* help = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        QVERIFY(help != nullptr);
        QTest::keyClick(help, Qt::Key_L);
        QCOMPARE(f.Prompts.Dialogs.size(), size_t{1});
        QCOMPARE(f.Prompts.Dialogs[0].Title, QStringLiteral("Licences"));
        for (const char* text : {"either version 3 of the", "Qt 6", "LGPL-3.0", "libjpeg-turbo", "libpng", "zlib",
                                 "libsquish", "Simon Brown", "stb_dxt"}) {
            QVERIFY2(libraries.contains(QString::fromUtf8(text)), text);
        }
        QVERIFY(licence.startsWith("                    GNU GENERAL PUBLIC LICENSE\n"));
        QVERIFY(licence.contains("END OF TERMS AND CONDITIONS"));
    }

    // The caption and the About box's version line were fixed with the first version: a new version
    // number must be a deliberate choice about them, not a drift apart.
    void TheCaptionAndAboutNameTheProgramsVersion() {
        const QString version = QString::fromUtf8(kProgramVersion);
        QCOMPARE(kWindowCaption, "Vellumcraft " + version);
        QCOMPARE(kAboutVersionLine, "Version " + version);
    }

    void BoxTextsAreShownAsQtExpects() {
        const QString indent(8, QChar(0x00A0));
        QCOMPARE(DisplayText("Heading:\r\n\r\n=> \"a.bmp\":\r\n\tFile does not exist."),
                 "Heading:\n\n=> \"a.bmp\":\n" + indent + "File does not exist.");
    }

    void ShortcutsWorkOnlyWhileTheirCommandIsEnabled() {
        Fixture f;
        QVERIFY(f.Show());                                           // shortcuts reach the active window only
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);  // Build is disabled: no dialog
        QVERIFY(f.Prompts.Dialogs.empty());
        QTest::keyClick(&f.Window, Qt::Key_Insert);
        QCOMPARE(f.Prompts.Dialogs.size(), size_t{1});  // the Add dialog, cancelled
        f.Add({f.Paletted("a.bmp", 4, 4)});
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Dialogs.back().Filter, QStringLiteral("Texture Dictionaries (*.txd)|*.txd"));
        QTest::keyClick(&f.Window, Qt::Key_Delete);
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
    }

    void TitlesReachTheWindowSystemExactlyAsWritten() {
        Fixture f;
        QVERIFY(f.Show());
        QCOMPARE(test::TitleShown(f.Window), QStringLiteral("Vellumcraft 1.1"));

        // The boxes as the program shows them, through its own prompts.
        test::BoxesWindow shown(Q(f.Folder.File("boxes.ini")));
        TForm1& window = shown.Window;
        window.FormCreate({});
        window.show();
        window.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(TitleOfTheBoxOpenedBy([&] { QTest::keyClick(&window, Qt::Key_F1); }), QStringLiteral("Vellumcraft"));
        std::vector<uint8_t> broken =
            vc::test::MakePalettedBmp(16, 16, vc::test::GreyPalette(2), [](int, int) { return 0; });
        broken.resize(200);
        const QString brokenFile = Q(f.Folder.Write("broken.bmp", broken));
        QCOMPARE(TitleOfTheBoxOpenedBy([&] { window.WMDropFiles({brokenFile}); }), QStringLiteral("Vellumcraft"));
    }

    void AnAddLeavesTheBuildSuggestionAndItsFolderAlone() {
        Fixture f;
        QVERIFY(f.Show());
        const std::string list =
            "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + f.Paletted("a.bmp", 4, 4).toStdString() + "\r\n";
        f.Prompts.NextOpenFile.push_back(Q(f.Folder.WriteText("cars.txt", list)));
        f.Action("ImportList1")->trigger();
        vc::test::TempDir elsewhere;
        const QString chosen = Q(elsewhere.File("mine.txd"));
        f.Prompts.NextSaveFile.push_back(chosen);
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);
        QVERIFY(vc::IsExistingFile(chosen.toStdString()));

        f.Add({f.Paletted("b.bmp", 4, 4)});
        f.Window.WMDropFiles({f.Paletted("c.bmp", 4, 4)});
        QTest::mouseClick(f.Button("Button6"), Qt::LeftButton);  // the save dialog, cancelled
        QCOMPARE(f.Prompts.Dialogs.back().SelectedFile, chosen);
        f.Prompts.NextAnswers.push_back(true);  // the list is discarded
        f.Window.close();
        QCOMPARE(Q(LoadSettings(f.SettingsPath().toStdString()).Folders.Save), Q(elsewhere.Path().string()));
    }

    void EnterPressesTheFocusedButtonAndElsewhereAdd() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4)});
        const size_t dialogs = f.Prompts.Dialogs.size();
        // The keys go to the window, which hands them to the control with the focus.
        QWindow* window = f.Window.windowHandle();
        f.Button("Button3")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));  // Delete pressed
        QCOMPARE(f.Prompts.Dialogs.size(), dialogs);             // not Add

        f.Table()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(f.Prompts.Dialogs.size(), dialogs + 1);  // the Add dialog, cancelled

        f.Button("Button5")->setFocus(Qt::TabFocusReason);
        f.Prompts.NextAnswers.push_back(true);  // the list is discarded
        QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));  // Reset pressed
        QCOMPARE(f.Prompts.Dialogs.size(), dialogs + 1);
    }

    void OneRowStaysSelectedAndCommandsActOnIt() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4), f.Paletted("c.bmp", 4, 4)});
        f.ClickRow(3);
        QCOMPARE(f.SelectedRows(), std::vector<int>{3});
        f.ClickRow(3, Qt::ControlModifier);
        QCOMPARE(f.SelectedRows(), std::vector<int>{3});
        QVERIFY(f.DetailPanel().startsWith("Tex. 3: "));
        QTest::keyClick(f.Table(), Qt::Key_Space, Qt::ControlModifier);
        QCOMPARE(f.SelectedRows(), std::vector<int>{3});
        QTest::mouseClick(f.Table()->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(60, 200));  // below the rows
        QCOMPARE(f.SelectedRows(), std::vector<int>{3});
        QTest::keyClick(f.Table(), Qt::Key_Up, Qt::ControlModifier);
        QCOMPARE(f.SelectedRows(), std::vector<int>{f.Window.SelectedRow()});
        f.ClickRow(2, Qt::ControlModifier);
        QCOMPARE(f.SelectedRows(), std::vector<int>{2});
        QVERIFY(f.DetailPanel().startsWith("Tex. 2: "));
        QTest::mouseClick(f.Button("Button3"), Qt::LeftButton);
        QCOMPARE(f.Cell(0, 0), QStringLiteral("a"));
        QCOMPARE(f.Cell(1, 0), QStringLiteral("c"));
        QCOMPARE(f.SelectedRows(), std::vector<int>{2});
    }

    void TheSelectedRowStaysInSightThroughEdits() {
        Fixture f;
        QVERIFY(f.Show());
        QStringList files;
        for (int i = 0; i < 30; ++i) {
            files << f.Paletted("t" + std::to_string(i) + ".bmp", 4, 4);
        }
        f.Add(files);
        QTableView* table = f.Table();
        const auto selectedInSight = [&] {
            const QModelIndex selected = table->model()->index(f.Window.SelectedRow() - 1, 0);
            return table->selectionModel()->isRowSelected(selected.row()) &&
                   table->viewport()->rect().contains(table->visualRect(selected));
        };
        table->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f.Window.windowHandle(), Qt::Key_End, Qt::ControlModifier);
        QCOMPARE(f.Window.SelectedRow(), 30);
        QVERIFY(selectedInSight());
        QTest::mouseClick(f.Button("BtnUp"), Qt::LeftButton);
        QCOMPARE(f.Window.SelectedRow(), 29);
        QVERIFY(selectedInSight());
        QTest::mouseClick(f.Button("Button3"), Qt::LeftButton);
        QVERIFY(selectedInSight());
        f.Action("ByName1")->trigger();
        QVERIFY(selectedInSight());
    }

    // The window opens at its designed size, its smallest. Larger, the table grows and the buttons
    // keep their column at the right; the size, and a maximized state, come back in the next run.
    void TheWindowGrowsWithItsTableAndKeepsItsSize() {
        vc::test::TempDir folder;
        QSize grown;
        {
            Fixture f;
            QVERIFY(f.Show());
            QVERIFY(f.Window.windowHandle()->flags().testFlag(Qt::WindowMaximizeButtonHint));
            const QSize designed = f.Window.size();
            QCOMPARE(f.Window.minimumSize(), designed);
            grown = designed + QSize(200, 150);
            f.Window.resize(grown);
            QTRY_COMPARE(f.Window.size(), grown);
            QTRY_COMPARE(f.Table()->size(), QSize(417 + 200, 281 + 150));
            QCOMPARE(f.Button("Button6")->geometry(), QRect(424 + 200, 248, 73, 25));
            QCOMPARE(f.Button("BtnDown")->geometry(), QRect(464 + 200, 104, 33, 25));
            QVERIFY(f.Window.close());
            QCOMPARE(LoadSettings(f.SettingsPath().toStdString()).MainWindow,
                     (WindowSize{.Width = grown.width(), .Height = grown.height()}));
        }
        Fixture again({}, "[Window]\r\nwidth=" + std::to_string(grown.width()) +
                              "\r\nheight=" + std::to_string(grown.height()) + "\r\nmaximized=1\r\n");
        QCOMPARE(again.Window.size(), grown);
        QVERIFY(again.Window.windowState().testFlag(Qt::WindowMaximized));
        // Centred at that size, where it comes back to from the maximized state.
        const QRect screen = again.Window.screen()->availableGeometry();
        QVERIFY((again.Window.geometry().center() - screen.center()).manhattanLength() <= 2);
        Fixture small({}, "[Window]\r\nwidth=20\r\nheight=20\r\n");
        QCOMPARE(small.Window.size(), small.Window.minimumSize());
    }

    void TheEmptyListsRowIsBlankAndDisabled() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("a.bmp", 4, 4)});
        f.Prompts.NextAnswers.push_back(true);  // the list is discarded
        QTest::mouseClick(f.Button("Button5"), Qt::LeftButton);
        QTableView* table = f.Table();
        const QModelIndex blank = table->model()->index(0, 0);
        const QImage picture = table->viewport()->grab().toImage();
        const QColor base = table->palette().color(QPalette::Disabled, QPalette::Base);
        const QRect row = table->visualRect(blank).united(table->visualRect(table->model()->index(0, 3)));
        for (const QPoint point :
             {row.center(), QPoint(row.left() + 20, row.center().y()), row.topLeft() + QPoint(3, 3)}) {
            QCOMPARE(picture.pixelColor(point * picture.devicePixelRatio()), base);
        }
        QCOMPARE(table->model()->flags(blank), Qt::NoItemFlags);
        QVERIFY(table->selectionModel()->selectedIndexes().isEmpty());
    }

    // What the game will not take is told in the build's result box, and its rows are marked, with
    // the reasons in their tooltips, for as long as their entries stay as they were built.
    void BuildTellsWhatTheGameWillNotTakeAndMarksItsRows() {
        Fixture f;
        f.Action("pwr2lmt")->trigger();  // images of any side
        f.Add({f.Paletted("odd.bmp", 24, 8), f.Paletted("fine.bmp", 4, 4)});
        QVERIFY(ShowAwayFromThePointer(f));
        // A row is marked by a sign that shows; the others keep a blank of its size, or nothing.
        const auto marked = [&](int row) {
            const auto icon = qvariant_cast<QIcon>(f.Table()->model()->index(row - 1, 0).data(Qt::DecorationRole));
            const QImage sign = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
            for (int y = 0; y < sign.height(); ++y) {
                for (int x = 0; x < sign.width(); ++x) {
                    if (qAlpha(sign.pixel(x, y)) != 0) {
                        return true;
                    }
                }
            }
            return false;
        };
        QVERIFY(!marked(1));
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("odd.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Kind, MessageKind::Warning);
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Build TXD - Result"));
        const QString& report = f.Prompts.Messages[0].Text;
        QVERIFY2(report.startsWith("2 of 2 textures assembled sucessfully to odd.txd!\r\nSize of file: ") &&
                     report.contains(" KB\r\n\r\nGTA III will not take every texture as written:\r\n- odd: will "
                                     "look wrong: Its sides, 24 × 8, are not powers of two"),
                 qPrintable(report));
        QVERIFY(marked(1) && !marked(2));
        QVERIFY(ToolTipShownOn(f, 1));
        QTRY_VERIFY2(TextOf(QToolTip::text()).contains("[power-of-two]"), qPrintable(QToolTip::text()));
        QToolTip::hideText();

        // Sorted, the mark goes with its entry; changed, the entry is judged again only by the next
        // build; undone, it is as it was built.
        f.Action("ByName1")->trigger();
        QVERIFY(!marked(1) && marked(2));
        f.ClickRow(1);
        f.ClickRow(2, Qt::ControlModifier);
        f.AnswerOutputChoices(QStringLiteral("565"));
        QTest::keyClick(&f.Window, Qt::Key_F2);
        QVERIFY(!marked(2));
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QVERIFY(marked(2));

        // A dictionary the game takes whole gets the plain result, and no row stays marked.
        f.ClickRow(2);
        QTest::keyClick(&f.Window, Qt::Key_Delete);
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("fine.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Messages.back().Kind, MessageKind::Information);
        QVERIFY(!f.Prompts.Messages.back().Text.contains("will not take"));
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QVERIFY(!marked(1) && !marked(2));
    }

    // Many textures that break a rule for one reason share a line; lines are broken to fit a box;
    // beyond a dozen reasons the rows tell the rest.
    void FindingsAreGroupedByReasonAndBrokenIntoLines() {
        Verdict verdict{.Target = vc::Game::SanAndreas};
        std::vector<std::string> names;
        for (size_t i = 0; i < 8; ++i) {
            names.push_back("road" + std::to_string(i));
            verdict.Findings.push_back({i, "small-dxt-levels", vc::Severity::WillLookWrong, "Black from afar."});
        }
        for (size_t i = 0; i < 13; ++i) {
            verdict.Findings.push_back({0, "power-of-two", vc::Severity::WillLookWrong,
                                        "Reason " + std::to_string(i) + std::string(120, 'x') + " and so on."});
        }
        verdict.Findings.push_back({1, "mipmaps-missing", vc::Severity::WorthKnowing, "Only worth knowing."});
        // Met later, a second reason for the first rule: its line joins the rule's first.
        verdict.Findings.push_back(
            {2, "small-dxt-levels", vc::Severity::WillLookWrong, std::string(70, 'y') + " of 4 × 4 are black."});
        const QStringList lines = FailingFindingsText(verdict, names).split("\r\n");
        QCOMPARE(lines[0], QStringLiteral("San Andreas will not take every texture as written:"));
        QCOMPARE(lines[1], QStringLiteral("- road0, road1, road2, road3, road4 and 3 more: will look wrong: Black from "
                                          "afar. [small-dxt-levels]"));
        // A size is never broken.
        QCOMPARE(lines[2], "- road2: will look wrong: " + QString(70, 'y') + " of");
        QCOMPARE(lines[3], QStringLiteral("  4 × 4 are black. [small-dxt-levels]"));
        // A reason of one long word: the word stands alone, indented under the finding.
        QCOMPARE(lines[4], QStringLiteral("- road0: will look wrong: Reason"));
        QVERIFY(lines[5].startsWith("  0xxx") && lines[5].size() > 100);
        QCOMPARE(lines[6], QStringLiteral("  and so on. [power-of-two]"));
        QCOMPARE(lines.back(), QStringLiteral("... and 3 more, on the marked rows."));
        QVERIFY(!lines.join(' ').contains("Only worth knowing"));
        verdict.Findings = {{0, "mipmaps-missing", vc::Severity::WorthKnowing, "Only worth knowing."}};
        QCOMPARE(FailingFindingsText(verdict, names), QString());
    }

    void TheTooltipShowsTheTextureUnderThePointerWithItsAlphaOverACheckerboardAboveItsDetailText() {
        Fixture f;
        const auto red = [](int, int) { return RgbColour{255, 0, 0}; };
        const auto leftHalfClear = [](int x, int) { return static_cast<uint8_t>(x < 128 ? 0 : 1); };
        const std::string list =
            "[TXDList]\r\ncount=2\r\n[Texture1]\r\npath=" +
            f.Folder.Write("glass.bmp", vc::test::MakeTrueColourBmp(256, 64, red)) + "\r\nalphapath=" +
            f.Folder.Write("glassm.bmp", vc::test::MakePalettedBmp(256, 64, vc::test::GreyPalette(2), leftHalfClear)) +
            "\r\n[Texture2]\r\npath=" + f.Paletted("grass.bmp", 8, 8).toStdString() + "\r\n";
        f.Prompts.NextOpenFile.push_back(Q(f.Folder.WriteText("set.txt", list)));
        f.Action("ImportList1")->trigger();
        QVERIFY(ShowAwayFromThePointer(f));
        const QString detail = f.Table()->toolTip();
        QVERIFY2(detail.startsWith("[Texture 1] - 256 × 64 px; 32 bit\nName: glass (24bit)\n"), qPrintable(detail));

        // The tooltip describes the row under the pointer, a small texture enlarged whole times.
        QVERIFY(ToolTipShownOn(f, 2));
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("<img")));
        QVERIFY2(TextOf(QToolTip::text())
                     .startsWith(QChar(QChar::ObjectReplacementCharacter) +
                                 QStringLiteral("\n[Texture 2] - 8 × 8 px; 8 bit paletted\n")),
                 qPrintable(QToolTip::text()));
        QCOMPARE(PictureOf(QToolTip::text()).size(), QSize(128, 128));
        QToolTip::hideText();
        QTRY_VERIFY(ShownToolTip() == nullptr);
        QVERIFY(ToolTipShownOn(f, 1));
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("<img")));
        QCOMPARE(TextOf(QToolTip::text()), QChar(QChar::ObjectReplacementCharacter) + QStringLiteral("\n") + detail);
        const QImage picture = PictureOf(QToolTip::text());
        QCOMPARE(picture.size(), QSize(128, 32));
        int clearMisses = 0;
        int opaqueMisses = 0;
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < 60; ++x) {  // clear: the board in squares of 8, light at the top left
                const bool light = (x / kCheckerSquare + y / kCheckerSquare) % 2 == 0;
                clearMisses += picture.pixel(x, y) != (light ? kCheckerLight : kCheckerDark) ? 1 : 0;
            }
            for (int x = 68; x < picture.width(); ++x) {
                opaqueMisses += picture.pixel(x, y) != qRgb(255, 0, 0) ? 1 : 0;
            }
        }
        QCOMPARE(clearMisses, 0);
        QCOMPARE(opaqueMisses, 0);
        // The window shows the picture with the board through it.
        const QImage shown = ShownToolTip()->grab().toImage().convertToFormat(QImage::Format_RGB32);
        QVERIFY(Holds(shown, kCheckerDark));
        QVERIFY(Holds(shown, qRgb(255, 0, 0)));
        f.Snapshot(*ShownToolTip(), "texture-tooltip");
        QVERIFY(f.Prompts.Messages.empty());
    }

    void ThePictureIsDecodedOffTheWindowsThreadAndJoinsTheShownTooltip() {
        Fixture f;
        f.Add({f.TrueColour("wall.bmp", 64, 32)});
        QVERIFY(ShowAwayFromThePointer(f));
        // The pictures' one worker is kept busy, as by a big image: the window must not wait for it.
        auto* workers = f.Window.findChild<QThreadPool*>();
        QVERIFY(workers != nullptr);
        const auto busy = std::make_shared<QSemaphore>();
        workers->start([busy] { busy->acquire(); });
        const auto freeWorker = qScopeGuard([busy] { busy->release(); });

        QVERIFY(ToolTipShownOn(f, 1));
        QCOMPARE(QToolTip::text(), f.Table()->toolTip());  // the text alone while the picture is not decoded
        busy->release();
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("<img")));
        QCOMPARE(PictureOf(QToolTip::text()).size(), QSize(128, 64));  // enlarged twice to fit the frame
    }

    void AnImageSavedAgainShowsItsNewPictureOrThatItHasNone() {
        Fixture f;
        const auto solid = [](uint8_t red, uint8_t green, uint8_t blue) {
            return [=](int, int) { return RgbColour{red, green, blue}; };
        };
        const std::string wall = f.Folder.Write("wall.bmp", vc::test::MakeTrueColourBmp(16, 16, solid(255, 0, 0)));
        f.Add({Q(wall)});
        QVERIFY(ShowAwayFromThePointer(f));
        QVERIFY(ToolTipShownOn(f, 1));
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("<img")));
        QCOMPARE(PictureOf(QToolTip::text()).pixel(4, 4), qRgb(255, 0, 0));
        QToolTip::hideText();
        QTRY_VERIFY(ShownToolTip() == nullptr);

        const auto saved = std::filesystem::last_write_time(wall);
        f.Folder.Write("wall.bmp", vc::test::MakeTrueColourBmp(16, 16, solid(0, 0, 255)));
        std::filesystem::last_write_time(wall, saved + std::chrono::seconds(2));
        QVERIFY(ToolTipShownOn(f, 1));
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("<img")) &&
                    PictureOf(QToolTip::text()).pixel(4, 4) == qRgb(0, 0, 255));
        QToolTip::hideText();
        QTRY_VERIFY(ShownToolTip() == nullptr);

        // Saved again as something that is no picture: the tooltip says so above its detail text.
        f.Folder.WriteText("wall.bmp", "no longer a bitmap");
        std::filesystem::last_write_time(wall, saved + std::chrono::seconds(4));
        QVERIFY(ToolTipShownOn(f, 1));
        QTRY_VERIFY(QToolTip::text().contains(QStringLiteral("No preview")));
        QCOMPARE(TextOf(QToolTip::text()), "No preview\n" + f.Table()->toolTip());
        QVERIFY(PictureOf(QToolTip::text()).isNull());
        QVERIFY(f.Prompts.Messages.empty());
    }

    void VersionIsPrintedWithoutStartingTheWindowSystem() {
        QProcess program;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        // Without a display the program could not open a window: it must not try.
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
            environment.remove(QString::fromLatin1(name));
        }
        program.setProcessEnvironment(environment);
        program.start(QStringLiteral(VELLUMCRAFT_APP), {QStringLiteral("--version")});
        QVERIFY(program.waitForFinished(10000));
        QCOMPARE(program.exitStatus(), QProcess::NormalExit);
        QCOMPARE(program.exitCode(), 0);
        // Written as text, with the line end of the platform's text files.
#ifdef Q_OS_WIN
        const QByteArray lineEnd = "\r\n";
#else
        const QByteArray lineEnd = "\n";
#endif
        QCOMPARE(program.readAllStandardOutput(),
                 "vellumcraft " + QByteArray(kProgramVersion.data(), static_cast<qsizetype>(kProgramVersion.size())) +
                     lineEnd);
    }
};

}  // namespace vc::gui

QTEST_MAIN(vc::gui::MainWindowTest)
#include "main_window_test.moc"
