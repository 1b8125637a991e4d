// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "io/error.h"
#include "io/profile_file.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>
#include "temp_dir.h"

namespace vc {
namespace {

TEST(ProfileInteger, ReadsDecimalAndEveryHexadecimalForm) {
    EXPECT_EQ(ParseProfileInteger("42"), 42);
    EXPECT_EQ(ParseProfileInteger("-7"), -7);
    EXPECT_EQ(ParseProfileInteger("+3"), 3);
    EXPECT_EQ(ParseProfileInteger("0x3"), 3);
    EXPECT_EQ(ParseProfileInteger("0XfF"), 255);
    EXPECT_EQ(ParseProfileInteger("$10"), 16);
    EXPECT_EQ(ParseProfileInteger("x1A"), 26);
    EXPECT_EQ(ParseProfileInteger("-$10"), -16);
    EXPECT_EQ(ParseProfileInteger("2147483647"), 2147483647);
    EXPECT_EQ(ParseProfileInteger("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ParseProfileInteger("$FFFFFFFF"), -1);
}

TEST(ProfileInteger, AnythingElseIsNoNumber) {
    for (const char* text :
         {"", "three", "3 ", "3x", "0x", "$", "--1", "+-1", "2147483648", "$100000000", "1.5", "0x-1", " 3"}) {
        EXPECT_EQ(ParseProfileInteger(text), std::nullopt) << '"' << text << '"';
    }
}

TEST(ProfileFile, MatchesNamesCaseBlindAndTrimsValues) {
    const ProfileFile file = ProfileFile::FromText(
        "[TXDList]\r\n"
        "Count =  3 \r\n"
        "; count=9\r\n"
        "\r\n"
        "  [ texture1 ]  \n"
        "NAME=\t wall \t\n"
        "path=C:\\tex\\a=b.bmp\n"
        "no equals sign here\n");
    EXPECT_EQ(file.ReadInteger("txdlist", "COUNT", 0), 3);
    EXPECT_EQ(file.ReadString("Texture1", "name"), "wall");
    EXPECT_EQ(file.ReadString("TEXTURE1", "Path"), "C:\\tex\\a=b.bmp");
    EXPECT_EQ(file.ReadString("Texture1", "alpha"), std::nullopt);
    EXPECT_EQ(file.ReadString("Texture2", "name", "fallback"), "fallback");
    EXPECT_EQ(file.SectionNames(), (std::vector<std::string>{"TXDList", "texture1"}));
}

TEST(ProfileFile, FirstSectionAndFirstKeyWinWhenRepeated) {
    const ProfileFile file = ProfileFile::FromText(
        "key=before any section\n"
        "[A]\nkey=first\nkey=second\n"
        "[a]\nkey=third\nother=only here\n");
    EXPECT_EQ(file.ReadString("A", "key"), "first");
    EXPECT_EQ(file.ReadString("a", "other"), std::nullopt);
    EXPECT_EQ(file.ReadString("", "key"), std::nullopt);
}

TEST(ProfileFile, ValuesAreReadUpTo2047Characters) {
    const std::string longValue(3000, 'v');
    const std::string accented(2100, 'a');
    const ProfileFile file = ProfileFile::FromText("[S]\nk=" + longValue + "\nu=é" + accented + "\n");
    EXPECT_EQ(file.ReadString("S", "k")->size(), 2047u);
    EXPECT_EQ(*file.ReadString("S", "u"), "é" + std::string(2046, 'a'));  // characters, not bytes
}

TEST(ProfileFile, BooleansAreAnyNumberButZero) {
    const ProfileFile file = ProfileFile::FromText("[O]\na=0\nb=1\nc=-5\nd=yes\n");
    EXPECT_FALSE(file.ReadBool("O", "a", true));
    EXPECT_TRUE(file.ReadBool("O", "b", false));
    EXPECT_TRUE(file.ReadBool("O", "c", false));
    EXPECT_TRUE(file.ReadBool("O", "d", true));
    EXPECT_FALSE(file.ReadBool("O", "d", false));
    EXPECT_FALSE(file.ReadBool("O", "missing", false));
}

TEST(ProfileFile, WritingChangesOnlyTheKeysWrittenAndUsesCrLf) {
    ProfileFile file = ProfileFile::FromText(
        "; settings\n"
        "[Options]\n"
        "VERID=2\n"
        "dfflog=1\n"
        "\n"
        "[Paths]\n"
        "open=/tex\n");
    file.WriteString("options", "verid", "1");
    file.WriteString("Options", "uflag", "0");
    file.WriteString("Paths", "save", "/out");
    file.WriteString("Extra", "k", "v");
    EXPECT_EQ(file.Text(),
              "; settings\r\n"
              "[Options]\r\n"
              "verid=1\r\n"
              "dfflog=1\r\n"
              "uflag=0\r\n"
              "\r\n"
              "[Paths]\r\n"
              "open=/tex\r\n"
              "save=/out\r\n"
              "[Extra]\r\n"
              "k=v\r\n");
}

TEST(ProfileFile, SavesInWindows1252WhenEverythingFitsAndUtf8Otherwise) {
    test::TempDir dir;
    ProfileFile latin;
    latin.WriteString("S", "name", "Größe");
    latin.Save(dir.File("latin.ini"));
    EXPECT_EQ(test::ReadBytes(dir.File("latin.ini")),
              (std::vector<uint8_t>{'[', 'S', ']', '\r', '\n', 'n', 'a', 'm', 'e', '=', 'G', 'r', 0xF6, 0xDF, 'e', '\r',
                                    '\n'}));
    EXPECT_EQ(ProfileFile::Load(dir.File("latin.ini")).ReadString("S", "name"), "Größe");

    ProfileFile wide;
    wide.WriteString("S", "name", "Größe 日本");
    wide.Save(dir.File("wide.ini"));
    EXPECT_EQ(test::ReadText(dir.File("wide.ini")), "[S]\r\nname=Größe 日本\r\n");
    EXPECT_EQ(ProfileFile::Load(dir.File("wide.ini")).ReadString("S", "name"), "Größe 日本");
}

TEST(ProfileFile, LoadingAMissingFileGivesAnEmptyOneAndAByteOrderMarkIsSkipped) {
    test::TempDir dir;
    EXPECT_TRUE(ProfileFile::Load(dir.File("none.ini")).SectionNames().empty());
    dir.WriteText("bom.ini", "\xEF\xBB\xBF[A]\r\nk=v\r\n");
    EXPECT_EQ(ProfileFile::Load(dir.File("bom.ini")).ReadString("A", "k"), "v");
    std::filesystem::create_directory(dir.File("folder.ini"));
    EXPECT_THROW(ProfileFile::Load(dir.File("folder.ini")), Error);
}

}  // namespace
}  // namespace vc

namespace vc {
namespace {

// Names and paths come back byte for byte; only values the plain form would change get the exact
// form, and its plain value is what readers without it make the best of.
TEST(ProfileFile, ExactStringsComeBackWhateverTheyHoldAndPlainOnesStayPlain) {
    struct Case {
        std::string Value;
        std::string Plain;  // the plain key's value as written
        bool Exact;         // whether the exact form is written beside it
    };
    const std::string long2048(2048, 'x');
    const std::vector<Case> cases = {
        {"wall", "wall", false},
        {"C:\\tex\\wall.bmp", "C:\\tex\\wall.bmp", false},
        {"wäll €", "wäll €", false},
        {std::string(2047, 'x'), std::string(2047, 'x'), false},
        {"evil\npath=x.bmp", "evil path=x.bmp", true},
        {" lead", "lead", true},
        {"tail\t", "tail", true},
        {"a\rb\x7F", "a b", true},
        {long2048, long2048.substr(0, 2047), true},
        {"", "", false},
    };
    for (const Case& c : cases) {
        ProfileFile written;
        written.WriteExactString("Texture1", "name", c.Value);
        const std::string text = written.Text();
        const ProfileFile read = ProfileFile::FromText(text);
        EXPECT_EQ(read.ReadExactString("Texture1", "name"), c.Value);
        EXPECT_EQ(read.ReadWholeString("Texture1", "name"), c.Plain);
        EXPECT_EQ(read.ReadString("Texture1", "namehex").has_value(), c.Exact) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), c.Exact ? 3 : 2) << text;
    }
    EXPECT_THROW(ProfileFile().WriteString("S", "key", "two\nlines"), std::invalid_argument);
}

// A broken exact form (hand-edited: odd digits, not hexadecimal, not UTF-8) falls back to the plain value.
TEST(ProfileFile, ABrokenExactFormFallsBackToThePlainValue) {
    for (const char* hex : {"616", "zz", "ff"}) {
        const ProfileFile file = ProfileFile::FromText(std::string("[S]\r\nname=plain\r\nnamehex=") + hex + "\r\n");
        EXPECT_EQ(file.ReadExactString("S", "name"), "plain") << hex;
    }
}

}  // namespace
}  // namespace vc
