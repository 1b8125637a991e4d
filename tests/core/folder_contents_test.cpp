// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/file_names.h"
#include "ops/folder_contents.h"
#include "temp_dir.h"
#include "texlist/image_intake.h"

namespace vc {
namespace {

// What a batch expands to, each path named by its part under the temporary folder.
std::vector<std::string> Expanded(const test::TempDir& dir, const std::vector<std::string>& names,
                                  FolderDictionaries dictionaries) {
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        paths.push_back(dir.File(name));
    }
    std::vector<std::string> shown;
    for (const std::string& path : ExpandFolders(paths, dictionaries)) {
        shown.push_back(std::filesystem::relative(path, dir.Path()).generic_string());
    }
    return shown;
}

TEST(FolderContents, AFolderGivesTheFilesDirectlyInsideItThatCanBeAddedSortedByName) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "drop" / "sub");
    std::filesystem::create_directories(dir.Path() / "empty");
    for (const char* name : {"drop/b.png", "drop/A.BMP", "drop/d.txd", "drop/note.doc", "drop/noext", "drop/sub/e.bmp",
                             "empty/f.doc", "loose.bmp"}) {
        dir.WriteText(name, "x");
    }
    dir.WriteText("drop/c.txt", "; made by hand\r\n[TxdList]\r\ncount=0\r\n");
    dir.WriteText("drop/readme.txt", "hi");  // no list
    struct Case {
        std::vector<std::string> Named;
        FolderDictionaries Dictionaries;
        std::vector<std::string> Expected;
    };
    const Case cases[] = {
        {{"drop"}, FolderDictionaries::Included, {"drop/A.BMP", "drop/b.png", "drop/c.txt", "drop/d.txd"}},
        {{"drop"}, FolderDictionaries::Left, {"drop/A.BMP", "drop/b.png", "drop/c.txt"}},
        // Files and missing paths pass as they are, in their places; a folder of nothing stays.
        {{"loose.bmp", "drop/sub", "missing", "empty", "loose.bmp"},
         FolderDictionaries::Left,
         {"loose.bmp", "drop/sub/e.bmp", "missing", "empty", "loose.bmp"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Expanded(dir, c.Named, c.Dictionaries), c.Expected) << c.Named.front();
    }
}

TEST(FolderContents, IntakeSaysAFolderIsNoImageAndNamesTheKindsItReads) {
    test::TempDir dir;
    std::filesystem::create_directories(dir.Path() / "maps.bmp");
    ImageIntake intake;
    TImageInfo info;
    EXPECT_FALSE(intake.ReadImageFile(dir.File("maps.bmp"), kColourSlot, false, NewTextureRules(true), info));
    EXPECT_EQ(intake.ProblemText,
              "\r\n\r\n=> \"maps.bmp\":\r\n\tIs a folder, not an image file; Vellumcraft reads .bmp, .jpg, .jpe, "
              ".jpeg, .png, .tga, .dds, .txt and .txd files.");
}

}  // namespace
}  // namespace vc
