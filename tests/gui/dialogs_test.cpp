#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <cstdlib>

#include "dff_check_window.h"
#include "gui_fixture.h"
#include "image_files.h"
#include "io/file_io.h"
#include "model_chunks.h"
#include "texture_settings_dialog.h"

namespace vc::gui {

namespace {

using test::Q;

// A main window with a way to act inside the dialogs it opens.
struct Fixture : test::WindowFixture {
    // Opens Change on the selected row and runs the user's part inside the dialog.
    void Change(const std::function<void(TForm2&)>& user) {
        Prompts.NextDialogActions.push_back([user](QDialog& dialog) {
            auto& form = static_cast<TForm2&>(dialog);
            user(form);
            return form.result();
        });
        Window.findChild<QAction*>("Change1")->trigger();
    }
};

template <typename Widget>
Widget* Child(QWidget& parent, const char* name) {
    return parent.findChild<Widget*>(name);
}

void Click(QWidget& dialog, const char* button) {
    Child<QPushButton>(dialog, button)->click();
}

}  // namespace

class DialogsTest : public QObject {
    Q_OBJECT

  private slots:
    void ChangeShowsTheEntryAndStartsWithApplyDisabled() {
        Fixture f;
        f.Add({f.Paletted("a.bmp", 8, 8), f.Paletted("b.bmp", 8, 8), f.TrueColour("wall.bmp", 64, 64)});
        f.Window.SelectRow(3);
        f.Change([&](TForm2& d) {
            QCOMPARE(d.windowTitle(), QStringLiteral("Change Texture 3"));
            QCOMPARE(Child<QLineEdit>(d, "edtTex")->text(), QStringLiteral("wall"));
            QVERIFY(Child<QPushButton>(d, "btnTex")->text().endsWith("wall.bmp"));
            QCOMPARE(Child<QLabel>(d, "lblTex")->text(), QStringLiteral("Selected texture: 64 × 64; 24bit"));
            QVERIFY(!Child<QPushButton>(d, "Button2")->isEnabled());
            QVERIFY(!Child<QCheckBox>(d, "cbxAlpha")->isChecked());
            QVERIFY(!Child<QLineEdit>(d, "edtAlpha")->isEnabled());
            QVERIFY(!Child<QPushButton>(d, "BtnAlpha")->isEnabled());
            QCOMPARE(Child<QLabel>(d, "lblAlpha")->text(), QStringLiteral("No alpha selected"));
            QCOMPARE(Child<QPushButton>(d, "BtnAlpha")->text(), QStringLiteral("No alpha selected"));
            QTest::keyClick(Child<QLineEdit>(d, "edtTex"), Qt::Key_X);
            QTest::keyClick(Child<QLineEdit>(d, "edtTex"), Qt::Key_Backspace);
            QVERIFY(Child<QPushButton>(d, "Button2")->isEnabled());
            Click(d, "Button3");
            QVERIFY(!Child<QPushButton>(d, "Button2")->isEnabled());
            f.Snapshot(d, "texture-settings");
            d.reject();
        });
        QCOMPARE(f.Entry(2).TexName, "wall");
    }

