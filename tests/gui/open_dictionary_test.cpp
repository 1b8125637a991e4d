#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <filesystem>

#include "dialog_prompts.h"
#include "gui_fixture.h"
#include "io/file_io.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"
#include "txd_chunks.h"

namespace vc::gui {

namespace {

using test::Q;
using Fixture = test::WindowFixture;

// A dictionary of three textures built by the command line from the fixture's images: an 8-bit
// one, a 24-bit one with a mask and a second 8-bit one.
QString BuildDictionary(Fixture& f, const std::string& name) {
    const QString list = Q(f.Folder.WriteText(
        "made.txt", "[TXDList]\r\ncount=3\r\n[Texture1]\r\npath=" + f.Paletted("road.bmp", 16, 8).toStdString() +
                        "\r\n[Texture2]\r\npath=" + f.TrueColour("glass.bmp", 8, 8).toStdString() +
                        "\r\nalphapath=" + f.Paletted("glass_m.bmp", 8, 8).toStdString() +
                        "\r\nalpha=glass_m\r\n[Texture3]\r\npath=" + f.Paletted("kerb.bmp", 4, 4).toStdString() +
                        "\r\n"));
    const std::string dictionary = f.Folder.File(name);
    if (test::RunCommandLine({"build", "-o", dictionary, list.toStdString()}) != 0) {
        return {};
    }
    return Q(dictionary);
}

std::string FolderBeside(const Fixture& f, const std::string& name) {
    return f.Folder.File(name);
}

}  // namespace

class OpenDictionaryTest : public QObject {
    Q_OBJECT

  private slots:
    void CtrlOTakesTheDictionaryApartBesideItAndListsItsTextures() {
        Fixture f;
        const QString dictionary = BuildDictionary(f, "cars.txd");
        QVERIFY(!dictionary.isEmpty());
        QVERIFY(f.Show());
        f.Prompts.NextOpenFile.push_back(dictionary);
        QTest::keyClick(&f.Window, Qt::Key_O, Qt::ControlModifier);

        QCOMPARE(f.Prompts.Dialogs.at(0).Filter, QStringLiteral("Texture Dictionaries (*.txd)|*.txd"));
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(f.Cell(0, 0), QStringLiteral("road"));
        QCOMPARE(f.Cell(1, 0), QStringLiteral("glass"));
        QCOMPARE(f.Cell(2, 0), QStringLiteral("kerb"));
        QVERIFY(f.Entry(1).HasAlpha);
        QCOMPARE(f.Entry(1).AlphaName, std::string("glass_m"));
        QCOMPARE(f.Entry(0).TexPath, FolderBeside(f, "cars/road.bmp"));
        QCOMPARE(f.Entry(1).AlphaPath, FolderBeside(f, "cars/glass_m.bmp"));
        QVERIFY(IsExistingFile(FolderBeside(f, "cars/cars.txt")));
        QCOMPARE(f.Prompts.ProgressReports.first(), QStringLiteral("Open TXD: 0/3 Extracting road"));

        // The opened file is what Build suggests, and building it again gives the same bytes.
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("again.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Dialogs.back().SelectedFile, dictionary);
        QCOMPARE(vc::test::ReadBytes(f.Folder.File("again.txd")), vc::test::ReadBytes(dictionary.toStdString()));
    }

    void FilesAlreadyThereAreReplacedOnlyWhenTheUserSaysYes() {
        Fixture f;
        const QString dictionary = BuildDictionary(f, "cars.txd");
        QVERIFY(f.Show());
        f.Window.OpenDictionary(dictionary);
        const std::string road = FolderBeside(f, "cars/road.bmp");
        const std::vector<uint8_t> extracted = vc::test::ReadBytes(road);
        f.Folder.WriteText("cars/road.bmp", "painted over");
        f.Folder.WriteText("cars/notes.txt", "mine");
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);

        f.Window.OpenDictionary(dictionary);  // the question is answered No
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Kind, MessageKind::Question);
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Open TXD"));
        QCOMPARE(f.Prompts.Messages[0].Text,
                 Q("The folder \"" + FolderBeside(f, "cars") +
                   "\" already holds 5 files of this dictionary's textures:\r\n\r\n\troad.bmp\r\n\tglass.bmp\r\n"
                   "\tglass_m.bmp\r\n\tkerb.bmp\r\n\tcars.txt\r\n\r\nReplace them?"));
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QCOMPARE(vc::test::ReadBytes(road).size(), size_t{12});
        QCOMPARE(std::distance(std::filesystem::directory_iterator(FolderBeside(f, "cars")), {}), 6);

