// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>
#include <utility>

#include "io/file_io.h"
#include "io/native_file.h"
#include "io/system_error.h"

namespace vc {

namespace {

// ReadFile and WriteFile count in 32 bits; larger transfers go in pieces of this size.
constexpr DWORD kLargestTransfer = DWORD{1} << 30;

// The attributes of a file that a user sets and that its replacement keeps.
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;

// Tries of a new name before CreateUnique gives up, as mkstemp does.
constexpr int kNameTries = 100;

// The reason for a failure as the errno value that POSIX would give, so that messages read the same
// on every platform.
int ErrnoOf(DWORD error) {
    switch (error) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
        case ERROR_BAD_NETPATH:
        case ERROR_BAD_NET_NAME:
        case ERROR_BAD_PATHNAME:
            return ENOENT;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
        case ERROR_CURRENT_DIRECTORY:
            return EACCES;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return EEXIST;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ENOSPC;
        case ERROR_NOT_SAME_DEVICE:
            return EXDEV;
        case ERROR_NOT_ENOUGH_MEMORY:
        case ERROR_OUTOFMEMORY:
            return ENOMEM;
        case ERROR_DIRECTORY:
            return ENOTDIR;
        case ERROR_FILENAME_EXCED_RANGE:
            return ENAMETOOLONG;
        case ERROR_TOO_MANY_OPEN_FILES:
            return EMFILE;
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER:
            return EINVAL;
        default:
            return EIO;
    }
}

[[noreturn]] void ThrowLastError(ErrorKind kind, const std::string& what, std::string_view name) {
    ThrowSystemError(kind, what, name, ErrnoOf(::GetLastError()));
}

BY_HANDLE_FILE_INFORMATION InformationOf(HANDLE handle, const std::string& errorName) {
    BY_HANDLE_FILE_INFORMATION information{};
    if (!::GetFileInformationByHandle(handle, &information)) {
        ThrowLastError(ErrorKind::Read, "Cannot read file", errorName);
    }
    return information;
}

FileKind KindOf(HANDLE handle, const BY_HANDLE_FILE_INFORMATION& information) {
    if ((information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return FileKind::Folder;
    }
    return ::GetFileType(handle) == FILE_TYPE_DISK ? FileKind::Regular : FileKind::Other;
}

bool IsFolder(const std::wstring& path) {
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Six characters for a unique name. Each call seeds its own generator from a counter the process's
// threads share, so that calls do not repeat one another.
std::string UniqueNamePart() {
    static std::atomic<uint64_t> counter{
        std::random_device{}() ^ static_cast<uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count())};
    static constexpr std::string_view kLetters = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::mt19937_64 generator(counter.fetch_add(0x9E3779B97F4A7C15ULL));
    std::string part(6, ' ');
    for (char& letter : part) {
        letter = kLetters[generator() % kLetters.size()];
    }
    return part;
}

}  // namespace

NativeFile NativeFile::OpenForReading(std::string_view utf8Path, std::string_view errorName) {
    const std::string_view name = errorName.empty() ? utf8Path : errorName;
    // Backup semantics let a folder open too, so that it is reported as a folder rather than as a
    // file access is denied to.
    const HANDLE handle =
        ::CreateFileW(ToFsPath(utf8Path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ThrowLastError(ErrorKind::Read, "Cannot open file", name);
    }
    return NativeFile(handle, std::string(name));
}

NativeFile NativeFile::OpenForUpdate(std::string_view utf8Path, std::string_view errorName) {
    const std::string_view name = errorName.empty() ? utf8Path : errorName;
    const HANDLE handle =
        ::CreateFileW(ToFsPath(utf8Path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        ThrowLastError(ErrorKind::Write, "Cannot open file", name);
    }
    return NativeFile(handle, std::string(name));
}

NativeFile NativeFile::CreateUnique(std::string& pathTemplate, std::string_view errorName) {
    const auto name = [&] { return std::string(errorName.empty() ? std::string_view(pathTemplate) : errorName); };
    if (pathTemplate.size() < 6 || !pathTemplate.ends_with("XXXXXX")) {
        ThrowSystemError(ErrorKind::Write, "Cannot create file", name(), EINVAL);
    }
    for (int attempt = 0; attempt < kNameTries; ++attempt) {
        pathTemplate.replace(pathTemplate.size() - 6, 6, UniqueNamePart());
        const HANDLE handle = ::CreateFileW(ToFsPath(pathTemplate).c_str(), GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                                            FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle != INVALID_HANDLE_VALUE) {
            return NativeFile(handle, name());
        }
        if (const DWORD error = ::GetLastError(); error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) {
            ThrowSystemError(ErrorKind::Write, "Cannot create file", name(), ErrnoOf(error));
        }
    }
    ThrowSystemError(ErrorKind::Write, "Cannot create file", name(), EEXIST);
}

NativeFile::Handle NativeFile::NoHandle() {
    return INVALID_HANDLE_VALUE;
}

void NativeFile::Release(Handle handle) {
    ::CloseHandle(handle);
}

FileKind NativeFile::Kind() const {
    return KindOf(m_handle, InformationOf(m_handle, m_errorName));
}

uint64_t NativeFile::Size() const {
    const BY_HANDLE_FILE_INFORMATION information = InformationOf(m_handle, m_errorName);
    return KindOf(m_handle, information) == FileKind::Regular
               ? uint64_t{information.nFileSizeHigh} << 32 | information.nFileSizeLow
               : 0;
}

size_t NativeFile::Read(std::span<uint8_t> bytes) {
    DWORD count = 0;
    const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size(), kLargestTransfer));
    if (!::ReadFile(m_handle, bytes.data(), wanted, &count, nullptr)) {
        // A folder opens for reading but cannot be read, as on POSIX.
        if (Kind() == FileKind::Folder) {
            ThrowSystemError(ErrorKind::Read, "Cannot read file", m_errorName, EISDIR);
        }
        ThrowLastError(ErrorKind::Read, "Cannot read file", m_errorName);
    }
    return count;
}

size_t NativeFile::ReadAt(uint64_t offset, std::span<uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(offset + done);
        position.OffsetHigh = static_cast<DWORD>((offset + done) >> 32);
        DWORD count = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, kLargestTransfer));
        if (!::ReadFile(m_handle, bytes.data() + done, wanted, &count, &position)) {
            if (::GetLastError() == ERROR_HANDLE_EOF) {
                break;
            }
            ThrowLastError(ErrorKind::Read, "Cannot read file", m_errorName);
        }
        if (count == 0) {
            break;
        }
        done += count;
    }
    return done;
}