    void ApplyChecksNamesAndAlphaInOrder() {
        Fixture f;
        f.Add({f.TrueColour("wall.bmp", 16, 16)});
        const QString wrongSize = f.Paletted("small.bmp", 8, 8);
        const QString mask = f.Paletted("mask.bmp", 16, 16);
        f.Change([&](TForm2& d) {
            auto* name = Child<QLineEdit>(d, "edtTex");
            auto* alpha = Child<QLineEdit>(d, "edtAlpha");
            name->setText("  ");
            Click(d, "Button2");
            name->setText("wall");
            Child<QCheckBox>(d, "cbxAlpha")->click();
            Click(d, "Button2");
            alpha->setText(" wall ");
            Click(d, "Button2");
            alpha->setText("Wall");
            Click(d, "Button2");  // no alpha image yet: the picker opens, cancelled
            f.Prompts.NextOpenFile.push_back(wrongSize);
            Click(d, "BtnAlpha");
            QCOMPARE(Child<QLabel>(d, "lblAlpha")->text(), QStringLiteral("Selected alpha: 8 × 8; 8bit paletted"));
            Click(d, "Button2");
            f.Prompts.NextOpenFile.push_back(mask);
            Click(d, "BtnAlpha");
            Click(d, "Button2");
            QCOMPARE(d.result(), int(QDialog::Accepted));
        });
        QCOMPARE(
            f.MessageTexts(),
            QStringList({"Texture name is empty!", "Alpha name is empty!", "Texture and alpha name can't be identical!",
                         "No alpha texture selected!", "Both image files must have the same dimensions!"}));
        const TTexFile& entry = f.Entry(0);
        QVERIFY(entry.HasAlpha);
        QCOMPARE(entry.AlphaName, "Wall");
        QCOMPARE(Q(entry.AlphaPath), mask);
        QCOMPARE(f.Window.findChild<QTableView*>("Table")->model()->index(0, 1).data().toString(), "Wall");
    }

    void AlphaDeeperThanTheTextureIsRefusedAtApply() {
        Fixture f;
        f.Add({f.Paletted("leaf.bmp", 16, 16)});
        const QString deep = f.TrueColour("deep.bmp", 16, 16);
        f.Change([&](TForm2& d) {
            Child<QCheckBox>(d, "cbxAlpha")->click();
            f.Prompts.NextOpenFile.push_back(deep);
            Click(d, "BtnAlpha");
            QCOMPARE(Child<QLineEdit>(d, "edtAlpha")->text(), QStringLiteral("deep"));
            Click(d, "Button2");
            QCOMPARE(d.result(), int(QDialog::Rejected));
        });
        QCOMPARE(f.MessageTexts(),
                 QStringList({"The alpha image can't have more bits per pixel than the texture image!"}));
        QVERIFY(!f.Entry(0).HasAlpha);
    }

    void PickedImagesGoThroughIntakeWithTheWindowsOption() {
        Fixture f;
        f.Add({f.Paletted("old.bmp", 8, 8)});
        const QString odd = f.Paletted("odd.bmp", 12, 20);
        const QString fresh = f.TrueColour("fresh.bmp", 32, 16);
        f.Change([&](TForm2& d) {
            f.Prompts.NextOpenFile.push_back(odd);
            Click(d, "btnTex");
            QCOMPARE(Child<QLabel>(d, "lblTex")->text(), QStringLiteral("Selected texture: 8 × 8; 8bit paletted"));
            QVERIFY(!Child<QPushButton>(d, "Button2")->isEnabled());
            f.Prompts.NextOpenFile.push_back(fresh);
            Click(d, "btnTex");
            QCOMPARE(Child<QLineEdit>(d, "edtTex")->text(), QStringLiteral("old"));  // a name is kept
            Child<QLineEdit>(d, "edtTex")->clear();
            f.Prompts.NextOpenFile.push_back(fresh);
            Click(d, "btnTex");
            QCOMPARE(Child<QLineEdit>(d, "edtTex")->text(), QStringLiteral("fresh"));
            Click(d, "Button2");
        });
        QCOMPARE(f.MessageTexts(), QStringList({"This image file has an unsupported format!"}));
        QCOMPARE(f.Entry(0).TexName, "fresh");
        QCOMPARE(f.Entry(0).TexInfo, (TImageInfo{.Height = 16, .Width = 32, .Depth = 32}));

        f.Window.findChild<QAction*>("pwr2lmt")->trigger();
        f.Change([&](TForm2& d) {
            f.Prompts.NextOpenFile.push_back(odd);
            Click(d, "btnTex");
            QCOMPARE(Child<QLabel>(d, "lblTex")->text(), QStringLiteral("Selected texture: 12 × 20; 8bit paletted"));
            d.reject();
        });
        QCOMPARE(f.Entry(0).TexName, "fresh");  // cancelled: unchanged
    }

