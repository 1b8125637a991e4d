// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "io/file_names.h"

namespace vc {
namespace {

TEST(FileNames, SplitWindowsAndPosixPathsAlike) {
    EXPECT_EQ(FileNamePart("C:\\Img\\Brick.BMP"), "Brick.BMP");
    EXPECT_EQ(FileNamePart("/home/me/tex/wall.jpg"), "wall.jpg");
    EXPECT_EQ(FileNamePart("tex\\sub/mixed.bmp"), "mixed.bmp");
    EXPECT_EQ(FileNamePart("C:Brick.bmp"), "Brick.bmp");
    EXPECT_EQ(FileNamePart("plain.bmp"), "plain.bmp");
    // A colon elsewhere is part of the name on this platform.
    EXPECT_EQ(FileNamePart("/tmp/a:b.bmp"), "a:b.bmp");
}

TEST(FileNames, ExtensionIsTheLastDotOfTheFileNameOn) {
    EXPECT_EQ(FileExtension("C:\\Img\\wall.old.jpg"), ".jpg");
    EXPECT_EQ(FileExtension("C:\\Img.d\\noext"), "");
    EXPECT_EQ(FileExtension("/x/.bmp"), ".bmp");
    EXPECT_EQ(FileNameWithoutExtension("C:\\Img\\wall.old.jpg"), "wall.old");
    EXPECT_EQ(FileNameWithoutExtension("C:\\Img\\Brick.BMP"), "Brick");
    EXPECT_EQ(FileNameWithoutExtension("/x/.bmp"), "");
    EXPECT_EQ(FileNameWithoutExtension("/x.d/noext"), "noext");
}

TEST(FileNames, TrimRemovesControlCharactersAndBlanksOnly) {
    EXPECT_EQ(TrimText(" \t\r\nname \x01"), "name");
    EXPECT_EQ(TrimText("   "), "");
    EXPECT_EQ(TrimText("a b"), "a b");
}

TEST(FileNames, SameTextIgnoresCaseOfPlainLettersOnly) {
    EXPECT_TRUE(SameTextTrimmed("C:\\IMG\\Brick.bmp ", "c:\\img\\brick.BMP"));
    EXPECT_FALSE(SameTextTrimmed("Ärger", "ärger"));  // accented letters keep their case
    EXPECT_FALSE(SameTextTrimmed("abc", "abd"));
    EXPECT_TRUE(SameTextTrimmed("", "  "));
    EXPECT_EQ(LowerAscii("ÄBC"), "Äbc");
}

}  // namespace
}  // namespace vc
