// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "file_identity.h"
#include "io/atomic_file.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/temporary_file.h"
#include "temp_dir.h"
#include "thrown_error.h"
#include "windows_skips.h"

namespace vc {
namespace {

namespace fs = std::filesystem;
using test::FileIdOf;
using test::ReadBytes;
using test::TempDir;

// What a user gives a file that its replacement keeps: a mode on POSIX; on Windows, whose files
// have access lists instead, an attribute.
#ifdef _WIN32
constexpr DWORD kMark = FILE_ATTRIBUTE_HIDDEN;
void MarkFile(const std::string& path) {
    ASSERT_TRUE(::SetFileAttributesW(ToFsPath(path).c_str(), kMark)) << path;
}
bool HasMark(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesW(ToFsPath(path).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & kMark) != 0;
}
#else
constexpr fs::perms kMark = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
void MarkFile(const std::string& path) {
    fs::permissions(path, kMark);
}
bool HasMark(const std::string& path) {
    return (fs::status(path).permissions() & fs::perms::all) == kMark;
}
#endif

size_t EntriesIn(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// Bytes of a dictionary-sized file, larger than one piece of a copy, with a value patched at the
// start as a build patches its sizes.
std::vector<uint8_t> WriteContent(TemporaryFile& file) {
    std::vector<uint8_t> content((size_t{5} << 20) / 2 + 7);
    for (size_t i = 0; i < content.size(); ++i) {
        content[i] = static_cast<uint8_t>(i * 31 + i / 4099);
    }
    file.Append(std::span(content).first(10));
    file.Append(std::span(content).subspan(10));
    file.PatchU32(4, 0x0A0B0C0D);
    content[4] = 0x0D;
    content[5] = 0x0C;
    content[6] = 0x0B;
    content[7] = 0x0A;
    return content;
}

// A folder on another file system than the test's temporary folder, where the system has one.
class OtherFileSystemFolder {
  public:
    OtherFileSystemFolder([[maybe_unused]] const fs::path& thanThis) {
#ifndef _WIN32
        std::string pattern = "/dev/shm/vellumcraft-test-XXXXXX";
        struct stat shared {};
        struct stat here {};
        if (::stat("/dev/shm", &shared) != 0 || ::stat(thanThis.c_str(), &here) != 0 || shared.st_dev == here.st_dev ||
            ::mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        m_path = pattern;
#endif
    }
    ~OtherFileSystemFolder() {
        if (m_path) {
            std::error_code ignored;
            fs::remove_all(*m_path, ignored);
        }
    }
    const std::optional<fs::path>& Path() const {
        return m_path;
    }

  private:
    std::optional<fs::path> m_path;
};

TEST(TemporaryFile, IsRemovedWhenLeftAlone) {
    TempDir dir;
    std::string path;
    {
        TemporaryFile file(dir.File(".build-XXXXXX"));
        path = file.Path();
        EXPECT_EQ(fs::path(path).parent_path(), dir.Path());
        EXPECT_NE(path, dir.File(".build-XXXXXX"));
        WriteContent(file);
        EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    }
    EXPECT_FALSE(fs::exists(path));
    EXPECT_EQ(EntriesIn(dir.Path()), 0u);
}

TEST(TemporaryFile, AFolderThatCannotHoldItIsNamedInTheError) {
    TempDir dir;
    const test::Thrown thrown = test::ThrownBy([&] { TemporaryFile(dir.File("missing/.build-XXXXXX"), "out.txd"); });
    EXPECT_EQ(thrown.Kind, ErrorKind::Write);
    EXPECT_EQ(thrown.Message, "Cannot create file \"out.txd\": No such file or directory");
}

TEST(TemporaryFile, ScratchFolderIsThePreferredOneWhereFilesCanBeCreated) {
    TempDir dir;
    EXPECT_EQ(ScratchFolder(FromFsPath(dir.Path())), FromFsPath(dir.Path()));
    const std::string system = FromFsPath(fs::temp_directory_path());
    EXPECT_EQ(ScratchFolder(""), system);
    EXPECT_EQ(ScratchFolder(dir.File("missing")), system);
    EXPECT_EQ(ScratchFolder(dir.WriteText("file", "x")), system);
#ifndef _WIN32
    fs::create_directory(dir.File("locked"));
    fs::permissions(dir.File("locked"), fs::perms::owner_read | fs::perms::owner_exec);
    if (::geteuid() != 0) {  // the superuser may create files anywhere
        EXPECT_EQ(ScratchFolder(dir.File("locked")), system);
    }
#endif
}

// On one file system the file itself is renamed into place; a copy is written beside the target.
// Either way the target keeps its mode or attributes and no temporary file is left.
TEST(PutInPlace, TheFileIsRenamedOrCopiedAndKeepsTheTargetsMode) {
    for (const Placement placement : {Placement::RenameWherePossible, Placement::Copy}) {
        TempDir dir;
        const std::string target = dir.WriteText("out.txd", "old");
        MarkFile(target);
        TemporaryFile file(dir.File(".build-XXXXXX"));
        const std::vector<uint8_t> content = WriteContent(file);
        const uint64_t written = FileIdOf(file.Path());
        PutInPlace(file, target, placement);
        EXPECT_EQ(FileIdOf(target) == written, placement == Placement::RenameWherePossible);
        EXPECT_EQ(ReadBytes(target), content);
        EXPECT_TRUE(HasMark(target));
        EXPECT_FALSE(fs::exists(file.Path()));
        EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "a temporary file is still there";
    }
}

// A real second file system (/dev/shm, a memory file system, where there is one) rather than a
// copy asked for: a rename between the two cannot work, so the file is copied.
TEST(PutInPlace, BetweenTwoFileSystemsTheFileIsCopied) {
    TempDir dir;
    const OtherFileSystemFolder other(dir.Path());
    if (!other.Path()) {
        GTEST_SKIP() << "no second file system at /dev/shm";
    }
    const std::string target = dir.File("new.txd");
    TemporaryFile file(FromFsPath(*other.Path() / ".build-XXXXXX"));
    const std::vector<uint8_t> content = WriteContent(file);
    PutInPlace(file, target);
    EXPECT_EQ(ReadBytes(target), content);
    EXPECT_EQ(EntriesIn(*other.Path()), 0u);
    EXPECT_EQ(EntriesIn(dir.Path()), 1u);
}

// Either way, a link to the target stays a link and the file it leads to is replaced.
TEST(PutInPlace, ThroughALinkTheRealFileIsReplaced) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoLinksOnWindows;
#endif
    for (const Placement placement : {Placement::RenameWherePossible, Placement::Copy}) {
        TempDir dir;
        fs::create_directory(dir.File("real"));
        const std::string real = dir.WriteText("real/out.txd", "old");
        fs::create_symlink("real/out.txd", dir.File("out.txd"));
        TemporaryFile file(dir.File(".build-XXXXXX"));
        const std::vector<uint8_t> content = WriteContent(file);
        PutInPlace(file, dir.File("out.txd"), placement);
        EXPECT_EQ(ReadBytes(real), content);
        EXPECT_TRUE(fs::is_symlink(dir.File("out.txd"))) << "the link was replaced by a file";
        EXPECT_EQ(EntriesIn(dir.Path()), 2u);
        EXPECT_EQ(EntriesIn(dir.File("real")), 1u);
    }
}

// A folder in the target's place cannot be replaced by a file: the rename fails, and so does the
// rename of a copy written beside it. The folder stays, the copy's temporary file is gone, and the
// built file waits for its owner, who removes it.
TEST(PutInPlace, AFailureKeepsTheOldTarget) {
    for (const Placement placement : {Placement::RenameWherePossible, Placement::Copy}) {
        TempDir dir;
        fs::create_directory(dir.File("taken.txd"));
        const std::string inside = dir.WriteText("taken.txd/keep.txt", "kept");
        std::string built;
        {
            TemporaryFile file(dir.File(".build-XXXXXX"));
            built = file.Path();
            WriteContent(file);
            const test::Thrown thrown = test::ThrownBy([&] { PutInPlace(file, dir.File("taken.txd"), placement); });
            EXPECT_EQ(thrown.Kind, ErrorKind::Write);
            EXPECT_EQ(thrown.Message, "Cannot replace file \"" + dir.File("taken.txd") + "\": Is a directory");
            EXPECT_TRUE(fs::is_directory(dir.File("taken.txd")));
            EXPECT_EQ(ReadBytes(inside).size(), 4u);
            EXPECT_TRUE(fs::exists(built));
            EXPECT_EQ(EntriesIn(dir.Path()), 2u);
        }
        EXPECT_FALSE(fs::exists(built));
        EXPECT_EQ(EntriesIn(dir.Path()), 1u);
    }
}

}  // namespace
}  // namespace vc