    void NamesAreLimitedWhileTypingOnly() {
        Fixture f;
        f.Add({f.Paletted("a_texture_name_well_beyond_thirty_one.bmp", 8, 8)});
        f.Change([&](TForm2& d) {
            auto* name = Child<QLineEdit>(d, "edtTex");
            QCOMPARE(name->text().size(), 37);
            QTest::keyClick(name, Qt::Key_End);
            QTest::keyClick(name, Qt::Key_Z);
            QCOMPARE(name->text().size(), 37);
            QTest::keyClick(name, Qt::Key_Backspace);
            QCOMPARE(name->text().size(), 36);
            name->clear();
            QTest::keyClicks(name, QString(40, 'k'));
            QCOMPARE(name->text().size(), 31);
            d.reject();
        });
    }

    void UncheckingAlphaRemovesItAndTheWindowBuildsWhatTheCommandLineBuilds() {
        Fixture f;
        const QString list = Q(f.Folder.WriteText(
            "set.txt", "[TXDList]\r\ncount=2\r\n[Texture1]\r\nname=glass\r\npath=" +
                           f.TrueColour("glass.bmp", 8, 8).toStdString() +
                           "\r\nalpha=glassmask\r\nalphapath=" + f.Paletted("glassmask.bmp", 8, 8).toStdString() +
                           "\r\n[Texture2]\r\nname=rim\r\npath=" + f.Paletted("rim.bmp", 8, 8).toStdString() + "\r\n"));
        f.Prompts.NextOpenFile.push_back(list);
        f.Window.ImportTextureList();
        f.Change([&](TForm2& d) {
            Child<QLineEdit>(d, "edtTex")->setText("window");
            Child<QCheckBox>(d, "cbxAlpha")->click();
            Click(d, "Button2");
        });
        QVERIFY(!f.Entry(0).HasAlpha);
        QCOMPARE(f.Entry(0).AlphaName, "");
        QCOMPARE(f.Entry(0).AlphaPath, "");
        f.Window.SelectRow(2);
        const QString mask = f.Paletted("rimmask.bmp", 8, 8);
        f.Change([&](TForm2& d) {
            Child<QCheckBox>(d, "cbxAlpha")->click();
            f.Prompts.NextOpenFile.push_back(mask);
            Click(d, "BtnAlpha");
            Click(d, "Button2");
        });
        const QString out = Q(f.Folder.File("window.txd"));
        f.Prompts.NextSaveFile.push_back(out);
        f.Window.BuildTxd();

        const std::string edited = f.Folder.WriteText(
            "edited.txt", "[TXDList]\r\ncount=2\r\n[Texture1]\r\nname=window\r\npath=" + f.Entry(0).TexPath +
                              "\r\n[Texture2]\r\nname=rim\r\npath=" + f.Entry(1).TexPath +
                              "\r\nalpha=rimmask\r\nalphapath=" + mask.toStdString() + "\r\n");
        const std::string cliOut = f.Folder.File("cli.txd");
        const std::string command =
            std::string(VELLUMCRAFT_CLI) + " build -o '" + cliOut + "' '" + edited + "' >/dev/null";
        QCOMPARE(std::system(command.c_str()), 0);
        QCOMPARE(vc::test::ReadBytes(out.toStdString()), vc::test::ReadBytes(cliOut));
    }

