#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "io/error.h"
#include "io/file_io.h"
#include "temp_dir.h"

namespace vc {
namespace {

using test::ReadBytes;
using test::TempDir;

TEST(FileIo, AtomicWriteReplacesTheWholeFileAndLeavesNoTemporary) {
    TempDir dir;
    const std::string target = dir.WriteText("out.txd", "old content that is longer");
    const std::vector<uint8_t> content = {1, 2, 3};
    WriteFileAtomically(target, content);
    EXPECT_EQ(ReadBytes(target), content);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(FileIo, FailedWriteKeepsWhatWasThere) {
    TempDir dir;
    // A folder in the target's place cannot be replaced by a file.
    std::filesystem::create_directory(dir.File("taken.txd"));
    const std::string inside = dir.WriteText("taken.txd/keep.txt", "kept");
    EXPECT_THROW(WriteFileAtomically(dir.File("taken.txd"), std::vector<uint8_t>{1}), Error);
    EXPECT_EQ(ReadBytes(inside).size(), 4u);
    EXPECT_THROW(WriteFileAtomically(dir.File("missing/out.txd"), std::vector<uint8_t>{1}), Error);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(FileIo, ReadsWholeFilesAndNamesUnreadableOnes) {
    TempDir dir;
    std::vector<uint8_t> big(200000);
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<uint8_t>(i * 7);
    }
    EXPECT_EQ(ReadWholeFile(dir.Write("big.bin", big)), big);
    EXPECT_TRUE(ReadWholeFile(dir.Write("empty.bin", {})).empty());
    try {
        ReadWholeFile(dir.File("nope.bmp"));
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("nope.bmp"), std::string::npos);
    }
}

TEST(FileIo, ExistingFileMeansARegularFile) {
    TempDir dir;
    EXPECT_TRUE(IsExistingFile(dir.WriteText("a.bmp", "x")));
    std::filesystem::create_directory(dir.File("folder.bmp"));
    EXPECT_FALSE(IsExistingFile(dir.File("folder.bmp")));
    EXPECT_FALSE(IsExistingFile(dir.File("none.bmp")));
}

}  // namespace
}  // namespace vc
