// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/code_page.h"
#include "io/file_names.h"
#include "io/safe_file_names.h"

namespace vc {
namespace {

struct NameCase {
    std::string Name;
    std::string Expected;
};

// Names as a hostile or careless dictionary may carry them.
const std::vector<NameCase> kHostileNames = {
    {"../../etc/passwd", ".._.._etc_passwd"},
    {"..", "__"},
    {".", "_"},
    {"C:\\x", "C__x"},
    {"\\\\server\\share", "__server_share"},
    {"<>:\"/\\|?*", "_________"},
    {"tab\there", "tab_here"},
    {"line\r\nbreak", "line__break"},
    {std::string("nul\0byte", 8), "nul_byte"},
    {"del\x7F", "del_"},
    {"c1\xC2\x85", "c1_"},  // U+0085, a control character of Latin-1
    {"name.", "name_"},
    {"name ", "name_"},
    {"name. . ", "name____"},
    {"a\xFFz", "a_z"},        // a byte that starts no UTF-8 character
    {"cut\xC3", "cut_"},      // a character cut short
    {"\xC0\xAF", "__"},       // "/" in an overlong form
    {"\xED\xA0\x80", "___"},  // a surrogate
};

const std::vector<NameCase> kDeviceNames = {
    {"con", "con_"},
    {"con.txt", "con_.txt"},
    {"aux.tar.gz", "aux_.tar.gz"},
    {"prn.", "prn_"},  // the trailing dot goes first, which leaves "prn_"
    {"COM9.bmp", "COM9_.bmp"},
    {"LpT5.x", "LpT5_.x"},
    {"com0", "com0_"},
    {"com\u00B9", "com\u00B9_"},
    {"lpt\u00B3.log", "lpt\u00B3_.log"},
    {"conin$", "conin$_"},
    {"CONOUT$.txt", "CONOUT$_.txt"},
    {"nul .txt", "nul_ .txt"},
    {" aux", " aux_"},
};

// Names that only resemble device names, and ordinary names: all stay as they are.
const std::vector<std::string> kPlainNames = {
    "console", "com10", "xcon",  "con_",  "nul_.txt", "auxiliary.bmp", "wall",
    ".hidden", "..a",   " lead", "Ärger", "straße",   "\u4E2D\u6587",  "a!#$%&'()+,;=@[]^`{}~b",
};

TEST(SafeFileName, ReplacesWhatCouldLeaveTheFolderOrIsRefusedByWindowsAndMarksDeviceNames) {
    for (const std::vector<NameCase>* cases : {&kHostileNames, &kDeviceNames}) {
        for (const NameCase& c : *cases) {
            EXPECT_EQ(SafeFileName(c.Name), c.Expected) << "name \"" << c.Name << "\"";
        }
    }
    for (const std::string& name : kPlainNames) {
        EXPECT_EQ(SafeFileName(name), name);
    }
}

TEST(SafeFileName, DictionaryNamesKeepTheirWindows1252LettersAndLoseUndefinedBytes) {
    // Dictionary names arrive as Windows-1252; its five undefined bytes become control characters.
    EXPECT_EQ(SafeFileName(Windows1252ToUtf8("Caf\xE9 \x80\x8A")), "Café €Š");
    for (const char undefined : {'\x81', '\x8D', '\x8F', '\x90', '\x9D'}) {
        EXPECT_EQ(SafeFileName(Windows1252ToUtf8(std::string{'a', undefined, 'b'})), "a_b");
    }
}

TEST(SafeFileName, LongNamesAreCutAtACharactersStart) {
    EXPECT_EQ(SafeFileName(std::string(300, 'a')), std::string(200, 'a'));
    std::string accented;
    for (int i = 0; i < 150; ++i) {
        accented += "é";
    }
    EXPECT_EQ(SafeFileName(accented), accented.substr(0, 200));
    // One byte more leaves no room for the 100th two-byte character.
    EXPECT_EQ(SafeFileName("a" + accented), "a" + accented.substr(0, 198));
    // A cut that ends in a dot must not leave the dot at the end.
    EXPECT_EQ(SafeFileName(std::string(199, 'a') + "...."), std::string(199, 'a') + "_");
    EXPECT_EQ(SafeFileName("con." + std::string(300, 'x')), "con_." + std::string(195, 'x'));
    EXPECT_EQ(SafeFileName("con" + std::string(300, ' ') + "x"), "con_" + std::string(196, '_'));
}

// Every name the rules give: one file name, no way up, valid on Windows; unchanged when made safe
// again.
void ExpectSafe(const std::string& name) {
    const std::string safe = SafeFileName(name);
    SCOPED_TRACE("name \"" + name + "\" gave \"" + safe + "\"");
    ASSERT_FALSE(safe.empty());
    EXPECT_LE(safe.size(), 200u);
    EXPECT_TRUE(IsValidUtf8(safe));
    EXPECT_EQ(safe.find_first_of(std::string("<>:\"/\\|?*\x7F", 10)), std::string::npos);
    for (const char c : safe) {
        EXPECT_GE(static_cast<unsigned char>(c), 0x20);
    }
    EXPECT_NE(safe.back(), '.');
    EXPECT_NE(safe.back(), ' ');
    EXPECT_EQ(FileNamePart(safe), safe);
    const std::filesystem::path folder = "/target/folder";
    EXPECT_EQ((folder / safe).lexically_normal().parent_path(), folder);
    EXPECT_EQ(SafeFileName(safe), safe);
}

TEST(SafeFileName, EveryByteAndPairOfBytesGivesASafeName) {
    for (int first = 0; first < 256; ++first) {
        ExpectSafe(std::string(1, static_cast<char>(first)));
        for (const char second : {'\0', '.', ' ', '/', 'a', '\x80', '\xAF', '\xC3'}) {
            ExpectSafe(std::string{static_cast<char>(first), second});
        }
    }
    for (const std::vector<NameCase>* cases : {&kHostileNames, &kDeviceNames}) {
        for (const NameCase& c : *cases) {
            ExpectSafe(c.Name);
        }
    }
}

TEST(UniqueFileNames, SameNamesInAnyCaseGetNumberedFiles) {
    UniqueFileNames names;
    const std::vector<NameCase> claims = {
        {"wall", "wall.bmp"},   {"WALL", "WALL_2.bmp"},
        {"Wall", "Wall_3.bmp"}, {"wall_2", "wall_2_2.bmp"},  // a name that looks like a numbered one
        {"door", "door.bmp"},
    };
    for (const NameCase& c : claims) {
        EXPECT_EQ(names.Claim(c.Name, ".bmp"), c.Expected) << "name \"" << c.Name << "\"";
    }
}

TEST(UniqueFileNames, LettersBeyondAsciiCompareWithoutCaseAsOnWindows) {
    const std::vector<std::pair<std::string, std::string>> sameOnWindows = {
        {"Ärger", "ärger"},
        {"\u0178", "\u00FF"},              // Ÿ ÿ
        {"\u0160koda", "\u0161koda"},      // Š š
        {"\u017Dula", "\u017Eula"},        // Ž ž
        {"\u0139", "\u013A"},              // Ĺ ĺ
        {"\u03A3\u0391", "\u03C2\u03B1"},  // ΣΑ, ςα
        {"\u0386", "\u03AC"},              // Ά ά
        {"\u0416", "\u0436"},              // Ж ж
        {"\u0401", "\u0451"},              // Ё ё
        {"\uFF21", "\uFF41"},              // full-width A a
    };
    for (const auto& [first, second] : sameOnWindows) {
        UniqueFileNames names;
        EXPECT_EQ(names.Claim(first, ".bmp"), first + ".bmp");
        EXPECT_EQ(names.Claim(second, ".bmp"), second + "_2.bmp") << first << " and " << second;
    }
    UniqueFileNames names;
    for (const std::string name : {"\u00C4", "\u00E4x", "\u00D7", "\u00F7", "\u0416\u0436"}) {
        EXPECT_EQ(names.Claim(name, ".bmp"), name + ".bmp") << "differs from every name before";
    }
}

TEST(UniqueFileNames, NamesThatBecomeTheSameSafeNameGetNumberedFiles) {
    UniqueFileNames names;
    const std::vector<NameCase> claims = {
        {"a/b", "a_b.bmp"},  {"a\\b", "a_b_2.bmp"},  {"a:b", "a_b_3.bmp"},        {"..", "__.bmp"},
        {"__", "___2.bmp"},  {"", "unnamed.bmp"},    {"", "unnamed_2.bmp"},       {"unnamed", "unnamed_3.bmp"},
        {"con", "con_.bmp"}, {"CON_", "CON__2.bmp"}, {"con.txt", "con_.txt.bmp"},
    };
    for (const NameCase& c : claims) {
        EXPECT_EQ(names.Claim(c.Name, ".bmp"), c.Expected) << "name \"" << c.Name << "\"";
    }
}

}  // namespace
}  // namespace vc
