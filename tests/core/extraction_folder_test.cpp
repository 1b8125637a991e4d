// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/error.h"
#include "ops/extraction_folder.h"
#include "temp_dir.h"

namespace vc {
namespace {

using test::NamesIn;
using test::ReadBytes;
using test::TempDir;

const std::vector<uint8_t> kNew = {'n', 'e', 'w'};

TEST(ExtractionFolder, NothingInTheFolderChangesUntilTheCommitReplacesItsFiles) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("cars"));
    const std::string old = dir.WriteText("cars/a.bmp", "old");
    dir.WriteText("cars/notes.txt", "mine");
    {
        ExtractionFolder folder(dir.File("cars"));
        folder.Write("a.bmp", kNew);
        folder.Write("b.bmp", kNew);
        EXPECT_EQ(folder.ExistingFiles(), std::vector<std::string>{"a.bmp"});
        EXPECT_EQ(ReadBytes(old), (std::vector<uint8_t>{'o', 'l', 'd'}));
        EXPECT_FALSE(std::filesystem::exists(dir.File("cars/b.bmp")));
        folder.Commit();
    }
    EXPECT_EQ(ReadBytes(old), kNew);
    EXPECT_EQ(ReadBytes(dir.File("cars/b.bmp")), kNew);
    EXPECT_EQ(NamesIn(dir.File("cars")), (std::vector<std::string>{"a.bmp", "b.bmp", "notes.txt"}));
}

TEST(ExtractionFolder, LeftWithoutCommitItTakesAwayWhatItWroteAndTheFolderItMade) {
    TempDir dir;
    std::filesystem::create_directory(dir.File("kept"));
    dir.WriteText("kept/a.bmp", "old");
    {
        ExtractionFolder existing(dir.File("kept"));
        existing.Write("a.bmp", kNew);
        existing.Write("b.bmp", kNew);
        ExtractionFolder made(dir.File("made"));
        EXPECT_EQ(made.AbsolutePath(), dir.File("made"));
        made.Write("c.bmp", kNew);
        EXPECT_TRUE(made.ExistingFiles().empty());
    }
    EXPECT_EQ(NamesIn(dir.File("kept")), std::vector<std::string>{"a.bmp"});
    EXPECT_EQ(ReadBytes(dir.File("kept/a.bmp")), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_FALSE(std::filesystem::exists(dir.File("made")));
}

TEST(ExtractionFolder, AMalformedDictionaryLeavesNoFolderBehind) {
    TempDir dir;
    const std::string dictionary = dir.WriteText("cars.txd", "not a dictionary");
    EXPECT_EQ(DefaultExtractionFolder(dictionary), dir.File("cars"));
    EXPECT_THROW(
        {
            ExtractionFolder folder(DefaultExtractionFolder(dictionary));
            ExtractTxdFile(dictionary, folder);
        },
        Error);
    EXPECT_EQ(NamesIn(dir.Path()), std::vector<std::string>{"cars.txd"});
    dir.WriteText("file", "");
    EXPECT_THROW(ExtractionFolder(dir.File("file/sub")), Error);
}

}  // namespace
}  // namespace vc
