// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QtTest>
#include <algorithm>
#include <filesystem>
#include <iterator>

#include "archive/archive_address.h"
#include "dialog_prompts.h"
#include "gui_fixture.h"
#include "img_files.h"
#include "io/file_io.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"
#include "txd_chunks.h"

namespace vc::gui {

namespace {

using test::Q;
using Fixture = test::WindowFixture;

// Whether the item is in the RW Version ID menu as the user opens it.
bool InVersionMenu(const Fixture& f, const char* item) {
    for (const QMenu* menu : f.Window.findChildren<QMenu*>()) {
        if (menu->title() == QStringLiteral("RW Version ID")) {
            return menu->actions().contains(f.Action(item));
        }
    }
    return false;
}

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

    // A folder that holds files of the dictionary's names offers to use them (when it holds every
    // image), to replace them or to extract elsewhere; closing the question changes nothing.
    void AFolderOfTheDictionarysFilesOffersUseReplaceOrAnotherFolder() {
        Fixture f;
        const QString dictionary = BuildDictionary(f, "cars.txd");
        QVERIFY(f.Show());
        f.Window.OpenDictionary(dictionary);
        const std::string road = FolderBeside(f, "cars/road.bmp");
        const std::vector<uint8_t> extracted = vc::test::ReadBytes(road);
        const std::vector<uint8_t> painted = vc::test::ReadBytes(f.Paletted("cars/road.bmp", 16, 8, 4).toStdString());
        f.Folder.WriteText("cars/notes.txt", "mine");
        const auto reopen = [&](const QString& answer) {
            QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
            f.Prompts.Messages.clear();
            if (!answer.isEmpty()) {
                f.Prompts.NextChoices.push_back(answer);
            }
            f.Window.OpenDictionary(dictionary);
        };

        reopen({});
        QCOMPARE(f.MessageTexts(),
                 QStringList({Q("The folder \"" + FolderBeside(f, "cars") +
                                "\" already holds 5 files of this dictionary's textures:\r\n\r\n\troad.bmp\r\n"
                                "\tglass.bmp\r\n\tglass_m.bmp\r\n\tkerb.bmp\r\n\tcars.txt\r\n\r\nUse the files there, "
                                "replace them, or extract the dictionary to another folder?\n> [Use Them]\n"
                                "> Replace Them\n> Another Folder...\n> Cancel")}));
        QCOMPARE(f.Prompts.Messages[0].Caption, QStringLiteral("Open TXD"));
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QCOMPARE(vc::test::ReadBytes(road), painted);
        QCOMPARE(vc::test::NamesIn(FolderBeside(f, "cars")).size(), size_t{6});

        reopen("Use Them");
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(vc::test::ReadBytes(road), painted);
        QCOMPARE(f.Entry(0).TexInfo.Width, 16);

        reopen("Replace Them");
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(vc::test::ReadBytes(road), extracted);
        QCOMPARE(vc::test::ReadText(FolderBeside(f, "cars/notes.txt")), std::string("mine"));

        // Without every image there, using them is not offered; the preset answer goes elsewhere.
        std::filesystem::remove(FolderBeside(f, "cars/kerb.bmp"));
        std::filesystem::create_directories(f.Folder.Path() / "elsewhere");
        f.Prompts.NextFolders.push_back(Q(f.Folder.File("elsewhere")));
        reopen("Another Folder...");
        QVERIFY(f.Prompts.Messages[0].Text.endsWith(
            "Replace them, or extract the dictionary to another folder?\n> Replace Them\n> [Another Folder...]\n"
            "> Cancel"));
        QCOMPARE(f.Prompts.Dialogs.back().Title, QStringLiteral("Choose a Folder for the Textures of cars.txd"));
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(f.Entry(2).TexPath, f.Folder.File("elsewhere/kerb.bmp"));
        QVERIFY(!IsExistingFile(FolderBeside(f, "cars/kerb.bmp")));
    }