        f.Prompts.NextAnswers.push_back(true);
        f.Window.OpenDictionary(dictionary);
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(vc::test::ReadBytes(road), extracted);
        QCOMPARE(vc::test::ReadBytes(FolderBeside(f, "cars/notes.txt")).size(), size_t{4});
    }

    void DictionariesNamedAtStartOrDroppedAreOpenedAmongImages() {
        vc::test::TempDir other;
        std::string dictionary;
        {
            Fixture maker;
            dictionary = other.File("made.txd");
            std::filesystem::copy_file(BuildDictionary(maker, "made.txd").toStdString(), dictionary);
        }
        Fixture f({"/x", Q(dictionary)});
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QVERIFY(f.Prompts.Messages.empty());

        f.Prompts.NextAnswers.push_back(true);
        f.Window.WMDropFiles({f.Paletted("first.bmp", 4, 4), Q(dictionary), f.Paletted("last.bmp", 4, 4)});
        QCOMPARE(f.CountPanel(), QStringLiteral("5 Textures"));
        QCOMPARE(f.Cell(3, 0), QStringLiteral("first"));
        QCOMPARE(f.Cell(4, 0), QStringLiteral("last"));
        // Opened again, its textures are in the list already: each is a problem in one box.
        QCOMPARE(f.Prompts.Messages.back().Caption, QStringLiteral("Opening TXD - Problems"));
        QVERIFY(f.Prompts.Messages.back().Text.startsWith(
            "Some of the textures in the dictionary caused errors and could not be added:\r\n\r\n=> \"road.bmp\" "
            "already exists."));
    }

