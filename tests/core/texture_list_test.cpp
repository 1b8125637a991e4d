// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>

#include "image_files.h"
#include "io/error.h"
#include "ops/workspace.h"
#include "temp_dir.h"
#include "texlist/texture_list.h"

namespace vc {
namespace {

class TextureListTest : public testing::Test {
  protected:
    std::string Image(const std::string& name, int size = 8) {
        return dir.Write(name, test::MakePalettedBmp(size, size, test::GreyPalette(4), [](int, int) { return 1; }));
    }

    test::TempDir dir;
    Workspace workspace;
};

TEST_F(TextureListTest, AddedFileIsNamedAfterItsFileNameWithoutTheLastExtension) {
    const std::string brick = Image("Brick.BMP");
    const std::string wall = Image("wall.old.bmp");
    const std::string longName = Image("a_texture_name_well_beyond_thirty_one_characters.bmp");
    for (const std::string& path : {brick, wall, longName}) {
        AddFile(workspace, path, true);
    }
    ASSERT_EQ(workspace.TexList.size(), 3u);
    EXPECT_EQ(workspace.TexList[0].TexName, "Brick");
    EXPECT_EQ(workspace.TexList[0].TexPath, brick);
    EXPECT_EQ(workspace.TexList[0].TexInfo, (TImageInfo{.Height = 8, .Width = 8, .Depth = 8}));
    EXPECT_FALSE(workspace.TexList[0].HasAlpha);
    EXPECT_EQ(workspace.TexList[1].TexName, "wall.old");
    EXPECT_EQ(workspace.TexList[2].TexName, "a_texture_name_well_beyond_thirty_one_characters");
    EXPECT_EQ(workspace.Intake.ProblemText, "");
}

TEST_F(TextureListTest, SameFileAgainIsSkippedSilentlyWhateverItsCaseOrTrailingBlanks) {
    const std::string brick = Image("brick.bmp");
    AddFile(workspace, brick, true);
    AddFile(workspace, brick, true);
    AddFile(workspace, brick + "  ", true);
    std::string upper = brick;
    upper.replace(upper.size() - 9, 9, "BRICK.BMP");
    AddFile(workspace, upper, true);
    EXPECT_EQ(workspace.TexList.size(), 1u);
    EXPECT_EQ(workspace.Intake.ProblemText, "");
}

TEST_F(TextureListTest, AFileWithAnEmptyNameDoesNotHideLaterFiles) {
    AddFile(workspace, Image(".bmp"), true);
    AddFile(workspace, Image("next.bmp"), true);
    ASSERT_EQ(workspace.TexList.size(), 2u);
    EXPECT_EQ(workspace.TexList[0].TexName, "");
    EXPECT_EQ(workspace.TexList[1].TexName, "next");
}

TEST_F(TextureListTest, BlankPathDoesNothingAndRefusedFilesLeaveTheirBlock) {
    AddFile(workspace, "", true);
    AddFile(workspace, " \t", true);
    EXPECT_TRUE(workspace.TexList.empty());
    EXPECT_EQ(workspace.Intake.ProblemText, "");
    AddFile(workspace, Image("odd.bmp", 6), false);
    EXPECT_TRUE(workspace.TexList.empty());
    EXPECT_EQ(workspace.Intake.ProblemText,
              "\r\n\r\n=> \"odd.bmp\":\r\n\tImage dimensions (6×6) aren't divisible by 4.");
}

TEST_F(TextureListTest, ABatchReportsItsOwnProblemsAndAnErrorEndsItAtThatFile) {
    AddFile(workspace, Image("odd.bmp", 6), true);
    ASSERT_NE(workspace.Intake.ProblemText, "");
    const std::vector<std::string> batch = {Image("a.bmp"), Image("wide.bmp", 12),
                                            dir.WriteText("broken.bmp", "BM damaged"), Image("b.bmp")};
    EXPECT_THROW(AddFiles(workspace, batch, true), Error);
    ASSERT_EQ(workspace.TexList.size(), 1u);
    EXPECT_EQ(workspace.TexList[0].TexName, "a");
    EXPECT_EQ(workspace.Intake.ProblemText,
              "\r\n\r\n=> \"wide.bmp\":\r\n\tImage dimensions (12×12) aren't a power of 2 (see readme).");
}

TEST_F(TextureListTest, FindTextureMatchesNameOrPathTrimmedAndCaseBlind) {
    EXPECT_FALSE(FindTexture(workspace.TexList, "", ""));
    workspace.TexList.push_back({.TexName = "Wall", .TexPath = "C:\\tex\\wall.bmp"});
    EXPECT_TRUE(FindTexture(workspace.TexList, " WALL ", "other"));
    EXPECT_TRUE(FindTexture(workspace.TexList, "other", "c:\\TEX\\wall.bmp\t"));
    EXPECT_FALSE(FindTexture(workspace.TexList, "other", "C:\\tex\\wall2.bmp"));
    ClearList(workspace.TexList);
    EXPECT_TRUE(workspace.TexList.empty());
}

TEST(TextureLookup, AnswersExactlyAsFindTextureDoes) {
    const std::vector<std::string> pool = {"",      " ", "wall", "WALL ",    "\twall",
                                           "Wall2", "é", "É",    "/t/a.bmp", "/T/A.BMP"};
    std::mt19937 random(3);
    TextureList list;
    TextureLookup lookup(list);
    for (int round = 0; round < 300; ++round) {
        const std::string& name = pool[random() % pool.size()];
        const std::string& path = pool[random() % pool.size()];
        ASSERT_EQ(lookup.Contains(name, path), FindTexture(list, name, path)) << '"' << name << "\" \"" << path << '"';
        if (random() % 3 == 0) {
            list.push_back({.TexName = pool[random() % pool.size()], .TexPath = pool[random() % pool.size()]});
            lookup.Add(list.back());
        }
    }
}

}  // namespace
}  // namespace vc