    // A folder of other files (a dictionary beside the folder of its sources) is asked about too;
    // a place that cannot be written goes straight to the folder picker.
    void AFilledOrUnwritableFolderIsNeverWrittenUnasked() {
        Fixture f;
        const QString dictionary = BuildDictionary(f, "many.txd");
        QVERIFY(f.Show());
        std::filesystem::create_directories(f.Folder.Path() / "many");
        f.Paletted("many/mine.bmp", 4, 4);
        f.Window.OpenDictionary(dictionary);  // closed
        QCOMPARE(f.MessageTexts(),
                 QStringList({Q("The folder \"" + FolderBeside(f, "many") +
                                "\" already holds other files.\r\n\r\nExtract the dictionary's textures into it "
                                "beside them, or to another folder?\n> [Extract Into It]\n> Another Folder...\n"
                                "> Cancel")}));
        QCOMPARE(vc::test::NamesIn(FolderBeside(f, "many")), std::vector<std::string>({"mine.bmp"}));
        f.Prompts.NextChoices.push_back(QStringLiteral("Extract Into It"));
        f.Window.OpenDictionary(dictionary);
        QCOMPARE(f.CountPanel(), QStringLiteral("3 Textures"));
        QCOMPARE(vc::test::NamesIn(FolderBeside(f, "many")).size(), size_t{6});

        // A file where the folder would go stands for a place that cannot be written.
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        const QString blocked = BuildDictionary(f, "blocked.txd");
        f.Folder.WriteText("blocked", "a file");
        f.Prompts.Messages.clear();
        const size_t dialogs = f.Prompts.Dialogs.size();
        f.Window.OpenDictionary(blocked);  // the picker is cancelled
        QCOMPARE(f.Prompts.Dialogs.size(), dialogs + 1);
        QCOMPARE(f.Prompts.Dialogs.back().Title, QStringLiteral("Choose a Folder for the Textures of blocked.txd"));
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        f.Prompts.NextFolders.push_back(Q(f.Folder.File("picked")));
        f.Window.OpenDictionary(blocked);
        QVERIFY(f.Prompts.Messages.empty());
        QCOMPARE(f.Entry(0).TexPath, f.Folder.File("picked/road.bmp"));
        // A picked folder that cannot be written either is an error.
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        f.Prompts.NextFolders.push_back(Q(f.Folder.File("blocked")));
        f.Window.OpenDictionary(blocked);
        QCOMPARE(f.Prompts.Messages.size(), size_t{1});
        QCOMPARE(f.Prompts.Messages[0].Kind, MessageKind::Error);
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
    }

