// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <functional>
#include <vector>

#include "gui_fixture.h"
#include "image_files.h"
#include "ops/settings.h"
#include "rw/txd_reader.h"
#include "texture_settings_dialog.h"

namespace vc::gui {

namespace {

using test::Q;
using Fixture = test::WindowFixture;

// The list as the table holds it: each entry's name, with "+" where it has alpha.
QString Names(const Fixture& f) {
    QStringList names;
    for (int row = 0; row < f.Table()->model()->rowCount(); ++row) {
        const QString name = f.Cell(row, 0);
        names << name + (f.Cell(row, 1).isEmpty() ? "" : "+");
    }
    return names.join(' ');
}

}  // namespace

class ListEditsTest : public QObject {
    Q_OBJECT

  private slots:
    // Every kind of edit is one step back with Ctrl+Z and forth with Ctrl+Y or Ctrl+Shift+Z, named
    // in the Edit menu, and the table's model keeps its contract through all of them.
    void EveryEditIsUndoneAndRedoneAsOneStep() {
        Fixture f;
        QVERIFY(f.Show());
        QAbstractItemModelTester tester(f.Table()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        const QString list = Q(f.Folder.WriteText(
            "more.txt", "[TXDList]\r\ncount=2\r\n[Texture1]\r\npath=" + f.Paletted("d.bmp", 4, 4).toStdString() +
                            "\r\n[Texture2]\r\npath=" + f.TrueColour("e.bmp", 4, 4).toStdString() +
                            "\r\nalphapath=" + f.Paletted("e_m.bmp", 4, 4).toStdString() + "\r\nalpha=e_m\r\n"));
        struct Step {
            const char* Edit;  // as the Undo item names it
            std::function<void()> Do;
        };
        const std::vector<Step> steps = {
            {"Adding Files",
             [&] {
                 f.Add({f.Paletted("c.bmp", 4, 4), f.Paletted("a.bmp", 8, 8)});
             }},
            {"Drag & Drop Files", [&] { f.Window.WMDropFiles({f.Paletted("b.bmp", 4, 4)}); }},
            {"Import List",
             [&] {
                 f.Prompts.NextOpenFile.push_back(list);
                 f.Action("ImportList1")->trigger();
             }},
            {"Sort", [&] { f.Action("ByName1")->trigger(); }},
            {"Move",
             [&] {
                 f.Window.SelectRow(2);
                 QTest::mouseClick(f.Button("BtnDown"), Qt::LeftButton);
             }},
            {"Clear Alpha",
             [&] {
                 f.Window.SelectRow(5);
                 QTest::mouseClick(f.Button("Button4"), Qt::LeftButton);
             }},
            {"Change",
             [&] {
                 f.Window.SelectRow(1);
                 f.Prompts.NextDialogActions.push_back([](QDialog& dialog) {
                     auto& form = static_cast<TForm2&>(dialog);
                     QLineEdit* name = form.findChild<QLineEdit*>(QStringLiteral("edtTex"));
                     name->selectAll();
                     QTest::keyClicks(name, QStringLiteral("renamed"));
                     QTest::mouseClick(form.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
                     return form.result();
                 });
                 QTest::keyClick(&f.Window, Qt::Key_F2);
             }},
            {"Delete",
             [&] {
                 f.Window.SelectRow(3);
                 QTest::keyClick(&f.Window, Qt::Key_Delete);
             }},
        };
        QStringList states = {Names(f)};
        for (const Step& step : steps) {
            step.Do();
            QVERIFY2(Names(f) != states.back(), step.Edit);
            states << Names(f);
            // An "&" of the command's name shows as itself, not as the mark of a menu key.
            QCOMPARE(f.Action("Undo1")->text(), "&Undo " + QString::fromUtf8(step.Edit).replace('&', "&&"));
        }
        QCOMPARE(states.back(), QStringLiteral("renamed c d e"));
        for (qsizetype i = states.size() - 1; i > 0; --i) {
            QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
            QCOMPARE(Names(f), states[i - 1]);
        }
        QVERIFY(!f.Action("Undo1")->isEnabled());
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        for (qsizetype i = 1; i < states.size(); ++i) {
            QTest::keyClick(&f.Window, i % 2 ? Qt::Key_Y : Qt::Key_Z,
                            i % 2 ? Qt::ControlModifier : Qt::ControlModifier | Qt::ShiftModifier);
            QCOMPARE(Names(f), states[i]);
        }
        QVERIFY(!f.Action("Redo1")->isEnabled());
    }

    // The caption names the list's dictionary and marks changes not yet saved; the program's own
    // caption stays while the list is new and empty. Reset and Exit ask before changes are lost.
    void TheCaptionMarksUnsavedChangesAndDiscardingThemIsAsked() {
        Fixture f;
        QVERIFY(f.Show());
        QCOMPARE(test::TitleShown(f.Window), QStringLiteral("Vellumcraft 1.1"));
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4)});
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 *"));
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("cars.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(test::TitleShown(f.Window), QStringLiteral("Vellumcraft 1.1 - cars.txd"));
        QTest::keyClick(&f.Window, Qt::Key_Delete);
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 - cars.txd *"));
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);  // back to what was saved
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 - cars.txd"));
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);  // where it was saved stays
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 - cars.txd *"));
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));

        QTest::keyClick(&f.Window, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 - cars.txd"));
        QTest::keyClick(&f.Window, Qt::Key_Y, Qt::ControlModifier);
        const size_t asked = f.Prompts.Messages.size();
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);  // answered No
        QCOMPARE(f.Prompts.Messages.size(), asked + 1);
        QCOMPARE(f.Prompts.Messages.back().Text, QStringLiteral("Discard the changes to the list?"));
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QVERIFY(!f.Window.close());
        QVERIFY(f.Window.isVisible());
        f.Prompts.NextAnswers.push_back(true);
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QCOMPARE(test::TitleShown(f.Window), QStringLiteral("Vellumcraft 1.1"));
        QVERIFY(!f.Action("Undo1")->isEnabled());
        QVERIFY(f.Window.close());                       // nothing to lose: not asked
        QCOMPARE(f.Prompts.Messages.size(), asked + 3);  // Reset, Exit, Reset
    }

    // Shift, Ctrl and Ctrl+A select several rows; Move takes them along as a block, Change sets their
    // output choices in one dialog, Delete removes them all; each is one step to undo.
    void SeveralRowsAreSelectedAndEditedTogether() {
        Fixture f;
        QVERIFY(f.Show());
        QAbstractItemModelTester tester(f.Table()->model(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4), f.Paletted("c.bmp", 4, 4),
               f.Paletted("d.bmp", 4, 4), f.Paletted("e.bmp", 4, 4)});
        f.ClickRow(2);
        f.ClickRow(4, Qt::ShiftModifier);
        QCOMPARE(f.SelectedRows(), std::vector<int>({2, 3, 4}));
        f.ClickRow(3, Qt::ControlModifier);
        QCOMPARE(f.SelectedRows(), std::vector<int>({2, 4}));
        QTest::keyClick(f.Table(), Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(f.SelectedRows(), std::vector<int>({1, 2, 3, 4, 5}));
        QVERIFY(!f.Button("BtnUp")->isEnabled());
        f.ClickRow(2);
        f.ClickRow(3, Qt::ShiftModifier);

        QTest::mouseClick(f.Button("BtnDown"), Qt::LeftButton);
        QCOMPARE(Names(f), QStringLiteral("a d b c e"));
        QCOMPARE(f.SelectedRows(), std::vector<int>({3, 4}));

        f.AnswerOutputChoices(QStringLiteral("DXT1"), true);
        QTest::keyClick(&f.Window, Qt::Key_F2);
        QCOMPARE(f.Prompts.Dialogs.back().Title, QStringLiteral("Change 2 Textures"));
        const QStringList formats = {f.Cell(1, 3), f.Cell(2, 3), f.Cell(3, 3)};
        QCOMPARE(formats, QStringList({"8bit paletted", "DXT1 + mips", "DXT1 + mips"}));
        QCOMPARE(Names(f), QStringLiteral("a d b c e"));
        QCOMPARE(f.SelectedRows(), std::vector<int>({3, 4}));
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.Cell(2, 3), QStringLiteral("8bit paletted"));
        QTest::keyClick(&f.Window, Qt::Key_Y, Qt::ControlModifier);

        f.ClickRow(1);
        f.ClickRow(3, Qt::ControlModifier);
        QTest::keyClick(&f.Window, Qt::Key_Delete);
        QCOMPARE(Names(f), QStringLiteral("d c e"));
        QCOMPARE(f.Cell(1, 3), QStringLiteral("DXT1 + mips"));
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(Names(f), QStringLiteral("a d b c e"));
    }

    // Where the selected textures differ, Change offers to keep what each has and sets only what
    // the user changes.
    void ChangeKeepsWhatEachTextureHasWhereTheyDiffer() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4)});
        const auto change = [&](const std::function<void(QDialog&)>& user) {
            f.Prompts.NextDialogActions.push_back([user](QDialog& dialog) {
                user(dialog);
                QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Apply")), Qt::LeftButton);
                return dialog.result();
            });
            QTest::keyClick(&f.Window, Qt::Key_F2);
        };
        f.Prompts.NextDialogActions.push_back([](QDialog& dialog) {
            auto* format = dialog.findChild<QComboBox*>(QStringLiteral("cbxFormat"));
            format->setCurrentIndex(format->findText(QStringLiteral("DXT1")));
            QTest::mouseClick(dialog.findChild<QPushButton*>(QStringLiteral("Button2")), Qt::LeftButton);
            return dialog.result();
        });
        QTest::keyClick(&f.Window, Qt::Key_F2);  // the first texture alone, in the texture settings
        QCOMPARE(f.Cell(0, 3), QStringLiteral("DXT1"));
        QTest::keyClick(f.Table(), Qt::Key_A, Qt::ControlModifier);
        QString shownFormat;
        Qt::CheckState shownMipmaps = Qt::Unchecked;
        change([&](QDialog& dialog) {
            shownFormat = dialog.findChild<QComboBox*>(QStringLiteral("cbxFormat"))->currentText();
            auto* mipmaps = dialog.findChild<QCheckBox*>(QStringLiteral("cbxMipmaps"));
            shownMipmaps = mipmaps->checkState();
            mipmaps->setCheckState(Qt::Checked);
        });
        QCOMPARE(shownFormat, QStringLiteral("Keep each"));
        QCOMPARE(shownMipmaps, Qt::Unchecked);  // alike: shown as they are
        QCOMPARE(QStringList({f.Cell(0, 3), f.Cell(1, 3)}), QStringList({"DXT1 + mips", "8bit paletted + mips"}));
    }

    // The defaults for new textures are chosen under Options, given to the images added after, and
    // kept for the next run; a list's entries keep what the list says.
    void NewImagesGetTheDefaultsChosenUnderOptions() {
        Fixture f;
        QVERIFY(f.Show());
        f.AnswerOutputChoices(QStringLiteral("565"));
        f.Action("NewTextureDefaults")->trigger();
        QCOMPARE(f.Prompts.Dialogs.back().Title, QStringLiteral("Defaults for New Textures"));
        f.Add({f.TrueColour("new.bmp", 4, 4),
               Q(f.Folder.WriteText("listed.txt", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" +
                                                      f.TrueColour("listed.bmp", 4, 4).toStdString() + "\r\n"))});
        QCOMPARE(QStringList({f.Cell(0, 3), f.Cell(1, 3)}), QStringList({"565", "32bit"}));
        f.Prompts.NextDialogActions.push_back([](QDialog& dialog) {
            dialog.reject();
            return dialog.result();
        });
        f.Action("NewTextureDefaults")->trigger();  // cancelled: the defaults stay
        f.Window.WMDropFiles({f.TrueColour("later.bmp", 4, 4)});
        QCOMPARE(f.Cell(2, 3), QStringLiteral("565"));
        f.Prompts.NextAnswers.push_back(true);
        QVERIFY(f.Window.close());
        QCOMPARE(LoadSettings(f.SettingsPath().toStdString()).NewTextures.Format, TextureFormat::C565);
    }

    // A click on a column's header sorts by that column in the direction the Sort menu marks, as
    // one step to undo; Tab leaves the table for the buttons.
    void AHeaderClickSortsByItsColumnAndTabLeavesTheTable() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("b.bmp", 16, 16), f.Paletted("c.bmp", 4, 4), f.Paletted("a.bmp", 8, 8)});
        QHeaderView* header = f.Table()->horizontalHeader();
        const auto clickHeader = [&](int column) {
            QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                              QPoint(header->sectionViewportPosition(column) + 5, header->height() / 2));
        };
        clickHeader(2);
        QCOMPARE(Names(f), QStringLiteral("c a b"));
        f.Action("Descending1")->trigger();
        clickHeader(0);
        QCOMPARE(Names(f), QStringLiteral("c b a"));
        QCOMPARE(f.Action("Undo1")->text(), QStringLiteral("&Undo Sort"));

        f.Table()->setFocus(Qt::TabFocusReason);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), f.Button("Button1"));
    }

    // An image's own alpha is shown as the mask the build writes, and Clear Alpha leaves it out of
    // the build: the texture is then written opaque, as 888 without a mask.
    void AnImagesOwnAlphaIsShownAndCleared() {
        Fixture f;
        QVERIFY(f.Show());
        std::vector<uint16_t> samples;
        for (int i = 0; i < 16; ++i) {
            samples.insert(samples.end(), {200, 100, 50, static_cast<uint16_t>(i * 16)});
        }
        const QString png = Q(
            f.Folder.Write("glass.png", vc::test::MakePng({.Colour = vc::test::PngColour::Rgba, .Samples = samples})));
        f.Add({png, f.TrueColour("plain.bmp", 4, 4)});
        QCOMPARE(QStringList({f.Cell(0, 1), f.Cell(1, 1)}), QStringList({"glassa", ""}));
        QVERIFY(f.Table()->toolTip().contains("32 bit with alpha"));
        QVERIFY(f.DetailPanel().endsWith("; its own alpha"));
        QVERIFY(f.Button("Button4")->isEnabled());
        QTest::mouseClick(f.Button("Button4"), Qt::LeftButton);
        QCOMPARE(f.Cell(0, 1), QString());
        QVERIFY(!f.Button("Button4")->isEnabled());
        QVERIFY(!f.Table()->toolTip().contains("with alpha"));

        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("out.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        const std::vector<TxdTexture> textures = ReadTxd(vc::test::ReadBytes(f.Folder.File("out.txd"))).Textures;
        QCOMPARE(textures.size(), size_t{2});
        QVERIFY(!textures[0].HasAlpha());
        QCOMPARE(textures[0].MaskName, std::string());
        QCOMPARE(textures[0].Format, std::optional(TextureFormat::C888));
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.Cell(0, 1), QStringLiteral("glassa"));
    }

    // Cancelling a dictionary's opening leaves the list as unsaved as it was; a list emptied by undo
    // is new again. A button that moves its texture to the end hands the focus to the table.
    void ACancelledOpeningKeepsTheListUnsavedAndFocusStaysInPlace() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4)});
        const QString list = Q(f.Folder.WriteText(
            "one.txt", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + f.Paletted("c.bmp", 4, 4).toStdString()));
        QCOMPARE(test::RunCommandLine({"build", "-o", f.Folder.File("d.txd"), list.toStdString()}), 0);
        f.Prompts.NextChoices.push_back(QStringLiteral("Start a new list"));
        f.Prompts.CancelAtReport = f.Prompts.ProgressReports.size();
        f.Window.OpenDictionary(Q(f.Folder.File("d.txd")));
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 *"));
        f.Prompts.CancelAtReport.reset();

        f.Window.SelectRow(1);
        f.Button("BtnDown")->setFocus(Qt::TabFocusReason);
        QTest::keyClick(f.Button("BtnDown"), Qt::Key_Space);
        QCOMPARE(f.Cell(1, 0), QStringLiteral("a"));
        QCOMPARE(QApplication::focusWidget(), f.Table());

        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QTest::keyClick(&f.Window, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1"));
        const size_t asked = f.Prompts.Messages.size();
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Messages.size(), asked);  // nothing to lose: not asked
    }

    // A cancelled command leaves nothing to undo.
    void ACancelledCommandIsNoStep() {
        Fixture f;
        f.Prompts.CancelAtReport = 1;
        f.Add({f.Paletted("a.bmp", 4, 4), f.Paletted("b.bmp", 4, 4)});
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QVERIFY(!f.Action("Undo1")->isEnabled());
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1"));
    }
};

}  // namespace vc::gui

QTEST_MAIN(vc::gui::ListEditsTest)
#include "list_edits_test.moc"