    void DffCheckShowsTheModelsTexturesAndLeadsToAdd() {
        Fixture f;
        f.Add({f.Paletted("wheel.bmp", 8, 8)});
        using namespace vc::test;
        const std::string model = f.Folder.Write(
            "car.dff", Chunk(16, Join({Chunk(7, Texture({"Wheel"})), Chunk(7, Texture({"rim", "rim_a"}))})));
        f.Prompts.NextOpenFile.push_back(Q(model));
        const auto user = [&](TForm3& window) {
            QCOMPARE(window.windowTitle(), QStringLiteral("DFF Texture Check - car.dff"));
            auto* result = Child<QLabel>(window, "lblResult");
            QCOMPARE(result->text(), QStringLiteral("1 textures are missing!"));
            QCOMPARE(result->palette().color(QPalette::WindowText), QColor(255, 176, 0));
            auto* rows = Child<QListWidget>(window, "lbx");
            QCOMPARE(rows->count(), 2);
            QCOMPARE(rows->item(0)->text(), QStringLiteral("rim; rim_a"));
            QCOMPARE(rows->item(1)->text(), QStringLiteral("Wheel"));
            QVERIFY(window.DFFTexList()[1].TexFound);
            QVERIFY(!window.DFFTexList()[0].TexFound);
            f.Snapshot(window, "dff-check");
            Click(window, "Button1");
        };
        f.Prompts.NextDialogActions.push_back([&](QDialog& dialog) {
            user(static_cast<TForm3&>(dialog));
            return dialog.result();
        });
        f.Window.findChild<QAction*>("DFFCheck1")->trigger();
        QCOMPARE(f.Prompts.Dialogs[f.Prompts.Dialogs.size() - 3].Filter, QStringLiteral("Model Files (*.dff)|*.dff"));
        QCOMPARE(f.Prompts.Dialogs.back().Filter.left(19), QStringLiteral("All Supported Files"));  // Add opened
        QVERIFY(f.Prompts.Urls.empty());  // no log without dfflog
    }

    void EnterOnTheListClosesTheCheckWindowLikeClose() {
        Fixture f;
        const std::string model = f.Folder.Write("m.dff", vc::test::Chunk(16, vc::test::Texture({"a"})));
        f.Prompts.NextOpenFile.push_back(Q(model));
        int result = -1;
        f.Prompts.NextDialogActions.push_back([&](QDialog& dialog) {
            dialog.show();
            QTest::keyClick(dialog.findChild<QListWidget*>("lbx"), Qt::Key_Return);
            result = dialog.result();
            return result;
        });
        f.Window.RunDFFCheck();
        QCOMPARE(result, int(QDialog::Rejected));
        QCOMPARE(f.Prompts.Dialogs.size(), size_t{2});  // the model dialog and the window: no Add dialog
    }

    void DffCheckWritesTheLogWhenSwitchedOnAndReportsUnreadableModels() {
        vc::test::TempDir folder;
        const std::string ini = folder.WriteText("Vellumcraft.ini", "[Options]\r\ndfflog=1\r\n");
        test::TestPrompts prompts;
        TForm1 window(prompts, Q(ini));
        window.FormCreate({});
        const std::string model = folder.Write("empty.dff", vc::test::Chunk(16, {}));
        prompts.NextOpenFile.push_back(Q(model));
        window.RunDFFCheck();
        QCOMPARE(prompts.Urls.size(), size_t{1});
        QCOMPARE(prompts.Urls[0].toLocalFile(), Q(folder.File("dfflog.txt")));
        QVERIFY(vc::IsExistingFile(folder.File("dfflog.txt")));

        prompts.NextOpenFile.push_back(Q(folder.File("gone.dff")));
        const size_t dialogs = prompts.Dialogs.size();
        window.RunDFFCheck();
        QCOMPARE(prompts.Messages.back().Kind, MessageKind::Error);
        QVERIFY(prompts.Messages.back().Text.contains("gone.dff"));
        QCOMPARE(prompts.Dialogs.size(), dialogs + 1);  // the file dialog only, no window
    }
};

}  // namespace vc::gui

QTEST_MAIN(vc::gui::DialogsTest)
#include "dialogs_test.moc"