void NativeFile::WriteAt(uint64_t offset, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        OVERLAPPED position{};
        position.Offset = static_cast<DWORD>(offset);
        position.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD written = 0;
        const DWORD wanted = static_cast<DWORD>(std::min<size_t>(bytes.size(), kLargestTransfer));
        if (!::WriteFile(m_handle, bytes.data(), wanted, &written, &position)) {
            ThrowLastError(ErrorKind::Write, "Cannot write file", m_errorName);
        }
        bytes = bytes.subspan(written);
        offset += written;
    }
}

// Windows has no call that starts writeback without waiting for it; the flush does it all.
void NativeFile::StartWriteback(uint64_t, uint64_t) {}

// A new file takes its access from the folder it is created in; a file it replaces keeps its own,
// since RenameOnto replaces rather than moves onto an existing file.
void NativeFile::TakeAccessFor(const std::string&) {}

void NativeFile::FlushToDisk() {
    if (!::FlushFileBuffers(m_handle)) {
        ThrowLastError(ErrorKind::Write, "Cannot write file", m_errorName);
    }
}

void NativeFile::Close() {
    if (!::CloseHandle(std::exchange(m_handle, INVALID_HANDLE_VALUE))) {
        ThrowLastError(ErrorKind::Write, "Cannot write file", m_errorName);
    }
}

int RenameOnto(const std::string& from, const std::string& to) {
    const std::filesystem::path targetPath = ToFsPath(to);
    const std::filesystem::path sourcePath = ToFsPath(from);
    const std::wstring target = targetPath.wstring();
    const std::wstring source = sourcePath.wstring();
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    // A folder is never replaced; say so as POSIX does rather than as a denied access.
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return EISDIR;
    }
    // An existing file is replaced in a way that keeps what Windows keeps of it: its access list,
    // its creation time and its other streams. The new file is written beside it (a file from
    // elsewhere may be on another volume, which the move below reports).
    const bool replaced =
        attributes != INVALID_FILE_ATTRIBUTES && sourcePath.parent_path() == targetPath.parent_path() &&
        ::ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr);
    // Otherwise, or when the replacement failed, a plain move, which returns only once it is on disk:
    // a file system without the call leaves both files as they were, and one rename too many can
    // leave the old file removed and the new one beside it; the move finishes either.
    if (!replaced &&
        !::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return ErrnoOf(::GetLastError());
    }
    // The attributes a user sets are kept either way (not every implementation of the
    // replacement carries them over).
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKeptAttributes) != 0) {
        const DWORD now = ::GetFileAttributesW(target.c_str());
        if (now != INVALID_FILE_ATTRIBUTES) {
            ::SetFileAttributesW(target.c_str(), (now & ~kKeptAttributes) | (attributes & kKeptAttributes));
        }
    }
    return 0;
}

void RemoveFile(const std::string& utf8Path) {
    ::DeleteFileW(ToFsPath(utf8Path).c_str());
}

// The move tells when the volumes differ (ERROR_NOT_SAME_DEVICE), before anything has changed.
bool MayRenameInto(const std::string&, const std::string&) {
    return true;
}

// Windows has no reliable test of the right to create files in a folder short of creating one (a
// folder's read-only attribute means nothing, and access lists decide), so one is created and
// removed.
bool IsWritableFolder(const std::string& utf8Folder) {
    if (!IsFolder(ToFsPath(utf8Folder).wstring())) {
        return false;
    }
    std::string probe = FromFsPath(ToFsPath(utf8Folder) / ".vellumcraft-probe-XXXXXX");
    try {
        NativeFile::CreateUnique(probe, probe).Close();
    } catch (const Error&) {
        return false;
    }
    RemoveFile(probe);
    return true;
}

// Each file of a batch was flushed as it was closed.
void FlushFileSystemsOf(std::span<const std::string>, std::span<const std::string>) {}

}  // namespace vc