    // A dictionary opened onto a list that holds textures joins it or starts a new list, as the
    // user says; a batch of dictionaries asks once. Add (Ins) opens dictionaries too.
    void ADictionaryJoinsTheListOrStartsANewOne() {
        Fixture f;
        const QString cars = BuildDictionary(f, "cars.txd");
        const QString bikes = Q(f.Folder.Write(
            "bikes.txd",
            vc::test::Dictionary({vc::test::TextureNative({.Name = "wheel",
                                                           .RasterFormat = 0x0600,
                                                           .Width = 4,
                                                           .Height = 4,
                                                           .LevelPixels = {vc::test::Bytes(64, 0x80)}})})));
        QVERIFY(f.Show());
        f.Add({f.Paletted("own.bmp", 4, 4)});
        f.Prompts.NextOpenFile.push_back(cars);
        QTest::keyClick(&f.Window, Qt::Key_O, Qt::ControlModifier);  // closed
        QCOMPARE(f.MessageTexts(), QStringList({"The list holds 1 texture.\r\n\r\nAdd the textures of \"cars.txd\" "
                                                "to it, or start a new list with them?\n> [Add to the current list]\n"
                                                "> Start a new list\n> Cancel"}));
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QVERIFY(!std::filesystem::exists(FolderBeside(f, "cars")));

        f.Prompts.NextChoices.push_back(QStringLiteral("Add to the current list"));
        f.Prompts.NextOpenFiles.push_back({cars});
        QTest::keyClick(&f.Window, Qt::Key_Insert);
        QCOMPARE(f.CountPanel(), QStringLiteral("4 Textures"));
        QCOMPARE(f.Cell(0, 0), QStringLiteral("own"));

        f.Prompts.Messages.clear();
        f.Prompts.NextChoices = {QStringLiteral("Start a new list"), QStringLiteral("Use Them")};
        f.Window.WMDropFiles({bikes, cars});
        QCOMPARE(f.Prompts.Messages.size(), size_t{2});  // the list, then the folder of cars
        QCOMPARE(f.CountPanel(), QStringLiteral("4 Textures"));
        QCOMPARE(f.Entry(0).TexPath, FolderBeside(f, "bikes/wheel.dds"));
        QCOMPARE(f.Entry(1).TexPath, FolderBeside(f, "cars/road.bmp"));
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
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 - made.txd"));  // nothing to save yet
        QVERIFY(f.Prompts.Messages.empty());

        f.Prompts.NextChoices = {QStringLiteral("Add to the current list"), QStringLiteral("Replace Them")};
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

        f.Window.OpenDictionary(dictionaryOf("sa", 0x1803FFFF));  // the question is closed
        QVERIFY(panel->isHidden());
        f.Prompts.NextChoices = {QStringLiteral("Start a new list"), QStringLiteral("Replace Them")};
        f.Window.OpenDictionary(dictionaryOf("sa", 0x1803FFFF));
        QVERIFY(panel->isVisible());
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(panel->isHidden());
        // The last list imported decides: one that keeps no stamp ends the kept one.
        f.Prompts.NextChoices.push_back(QStringLiteral("Use Them"));
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
            std::ranges::move(vc::test::NativeChunks(dictionary), std::back_inserter(natives));
            f.Prompts.NextChoices.push_back(QStringLiteral("Add to the current list"));
            f.Window.OpenDictionary(Q(f.Folder.Write(name, dictionary)));
        }
        // No problem box: only what the game will make of two of them.
        std::erase_if(f.Prompts.Messages, [](const auto& message) { return message.Kind == MessageKind::Question; });
        QCOMPARE(f.Prompts.Messages.size(), size_t{2});
        for (const auto& [message, rule] :
             {std::pair{f.Prompts.Messages[0], "[dxt-side]"}, std::pair{f.Prompts.Messages[1], "[duplicate-name]"}}) {
            QCOMPARE(message.Caption, QStringLiteral("Opening TXD - Findings"));
            QVERIFY2(message.Text.contains(rule), qPrintable(message.Text));
        }
        QCOMPARE(f.CountPanel(), QString::number(natives.size()) + " Textures");

        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("all.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        const std::vector<Bytes> built = vc::test::NativeChunks(ReadBytes(f.Folder.File("all.txd")));
        QCOMPARE(built.size(), natives.size());
        for (size_t i = 0; i < built.size(); ++i) {
            QVERIFY2(built[i] == natives[i], qPrintable(QString::number(i)));
        }
    }