    // The stamp of an opened dictionary is marked under Options when it is one of the menu's, and
    // kept for the build and shown in the status line when it is not; a choice from the menu or
    // Reset TXD ends that.
    void TheOpenedDictionarysVersionStampIsMarkedOrKept() {
        using namespace vc::test;
        Fixture f;
        QVERIFY(f.Show());
        const auto stampOf = [](const std::string& path) {
            const Bytes bytes = ReadBytes(path);
            return uint32_t{bytes.at(8)} | uint32_t{bytes.at(9)} << 8 | uint32_t{bytes.at(10)} << 16 |
                   uint32_t{bytes.at(11)} << 24;
        };
        const auto build = [&](const std::string& name) {
            f.Prompts.NextSaveFile.push_back(Q(f.Folder.File(name)));
            QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
            return f.Folder.File(name);
        };
        auto* panel = f.Window.findChild<QLabel*>(QStringLiteral("VersionPanel"));
        QVERIFY(panel != nullptr);
        QVERIFY(panel->isHidden());

        const auto dictionaryOf = [&](const std::string& name, uint32_t stamp) {
            const Bytes native = TextureNative(
                {.Name = name, .RasterFormat = 0x0600, .Width = 4, .Height = 4, .LevelPixels = {Bytes(64, 0xFF)}},
                stamp);
            return Q(f.Folder.Write(name + ".txd", Dictionary({native}, 0, stamp)));
        };
        f.Window.OpenDictionary(dictionaryOf("gta3", 0x0800FFFF));
        QVERIFY(f.Action("verid0")->isChecked());
        QVERIFY(panel->isHidden());
        QCOMPARE(stampOf(build("gta3again.txd")), 0x0800FFFFu);

        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        f.Window.OpenDictionary(dictionaryOf("sa", 0x1803FFFF));
        QVERIFY(f.Action("verid0")->isChecked());
        QVERIFY(panel->isVisible());
        QCOMPARE(panel->text(), QStringLiteral("RW 0x1803FFFF (3.6.0.3)"));
        QVERIFY(panel->toolTip().startsWith("RW Version ID 0x1803FFFF (RenderWare 3.6.0.3), the stamp this list came"));
        QCOMPARE(stampOf(build("saagain.txd")), 0x1803FFFFu);

        f.Action("verid2")->trigger();
        QVERIFY(panel->isHidden());
        QCOMPARE(stampOf(build("vc.txd")), 0x1003FFFFu);

        f.Window.OpenDictionary(dictionaryOf("sa", 0x1803FFFF));  // the files are there: answered No
        f.Prompts.NextAnswers.push_back(true);
        f.Window.OpenDictionary(dictionaryOf("sa", 0x1803FFFF));
        QVERIFY(panel->isVisible());
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(panel->isHidden());
        // The last list imported decides: one that keeps no stamp ends the kept one.
        f.Prompts.NextAnswers.push_back(true);
        f.Window.OpenDictionary(dictionaryOf("sa", 0x1803FFFF));
        QVERIFY(panel->isVisible());
        f.Window.WMDropFiles({Q(f.Folder.WriteText(
            "plain.txt",
            "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + f.Paletted("plain.bmp", 4, 4).toStdString() + "\r\n"))});
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QVERIFY(panel->isHidden());
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        f.Window.WMDropFiles({f.Paletted("new.bmp", 4, 4)});
        QCOMPARE(stampOf(build("new.txd")), 0x1003FFFFu);
    }

    // Dictionaries of other writers that hold sides a new image may not have, PAL4 with levels and
    // one name twice open without a problem, and the window builds every texture native again.
    void TexturesNoNewImageCouldMakeAreOpenedAndBuiltAgain() {
        using namespace vc::test;
        Fixture f;
        QVERIFY(f.Show());
        std::vector<Bytes> natives;
        for (const char* name : {"small-and-odd-sizes.txd", "pal4-levels.txd", "duplicate-names.txd"}) {
            const Bytes dictionary = ReadBytes(std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/" + name);
            for (const TxdTexture& texture : ReadTxd(dictionary).Textures) {
                const size_t size = 12 + (dictionary.at(texture.Offset + 4) | dictionary.at(texture.Offset + 5) << 8);
                natives.emplace_back(dictionary.begin() + static_cast<ptrdiff_t>(texture.Offset),
                                     dictionary.begin() + static_cast<ptrdiff_t>(texture.Offset + size));
            }
            f.Window.OpenDictionary(Q(f.Folder.Write(name, dictionary)));
        }
        const QString firstMessage = f.Prompts.Messages.empty() ? QString() : f.Prompts.Messages.front().Text;
        QVERIFY2(f.Prompts.Messages.empty(), qPrintable(firstMessage));
        QCOMPARE(f.CountPanel(), QString::number(natives.size()) + " Textures");

        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("all.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        const Bytes built = ReadBytes(f.Folder.File("all.txd"));
        const std::vector<TxdTexture> textures = ReadTxd(built).Textures;
        QCOMPARE(textures.size(), natives.size());
        for (size_t i = 0; i < textures.size(); ++i) {
            const auto start = built.begin() + static_cast<ptrdiff_t>(textures[i].Offset);
            QVERIFY2(Bytes(start, start + static_cast<ptrdiff_t>(natives[i].size())) == natives[i],
                     textures[i].Name.c_str());
        }
    }

    void ABrokenDictionaryIsAnErrorAndLeavesNothingBehind() {
        Fixture f;
        const std::string dictionary = f.Folder.WriteText("broken.txd", "not a dictionary at all");
        f.Window.OpenDictionary(Q(dictionary));
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Kind, MessageKind::Error);
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Vellumcraft"));
        QVERIFY(!std::filesystem::exists(f.Folder.File("broken")));

        // A texture that cannot be decoded is named in the problem box; the others are added.
        using namespace vc::test;
        const Bytes good = TextureNative(
            {.Name = "good", .RasterFormat = 0x0600, .Width = 4, .Height = 4, .LevelPixels = {Bytes(64, 0x80)}});
        const Bytes strange = TextureNative(
            {.Name = "strange", .RasterFormat = 0x7F00, .Width = 4, .Height = 4, .LevelPixels = {Bytes(64, 0x80)}});
        f.Window.OpenDictionary(Q(f.Folder.Write("mixed.txd", Dictionary({strange, good}))));
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QCOMPARE(f.Prompts.Messages.back().Caption, QStringLiteral("Opening TXD - Problems"));
        QVERIFY(f.Prompts.Messages.back().Text.contains("\r\n\r\n=> \"strange\" could not be extracted: "));
    }

    // The question as the user meets it: Yes and No, and Enter alone keeps the files.
    void TheQuestionBoxAnswersNoToEnterAndYesToItsButton() {
        for (const bool clickYes : {false, true}) {
            const std::unique_ptr<QDialog> box = CreateMessageBox(MessageKind::Question, QStringLiteral("Open TXD"),
                                                                  QStringLiteral("Replace?"), nullptr);
            auto* buttons = box->findChild<QDialogButtonBox*>();
            QVERIFY(buttons != nullptr);
            QCOMPARE(buttons->buttons().size(), 2);
            QPushButton* yes = buttons->button(QDialogButtonBox::Yes);
            QVERIFY(yes != nullptr && buttons->button(QDialogButtonBox::No) != nullptr);
            box->show();
            QVERIFY(QTest::qWaitForWindowExposed(box.get()));
            if (clickYes) {
                QTest::mouseClick(yes, Qt::LeftButton);
            } else {
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            }
            QCOMPARE(box->result(), clickYes ? int{QDialog::Accepted} : int{QDialog::Rejected});
        }
    }
};

}  // namespace vc::gui

QTEST_MAIN(vc::gui::OpenDictionaryTest)
#include "open_dictionary_test.moc"
