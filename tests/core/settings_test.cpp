// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#ifndef _WIN32
#include <pwd.h>
#include <unistd.h>
#endif

#include "io/file_io.h"
#include "ops/config_location.h"
#include "ops/settings.h"
#include "scoped_environment.h"
#include "temp_dir.h"

namespace vc {
namespace {

Settings FromText(const std::string& text) {
    return ReadSettings(ProfileFile::FromText(text));
}

using test::ScopedEnvironment;

TEST(Settings, MissingFileGivesDefaultsAndClosingWritesEveryKeyButTheLogSwitch) {
    test::TempDir dir;
    const std::string path = dir.File("Vellumcraft.ini");
    const Settings settings = LoadSettings(path);
    EXPECT_EQ(settings, Settings{});
    EXPECT_EQ(settings.VersionIndex, 1);
    EXPECT_EQ(settings.FlagIndex, 1);
    EXPECT_TRUE(settings.pwr2lmt);
    EXPECT_FALSE(settings.dfflog);
    SaveSettings(path, settings);
    EXPECT_EQ(test::ReadText(path),
              "[Options]\r\nverid=1\r\nuflag=1\r\npwr2lmt=1\r\n"
              "[Paths]\r\nopen=\r\nsave=\r\nopenlist=\r\nsavelist=\r\nopendff=\r\n");
}

// Defaults for new textures and window sizes are kept in keys of their own, written only while
// they differ from the defaults and taken away when they are the defaults again.
TEST(Settings, NewTextureDefaultsAndWindowSizesAreKeptOnlyWhileSet) {
    test::TempDir dir;
    const std::string path = dir.File("Vellumcraft.ini");
    SaveSettings(path, Settings{});
    const std::string plain = test::ReadText(path);
    Settings set;
    set.NewTextures = {.Format = TextureFormat::Dxt1, .Mipmaps = true, .Flags = 0x1102};
    set.MainWindow = {.Width = 900, .Height = 640, .Maximized = true};
    set.DffWindow = {.Width = 400, .Height = 700};
    SaveSettings(path, set);
    EXPECT_EQ(test::ReadText(path), plain +
                                        "[NewTextures]\r\nformat=DXT1\r\nmipmaps=1\r\nflags=0x1102\r\n"
                                        "[Window]\r\nwidth=900\r\nheight=640\r\nmaximized=1\r\n"
                                        "dffwidth=400\r\ndffheight=700\r\n");
    EXPECT_EQ(LoadSettings(path), set);
    SaveSettings(path, Settings{});
    EXPECT_EQ(test::ReadText(path), plain + "[NewTextures]\r\n[Window]\r\n");
    EXPECT_EQ(LoadSettings(path), Settings{});
    EXPECT_EQ(FromText("[Window]\r\nwidth=-5\r\nheight=x\r\n[NewTextures]\r\nformat=DXT9\r\n"), Settings{});
}

// A game is kept only while one is chosen; its stamp wins over a version index that disagrees.
TEST(Settings, TargetGameIsKeptOnlyWhileChosen) {
    const struct {
        const char* Text;
        std::optional<Game> Target;
        uint8_t VersionIndex;
    } cases[] = {
        {"[Options]\nverid=0\ngame=vc\n", Game::ViceCity, 2},   {"[Options]\nverid=2\ngame=III\n", Game::Gta3, 1},
        {"[Options]\nverid=0\ngame=sa\n", Game::SanAndreas, 0},  // its stamp is none of the table's
        {"[Options]\nverid=0\ngame=ps2\n", std::nullopt, 0},    {"[Options]\ngame=\n", std::nullopt, 1},
    };
    for (const auto& c : cases) {
        const Settings settings = FromText(c.Text);
        EXPECT_EQ(settings.TargetGame, c.Target) << c.Text;
        EXPECT_EQ(settings.VersionIndex, c.VersionIndex) << c.Text;
    }

    test::TempDir dir;
    const std::string path = dir.File("Vellumcraft.ini");
    SaveSettings(path, Settings{});
    const std::string plain = test::ReadText(path);
    Settings chosen;
    chosen.TargetGame = Game::SanAndreas;
    SaveSettings(path, chosen);
    EXPECT_NE(test::ReadText(path).find("pwr2lmt=1\r\ngame=sa\r\n[Paths]"), std::string::npos) << test::ReadText(path);
    EXPECT_EQ(LoadSettings(path), chosen);
    EXPECT_EQ(chosen.DictionaryOptions().Target, Game::SanAndreas);
    SaveSettings(path, Settings{});
    EXPECT_EQ(test::ReadText(path), plain);
}

TEST(Settings, IndexesOutOfRangeBecomeOneAfterKeepingTheirLowByte) {
    EXPECT_EQ(FromText("[Options]\nverid=7\n").VersionIndex, 1);
    EXPECT_EQ(FromText("[Options]\nverid=0x2\n").VersionIndex, 2);
    EXPECT_EQ(FromText("[Options]\nverid=$0\n").VersionIndex, 0);
    EXPECT_EQ(FromText("[Options]\nverid=two\n").VersionIndex, 1);
    EXPECT_EQ(FromText("[Options]\nverid=258\n").VersionIndex, 2);  // low byte 2
    EXPECT_EQ(FromText("[Options]\nuflag=-1\n").FlagIndex, 1);      // low byte 255
    EXPECT_EQ(FromText("[options]\nUFLAG=0\n").FlagIndex, 0);
}

TEST(Settings, SwitchesReadAnyNumberButZeroAsOn) {
    EXPECT_FALSE(FromText("[Options]\npwr2lmt=0\n").pwr2lmt);
    EXPECT_TRUE(FromText("[Options]\npwr2lmt=no\n").pwr2lmt);
    EXPECT_TRUE(FromText("[Options]\ndfflog=2\n").dfflog);
    EXPECT_FALSE(FromText("[Options]\ndfflog=on\n").dfflog);
}

TEST(Settings, LogSwitchAndForeignLinesSurviveEverySave) {
    test::TempDir dir;
    const std::string path = dir.WriteText("Vellumcraft.ini", "; mine\r\n[Options]\r\ndfflog=1\r\nverid=7\r\n");
    Settings settings = LoadSettings(path);
    EXPECT_TRUE(settings.dfflog);
    settings.pwr2lmt = false;
    settings.Folders.Open = "/home/me/Texturen für Autos";
    settings.Folders.OpenDff = "/home/me/モデル";
    for (int run = 0; run < 2; ++run) {
        SaveSettings(path, settings);
        settings = LoadSettings(path);
    }
    EXPECT_TRUE(settings.dfflog);
    EXPECT_FALSE(settings.pwr2lmt);
    EXPECT_EQ(settings.VersionIndex, 1);
    EXPECT_EQ(settings.Folders.Open, "/home/me/Texturen für Autos");
    EXPECT_EQ(settings.Folders.OpenDff, "/home/me/モデル");
    EXPECT_EQ(test::ReadText(path).rfind("; mine\r\n[Options]\r\ndfflog=1\r\nverid=1\r\nuflag=1\r\npwr2lmt=0\r\n", 0),
              0u);
}

TEST(Settings, SavingCreatesTheConfigurationFolder) {
    test::TempDir dir;
    const std::string path = dir.File("config/Vellumcraft/Vellumcraft.ini");
    SaveSettings(path, Settings{});
    EXPECT_EQ(LoadSettings(path), Settings{});
}

// A program run from its own folder keeps its settings beside it; an installed one in the user's
// configuration folder, so that nothing is written where the system keeps its programs.
TEST(ConfigLocation, BesideAProgramRunFromItsOwnFolderInTheUsersFolderForAnInstalledOne) {
    test::TempDir dir;
    ScopedEnvironment noChoice("VELLUMCRAFT_CONFIG_DIR", nullptr);
#ifdef _WIN32
    ScopedEnvironment programFiles("ProgramFiles", "C:\\Program Files");
    ScopedEnvironment appData("APPDATA", "C:\\Users\\Zoë\\AppData\\Roaming");
    const std::filesystem::path user = ToFsPath("C:\\Users\\Zoë\\AppData\\Roaming\\Vellumcraft");
    const std::filesystem::path installed[] = {"C:\\Program Files\\Vellumcraft", "c:\\PROGRAM FILES\\Vellumcraft\\bin",
                                               dir.Path() / "no such folder"};
#else
    ScopedEnvironment xdg("XDG_CONFIG_HOME", "/xdg");
    const std::filesystem::path user = "/xdg/vellumcraft";
    std::filesystem::create_directory_symlink("/usr/bin", dir.Path() / "link");
    // A folder of another user, and one of the user's own that cannot be written; root owns every
    // folder it makes and writes anywhere, so for root the first is one given away.
    std::filesystem::path othersFolder = "/";
    const std::filesystem::path shut = dir.Path() / "shut";
    std::filesystem::create_directory(shut);
    if (::geteuid() == 0) {
        othersFolder = dir.Path() / "others";
        std::filesystem::create_directory(othersFolder);
        ASSERT_EQ(::chown(othersFolder.c_str(), 65534, 65534), 0);
        ASSERT_EQ(::chown(shut.c_str(), 65534, 65534), 0);
    } else {
        std::filesystem::permissions(shut, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
    }
    const std::filesystem::path installed[] = {
        "/usr/bin", "/usr/local/bin",    "/opt/vellumcraft",           "/usr/", othersFolder,
        shut,       dir.Path() / "link", dir.Path() / "no such folder"};
    const struct {
        const char* Folder;
        const char* Prefix;
        bool Inside;
    } prefixes[] = {{"/usr", "/usr", true}, {"/usr/bin", "/usr/", true}, {"/usrx", "/usr", false},
                    {"/us", "/usr", false}, {"/opt/a/b", "/opt", true},  {"/", "/usr", false}};
    for (const auto& prefix : prefixes) {
        EXPECT_EQ(IsSameOrInside(prefix.Folder, prefix.Prefix), prefix.Inside) << prefix.Folder << " " << prefix.Prefix;
    }
#endif
    EXPECT_EQ(ConfigFolder(dir.Path()), dir.Path());
    for (const std::filesystem::path& folder : installed) {
        EXPECT_TRUE(IsInstalledProgramFolder(folder)) << folder;
        EXPECT_EQ(ConfigFolder(folder), user) << folder;
    }
    ScopedEnvironment chosen("VELLUMCRAFT_CONFIG_DIR", dir.File("chosen").c_str());
    EXPECT_EQ(ConfigFolder(dir.Path()), ToFsPath(dir.File("chosen")));
    EXPECT_EQ(ConfigFolder(installed[0]), ToFsPath(dir.File("chosen")));
}

// The user's configuration folder as the platform names it; on Windows without one, the program's own
// folder.
TEST(ConfigLocation, TheUsersFolderFollowsThePlatformsRules) {
    test::TempDir dir;
    ScopedEnvironment noChoice("VELLUMCRAFT_CONFIG_DIR", nullptr);
    const std::filesystem::path unwritable = dir.Path() / "no such folder";
#ifdef _WIN32
    ScopedEnvironment noAppData("APPDATA", nullptr);
    EXPECT_EQ(ConfigFolder(unwritable), unwritable);
#else
    {
        ScopedEnvironment relativeXdg("XDG_CONFIG_HOME", "relative");
        ScopedEnvironment home("HOME", "/home/modder");
        EXPECT_EQ(ConfigFolder(unwritable), "/home/modder/.config/vellumcraft");
    }
    // Earlier versions named the folder Vellumcraft: it stays in use while it is the only one.
    ScopedEnvironment xdg("XDG_CONFIG_HOME", dir.Path().c_str());
    EXPECT_EQ(ConfigFolder(unwritable), dir.Path() / "vellumcraft");
    std::filesystem::create_directory(dir.Path() / "Vellumcraft");
    EXPECT_EQ(ConfigFolder(unwritable), dir.Path() / "Vellumcraft");
    std::filesystem::create_directory(dir.Path() / "vellumcraft");
    EXPECT_EQ(ConfigFolder(unwritable), dir.Path() / "vellumcraft");
    // Started without an environment: the home the system gives the user, never the program's folder.
    ScopedEnvironment noHome("HOME", nullptr);
    ScopedEnvironment noXdg("XDG_CONFIG_HOME", nullptr);
    const passwd* user = ::getpwuid(::geteuid());
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(ConfigFolder(unwritable).parent_path(), std::filesystem::path(user->pw_dir) / ".config");
#endif
}

TEST(ConfigLocation, ExecutableFolderHoldsTheRunningProgram) {
#ifdef _WIN32
    EXPECT_TRUE(std::filesystem::exists(ExecutableFolder() / "core_tests.exe"));
#else
    EXPECT_TRUE(std::filesystem::exists(ExecutableFolder() / "core_tests"));
#endif
}

}  // namespace
}  // namespace vc