    // A San Andreas dictionary opened and built again is San Andreas' own again: Direct3D 9
    // natives, byte for byte, with its stamp.
    void ASanAndreasDictionaryIsBuiltAgainForSanAndreas() {
        Fixture f;
        QVERIFY(f.Show());
        const vc::test::Bytes dictionary =
            vc::test::ReadBytes(std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/san-andreas-direct3d9.txd");
        f.Window.OpenDictionary(Q(f.Folder.Write("sa.txd", dictionary)));
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("again.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        const vc::test::Bytes built = vc::test::ReadBytes(f.Folder.File("again.txd"));
        QCOMPARE(ReadTxd(built).VersionStamp, 0x1803FFFFu);
        QVERIFY(vc::test::NativeChunks(built) == vc::test::NativeChunks(dictionary));
    }

    // A game chosen under Options marks its stamp and builds its natives with it; a stamp chosen
    // ends it. The game is kept in the settings while it is chosen.
    void TheTargetGameMarksItsStampAndBuildsForIt() {
        Fixture f;
        QVERIFY(f.Show());
        f.Add({f.Paletted("wall.bmp", 4, 4)});
        const struct {
            const char* Choice;
            uint32_t Stamp;
            bool Direct3d9;
            const char* MarkedVersion;
            const char* MarkedGame;  // none for a stamp of no game's
        } cases[] = {
            {"game2", 0x1803FFFF, true, "verid3", "game2"},  {"verid0", 0x0800FFFF, false, "verid0", nullptr},
            {"game1", 0x1003FFFF, false, "verid2", "game1"}, {"verid1", 0x0C02FFFF, false, "verid1", "game0"},
            {"game0", 0x0C02FFFF, false, "verid1", "game0"}, {"game2", 0x1803FFFF, true, "verid3", "game2"},
        };
        for (const auto& c : cases) {
            f.Action(c.Choice)->trigger();
            QVERIFY2(f.Action(c.MarkedVersion)->isChecked(), c.Choice);
            QCOMPARE(InVersionMenu(f, "verid3"), c.Direct3d9);
            for (const char* game : {"game0", "game1", "game2"}) {
                QCOMPARE(f.Action(game)->isChecked(),
                         c.MarkedGame != nullptr && std::string_view(game) == c.MarkedGame);
            }
            f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("wall.txd")));
            QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
            const TxdContents built = ReadTxd(vc::test::ReadBytes(f.Folder.File("wall.txd")));
            QCOMPARE(built.VersionStamp, c.Stamp);
            QCOMPARE(HoldsDirect3d9(built), c.Direct3d9);
        }
        // An imported list that keeps a game marks it too, and its builds are for that game.
        f.Action("game0")->trigger();
        f.Prompts.NextOpenFile.push_back(Q(f.Folder.WriteText(
            "sa.txt", "[TXDList]\r\ncount=1\r\nrwversion=0x1803FFFF\r\ngame=sa\r\n[Texture1]\r\npath=" +
                          f.Paletted("listed.bmp", 4, 4).toStdString() + "\r\n")));
        f.Action("ImportList1")->trigger();
        QCOMPARE(f.CountPanel(), QStringLiteral("2 Textures"));
        QVERIFY(f.Action("game2")->isChecked() && f.Action("verid3")->isChecked());
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("listed.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QVERIFY(HoldsDirect3d9(ReadTxd(vc::test::ReadBytes(f.Folder.File("listed.txd")))));

        f.Window.close();
        const std::string settings = vc::test::ReadText(f.SettingsPath().toStdString());
        QVERIFY2(settings.find("\r\ngame=sa\r\n") != std::string::npos, settings.c_str());
        Fixture again({}, settings);
        QVERIFY(again.Action("game2")->isChecked() && again.Action("verid3")->isChecked());
        QVERIFY(InVersionMenu(again, "verid3"));
    }

    // Opening a San Andreas dictionary marks San Andreas; a command cancelled after it opened one
    // leaves the options as they were.
    void AnOpenedSanAndreasDictionaryMarksSanAndreas() {
        Fixture f;
        QVERIFY(f.Show());
        const QString dictionary = Q(f.Folder.Write(
            "sa.txd", vc::test::ReadBytes(std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/san-andreas-direct3d9.txd")));
        bool cancelled = false;
        f.Prompts.WhileReporting = [&] {
            if (f.Action("game2")->isChecked() && !f.Prompts.CancelAtReport) {
                f.Prompts.CancelAtReport = static_cast<size_t>(f.Prompts.ProgressReports.size()) - 1;
                cancelled = true;
            }
        };
        f.Window.WMDropFiles({dictionary, f.Paletted("after.bmp", 4, 4)});
        QVERIFY(cancelled);
        QCOMPARE(f.CountPanel(), QStringLiteral("0 Textures"));
        QVERIFY(f.Action("game0")->isChecked() && f.Action("verid1")->isChecked());
        QVERIFY(!InVersionMenu(f, "verid3"));

        f.Prompts.WhileReporting = {};
        f.Prompts.CancelAtReport.reset();
        f.Prompts.NextChoices.push_back(QStringLiteral("Replace Them"));  // the files the first opening left
        f.Window.OpenDictionary(dictionary);
        QVERIFY(f.Action("game2")->isChecked() && f.Action("verid3")->isChecked());
        QVERIFY(InVersionMenu(f, "verid3") && f.Action("verid3")->isEnabled());
        QVERIFY(f.Window.findChild<QLabel*>(QStringLiteral("VersionPanel"))->isHidden());
        QTest::keyClick(&f.Window, Qt::Key_R, Qt::ControlModifier);
        QVERIFY(f.Action("game2")->isChecked());
    }

    // A dictionary inside a game's archive is picked from the archive's list by typing part of its
    // name, opened beside the archive, and put back into the archive by Build TXD when the user
    // agrees; otherwise it is saved beside the archive.
    void ADictionaryInAnArchiveIsOpenedAndPutBack() {
        using namespace vc::test;
        Fixture f;
        QVERIFY(f.Show());
        const Bytes dictionary = ReadBytes(std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/san-andreas-direct3d9.txd");
        const ImgFiles files =
            MakeImgArchive(vc::ImgVersion::V2,
                           {{"bus.txd", dictionary}, {"infernus.dff", Bytes(10, 1)}, {"Infernus.txd", dictionary}});
        const std::string archive = f.Folder.Write("gta3.img", files.Img);
        QStringList offered;
        QStringList filtered;
        f.Prompts.NextOpenFile.push_back(Q(archive));
        f.Prompts.NextDialogActions.push_back([&](QDialog& dialog) {
            dialog.show();
            auto* list = dialog.findChild<QListView*>(QStringLiteral("entries"));
            const auto rows = [&] {
                QStringList names;
                for (int row = 0; row < list->model()->rowCount(); ++row) {
                    names << list->model()->index(row, 0).data().toString();
                }
                return names;
            };
            offered = rows();
            QTest::keyClicks(dialog.findChild<QLineEdit*>(QStringLiteral("filter")), QStringLiteral("INF"));
            filtered = rows();
            QTest::keyClick(dialog.findChild<QLineEdit*>(QStringLiteral("filter")), Qt::Key_Return);
            return dialog.result();
        });
        f.Action("OpenFromArchive1")->trigger();
        QCOMPARE(offered, QStringList({"bus.txd", "Infernus.txd"}));
        QCOMPARE(filtered, QStringList({"Infernus.txd"}));
        QCOMPARE(f.CountPanel(), QString::number(ReadTxd(dictionary).Textures.size()) + " Textures");
        QVERIFY(std::filesystem::is_regular_file(ToFsPath(f.Folder.File("Infernus/Infernus.txt"))));
        QVERIFY(f.Action("game2")->isChecked());
        QCOMPARE(f.Window.windowTitle(), QStringLiteral("Vellumcraft 1.1 - gta3.img:Infernus.txd"));

        // Put back: the entry is the dictionary built, and the archive's other entries are as they were.
        f.Prompts.NextAnswers.push_back(true);
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Messages.end()[-2].Text, QStringLiteral("Put Infernus.txd back into gta3.img?"));
        QVERIFY(f.Prompts.Messages.back().Text.startsWith("7 of 7 textures assembled sucessfully to Infernus.txd!"));
        const Bytes putBack = vc::ReadFileOrEntry(archive + ":infernus.txd");
        QVERIFY(NativeChunks(putBack) == NativeChunks(dictionary));
        QCOMPARE(vc::ReadFileOrEntry(archive + ":bus.txd"), vc::ReadFileOrEntry(archive + ":BUS.TXD"));
        QCOMPARE(vc::ReadFileOrEntry(archive + ":infernus.dff").size(), size_t{2048});

        // Not put back: saved beside the archive, under the entry's name.
        f.Prompts.NextAnswers.push_back(false);
        f.Prompts.NextSaveFile.push_back(Q(f.Folder.File("saved.txd")));
        QTest::keyClick(&f.Window, Qt::Key_B, Qt::ControlModifier);
        QCOMPARE(f.Prompts.Dialogs.back().SelectedFile, Q(f.Folder.File("Infernus.txd")));
        QVERIFY(NativeChunks(ReadBytes(f.Folder.File("saved.txd"))) == NativeChunks(dictionary));

        // A damaged archive says so, and offers what it can.
        const std::string cut =
            f.Folder.Write("cut.img", ImgDirectoryBytes(vc::ImgVersion::V2, {{"far.txd", 1, 9}}, 1'000'000));
        f.Prompts.NextOpenFile.push_back(Q(cut));
        const size_t dialogsBefore = f.Prompts.Dialogs.size();
        f.Action("OpenFromArchive1")->trigger();
        QCOMPARE(f.Prompts.Messages.back().Kind, MessageKind::Warning);
        QCOMPARE(f.Prompts.Messages.back().Text,
                 QStringLiteral("cut.img is damaged; nothing in it can be opened:\r\n"
                                "- its directory promises 1000000 entries but holds only 1 (it is cut short)\r\n"
                                "- \"far.txd\": its sectors 1 to 9 lie past the archive's end (it has 1 sector)"));
        QCOMPARE(f.Prompts.Dialogs.size(), dialogsBefore + 1);  // the file dialog alone

        // A model for DFF Check comes from an archive the same way.
        f.Prompts.NextOpenFile.push_back(Q(archive));
        f.Prompts.NextDialogActions.push_back([](QDialog& dialog) {
            dialog.accept();  // the first, and only, model
            return dialog.result();
        });
        f.Action("DFFCheck1")->trigger();
        QCOMPARE(f.Prompts.Dialogs.back().Title, QStringLiteral("DFF Check in gta3.img"));
        QCOMPARE(f.Prompts.Messages.back().Kind, MessageKind::Error);  // ten bytes are no model
        QVERIFY2(f.Prompts.Messages.back().Text.contains("infernus.dff"), qPrintable(f.Prompts.Messages.back().Text));
    }

    void ABrokenDictionaryShowsWhatCameBeforeTheBreakOrNothing() {
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
        // The problem box says what could not be read; no box of findings says it again.
        QCOMPARE(f.Prompts.Messages.back().Caption, QStringLiteral("Opening TXD - Problems"));
        QVERIFY(f.Prompts.Messages.back().Text.contains("\r\n\r\n=> \"strange\" could not be extracted: "));

        // A dictionary cut short shows the textures before the cut and says where it broke off.
        f.Button("Button5")->click();
        const Bytes whole = Dictionary({good, strange, good});
        f.Window.OpenDictionary(Q(f.Folder.Write("cut.txd", Bytes(whole.begin(), whole.end() - 40))));
        QCOMPARE(f.CountPanel(), QStringLiteral("1 Textures"));
        QCOMPARE(f.Cell(0, 0), QStringLiteral("good"));
        QCOMPARE(f.Prompts.Messages.back().Caption, QStringLiteral("Opening TXD - Problems"));
        QVERIFY2(f.Prompts.Messages.back().Text.contains(
                     "\r\n\r\n=> \"cut.txd\" is damaged:\r\n\tthe file ends inside texture 3 of 3, so it was cut "
                     "short.\r\n\tThe 2 textures before it were read.\r\n\t(Texture dictionary is not valid at byte "),
                 qPrintable(f.Prompts.Messages.back().Text));

        // Cut inside its first texture, it has nothing to show: an error box says so in words.
        f.Button("Button5")->click();
        f.Window.OpenDictionary(Q(f.Folder.Write("first.txd", Bytes(whole.begin(), whole.begin() + 60))));
        QCOMPARE(f.Prompts.Messages.back().Kind, MessageKind::Error);
        QVERIFY(f.Prompts.Messages.back().Text.startsWith(
            "\"first.txd\" is damaged:\r\n\tthe file ends inside texture 1 of 3, so it was cut short.\r\n\tNo "
            "texture before it could be read."));
        QVERIFY(!std::filesystem::exists(f.Folder.File("first")));
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

    // A question of several answers as the user meets it: a button each, Enter takes the preset
    // one, a click another, Escape none.
    void AQuestionOfSeveralAnswersTakesEnterAClickOrEscape() {
        const QStringList answers = {QStringLiteral("One"), QStringLiteral("Two"), QStringLiteral("Three")};
        struct Case {
            std::function<void(QWidget&)> User;
            int Expected;
        };
        const auto click = [](const QString& text) {
            return [text](QWidget& box) {
                for (auto* button : box.findChildren<QPushButton*>()) {
                    if (button->text() == text) {
                        QTest::mouseClick(button, Qt::LeftButton);
                    }
                }
            };
        };
        const Case cases[] = {
            {[](QWidget&) { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); }, 1},
            {click(QStringLiteral("Three")), 2},
            {click(QStringLiteral("One")), 0},
            {[](QWidget& box) { QTest::keyClick(&box, Qt::Key_Escape); }, -1},
        };
        for (const Case& c : cases) {
            DialogPrompts prompts;
            test::WhenModalShown([&](QWidget& box) {
                QCOMPARE(box.findChildren<QPushButton*>().size(), answers.size());
                c.User(box);
            });
            QCOMPARE(prompts.Choose(QStringLiteral("Open TXD"), QStringLiteral("Which?"), answers, 1), c.Expected);
        }
    }
};

}  // namespace vc::gui

QTEST_MAIN(vc::gui::OpenDictionaryTest)
#include "open_dictionary_test.moc"
