// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>
#endif

#include <algorithm>
#include <array>
#include <filesystem>
#include <stdexcept>
#include <vector>

#include "io/atomic_file.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/native_file.h"
#include "io/temporary_file.h"
#include "temp_dir.h"
#include "thrown_error.h"
#include "windows_skips.h"

namespace vc {
namespace {

using test::ReadBytes;
using test::TempDir;

TEST(FileIo, FailedWriteKeepsWhatWasThere) {
    TempDir dir;
    // A folder in the target's place cannot be replaced by a file.
    std::filesystem::create_directory(dir.File("taken.txd"));
    const std::string inside = dir.WriteText("taken.txd/keep.txt", "kept");
    EXPECT_THROW(WriteFileAtomically(dir.File("taken.txd"), std::vector<uint8_t>{1}), Error);
    EXPECT_EQ(ReadBytes(inside).size(), 4u);
    EXPECT_EQ(test::ThrownBy([&] { WriteFileAtomically(dir.File("missing/out.txd"), std::vector<uint8_t>{1}); }).Kind,
              ErrorKind::Write);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

// Small appends are gathered, large ones written straight through; either way the bytes land in
// order, and values patched at the end land where they belong.
TEST(FileIo, AtomicFileReplacesTheTargetOnlyOnCommit) {
    TempDir dir;
    const std::string target = dir.WriteText("out.txd", "old");
    std::vector<uint8_t> expected;
    {
        AtomicFile file(target);
        for (const size_t size : {size_t{5}, size_t{70000}, size_t{65535}, size_t{1}, size_t{200000}, size_t{3}}) {
            std::vector<uint8_t> piece(size);
            for (size_t i = 0; i < size; ++i) {
                piece[i] = static_cast<uint8_t>(expected.size() + i * 13);
            }
            file.Append(piece);
            expected.insert(expected.end(), piece.begin(), piece.end());
        }
        file.PatchU32(1, 0xA1B2C3D4);
        file.PatchU32(expected.size() - 4, 0x01020304);
        EXPECT_THROW(file.PatchU32(expected.size() - 3, 0), std::out_of_range);
        EXPECT_EQ(file.Size(), expected.size());
        EXPECT_EQ(ReadBytes(target).size(), 3u) << "the target changed before the commit";
        file.Commit();
    }
    const std::array<uint8_t, 4> first = {0xD4, 0xC3, 0xB2, 0xA1}, last = {4, 3, 2, 1};
    std::copy(first.begin(), first.end(), expected.begin() + 1);
    std::copy(last.begin(), last.end(), expected.end() - 4);
    EXPECT_EQ(ReadBytes(target), expected);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

#ifdef _WIN32
// The entries of a file's access list and whether it inherits any: what a user sets by hand.
struct AccessList {
    DWORD Entries = 0;
    DWORD FirstMask = 0;
    bool Protected = false;
    bool operator==(const AccessList&) const = default;
};

AccessList AccessListOf(const std::wstring& path) {
    PACL list = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                                nullptr, &descriptor) != ERROR_SUCCESS) {
        return {};
    }
    AccessList result;
    ACL_SIZE_INFORMATION size{};
    void* first = nullptr;
    if (list != nullptr && ::GetAclInformation(list, &size, sizeof(size), AclSizeInformation)) {
        result.Entries = size.AceCount;
        if (size.AceCount > 0 && ::GetAce(list, 0, &first)) {
            result.FirstMask = static_cast<ACCESS_ALLOWED_ACE*>(first)->Mask;
        }
    }
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    result.Protected =
        ::GetSecurityDescriptorControl(descriptor, &control, &revision) && (control & SE_DACL_PROTECTED) != 0;
    ::LocalFree(descriptor);
    return result;
}

// A file a save replaces keeps what its user gave it: its attributes, its access list and its
// creation time.
TEST(FileIo, ReplacingAFileKeepsItsAttributesAccessListAndCreationTime) {
    TempDir dir;
    const std::string target = dir.WriteText("kept.txd", "old");
    const std::wstring path = ToFsPath(target).wstring();
    const FILETIME created{.dwLowDateTime = 0x12345678, .dwHighDateTime = 0x01C00000};  // in 1986
    const HANDLE file = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(::SetFileTime(file, &created, nullptr, nullptr));
    ::CloseHandle(file);
    ASSERT_TRUE(::SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    // One entry set by hand, inheriting nothing from the folder.
    EXPLICIT_ACCESSW entry{};
    std::wstring everyone = L"Everyone";
    ::BuildExplicitAccessWithNameW(&entry, everyone.data(), FILE_GENERIC_READ | FILE_GENERIC_WRITE, SET_ACCESS,
                                   NO_INHERITANCE);
    PACL list = nullptr;
    ASSERT_EQ(::SetEntriesInAclW(1, &entry, nullptr, &list), DWORD{ERROR_SUCCESS});
    std::wstring named = path;
    ASSERT_EQ(::SetNamedSecurityInfoW(named.data(), SE_FILE_OBJECT,
                                      DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                      list, nullptr),
              DWORD{ERROR_SUCCESS});
    ::LocalFree(list);
    // Wine makes access lists up from the file's mode and keeps no creation times: what the file
    // system does not keep is not checked.
    const AccessList access = AccessListOf(path);
    const bool keepsAccessLists = access.Entries == 1 && access.Protected;
    const auto creationTime = [&] {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        EXPECT_TRUE(::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data));
        return uint64_t{data.ftCreationTime.dwHighDateTime} << 32 | data.ftCreationTime.dwLowDateTime;
    };
    const uint64_t before = creationTime();

    WriteFileAtomically(target, std::vector<uint8_t>{'n', 'e', 'w'});
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'n', 'e', 'w'}));
    EXPECT_NE(::GetFileAttributesW(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    const bool keepsCreationTimes = before == (uint64_t{created.dwHighDateTime} << 32 | created.dwLowDateTime);
    if (keepsAccessLists) {
        EXPECT_EQ(AccessListOf(path), access);
    }
    if (keepsCreationTimes) {
        EXPECT_EQ(creationTime(), before);
    }
    if (!keepsAccessLists || !keepsCreationTimes) {
        GTEST_SKIP() << "only what this file system keeps was checked (access lists: " << keepsAccessLists
                     << ", creation times: " << keepsCreationTimes << ")";
    }
}
#endif

TEST(FileIo, AtomicFileLeftWithoutCommitLeavesTheTargetAndNoTrace) {
    TempDir dir;
    const std::string target = dir.WriteText("out.txd", "old");
    {
        AtomicFile file(target);
        file.Append(std::vector<uint8_t>(100000, 1));
    }
    EXPECT_EQ(ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
    EXPECT_THROW(AtomicFile(dir.File("missing/out.txd")), Error);
}

size_t EntriesIn(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

// A save through a chain of links (an absolute one, then a relative one) writes the file at its
// end; every link stays a link, and the temporary file lived beside the real file.
TEST(FileIo, SaveThroughLinksWritesTheRealFileAndKeepsTheLinks) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoLinksOnWindows;
#endif
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directory(dir.File("real"));
    fs::create_directory(dir.File("links"));
    const std::string real = dir.WriteText("real/out.txd", "old content, longer than the new");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("../real/out.txd", dir.File("links/inner.txd"));
    fs::create_symlink(dir.File("links/inner.txd"), dir.File("outer.txd"));

    const std::vector<uint8_t> content = {1, 2, 3};
    WriteFileAtomically(dir.File("outer.txd"), content);
    EXPECT_EQ(ReadBytes(real), content);
    ASSERT_TRUE(fs::is_symlink(dir.File("outer.txd"))) << "the link was replaced by a file";
    ASSERT_TRUE(fs::is_symlink(dir.File("links/inner.txd"))) << "the inner link was replaced by a file";
    EXPECT_EQ(fs::read_symlink(dir.File("outer.txd")), dir.File("links/inner.txd"));
    EXPECT_EQ(fs::read_symlink(dir.File("links/inner.txd")), "../real/out.txd");
    EXPECT_EQ(fs::status(real).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(EntriesIn(dir.Path()), 3u);
    EXPECT_EQ(EntriesIn(dir.File("links")), 1u);
    EXPECT_EQ(EntriesIn(dir.File("real")), 1u);

    {
        AtomicFile file(dir.File("outer.txd"));
        file.Append(std::vector<uint8_t>{4, 5});
        EXPECT_EQ(EntriesIn(dir.File("real")), 2u) << "the temporary file is not beside the real file";
        file.Commit();
    }
    EXPECT_EQ(ReadBytes(real), (std::vector<uint8_t>{4, 5}));
    EXPECT_TRUE(fs::is_symlink(dir.File("outer.txd")));
    EXPECT_EQ(EntriesIn(dir.File("real")), 1u);
}

// A link to a file that does not exist yet creates that file, in the folder the link names.
TEST(FileIo, SaveThroughALinkToAMissingFileCreatesItAtTheLinksTarget) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoLinksOnWindows;
#endif
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_directory(dir.File("later"));
    fs::create_symlink("later/new.txd", dir.File("new.txd"));
    WriteFileAtomically(dir.File("new.txd"), std::vector<uint8_t>{7});
    EXPECT_EQ(ReadBytes(dir.File("later/new.txd")), (std::vector<uint8_t>{7}));
    EXPECT_TRUE(fs::is_symlink(dir.File("new.txd")));
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(FileIo, SaveThroughALinkLoopFailsAndCreatesNothing) {
#ifdef _WIN32
    GTEST_SKIP() << test::kNoLinksOnWindows;
#endif
    TempDir dir;
    namespace fs = std::filesystem;
    fs::create_symlink("b.txd", dir.File("a.txd"));
    fs::create_symlink("a.txd", dir.File("b.txd"));
    const std::string error = test::ErrorText([&] { WriteFileAtomically(dir.File("a.txd"), std::vector<uint8_t>{1}); });
    EXPECT_NE(error.find("a.txd"), std::string::npos) << error;
    EXPECT_TRUE(fs::is_symlink(dir.File("a.txd")));
    EXPECT_TRUE(fs::is_symlink(dir.File("b.txd")));
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(FileIo, ReadsWholeFilesAndNamesUnreadableOnes) {
    TempDir dir;
    std::vector<uint8_t> big(200000);
    for (size_t i = 0; i < big.size(); ++i) {
        big[i] = static_cast<uint8_t>(i * 7);
    }
    EXPECT_EQ(ReadWholeFile(dir.Write("big.bin", big)), big);
    EXPECT_TRUE(ReadWholeFile(dir.Write("empty.bin", {})).empty());
    const test::Thrown missing = test::ThrownBy([&] { ReadWholeFile(dir.File("nope.bmp")); });
    EXPECT_NE(missing.Message.find("nope.bmp"), std::string::npos) << missing.Message;
    EXPECT_EQ(missing.Kind, ErrorKind::Read);
}

// Names travel as UTF-8 and reach the system as it wants them (on Windows, through the wide calls):
// a name outside every code page opens and saves as well as one in Windows-1252.
TEST(FileIo, NamesOutsideAsciiOpenAndSave) {
    TempDir dir;
    std::filesystem::create_directory(ToFsPath(dir.File("Zo\xC3\xAB")));
    for (const std::string name :
         {"caf\xC3\xA9.txd", "\xE3\x83\x86\xE3\x82\xAF\xE3\x82\xB9\xE3\x83\x81\xE3\x83\xA3.txd"}) {
        const std::string path = dir.File("Zo\xC3\xAB/" + name);
        WriteFileAtomically(path, std::vector<uint8_t>{1, 2});
        {
            TemporaryFile file(dir.File("Zo\xC3\xAB/.build-XXXXXX"), path);
            file.Append(std::vector<uint8_t>{3, 4, 5});
            PutInPlace(file, path);
        }
        EXPECT_TRUE(IsExistingFile(path)) << path;
        EXPECT_NO_THROW(CheckReadableFile(path));
        EXPECT_EQ(ReadWholeFile(path), (std::vector<uint8_t>{3, 4, 5}));
        EXPECT_EQ(ReadFileStart(path, 2).FileSize, 3u);
        const std::filesystem::directory_entry only =
            *std::filesystem::directory_iterator(ToFsPath(dir.File("Zo\xC3\xAB")));
        EXPECT_EQ(FromFsPath(only.path().filename()), name);
        std::filesystem::remove(only.path());
    }
}

// Sizes and offsets are 64-bit everywhere: bytes written past 4 GiB (a sparse file, so it costs no
// disk space) land there, where a 32-bit offset would have put them at the start, and the size read
// back is the whole file's.
TEST(FileIo, SizesBeyondFourGibibytesAreKept) {
    TempDir dir;
    constexpr uint64_t kOffset = (uint64_t{5} << 30) + 1;
    std::string path = dir.File("large-XXXXXX");
    {
        NativeFile file = NativeFile::CreateUnique(path);
        file.WriteAt(kOffset, std::vector<uint8_t>{'e', 'n', 'd'});
        file.WriteAt(0, std::vector<uint8_t>{'s'});
        EXPECT_EQ(file.Size(), kOffset + 3);
        file.Close();
    }
    const FileStart start = ReadFileStart(path, 4);
    EXPECT_EQ(start.FileSize, kOffset + 3);
    EXPECT_EQ(start.Bytes, (std::vector<uint8_t>{'s', 0, 0, 0}));
    EXPECT_EQ(std::filesystem::file_size(ToFsPath(path)), kOffset + 3);
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
