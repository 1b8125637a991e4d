// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>
// After windows.h, which it needs.
#include <aclapi.h>

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

// A new file takes its access from the folder it is created in; RenameOnto gives a file that
// replaces another the other's access list.
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

namespace {

// What a replaced file keeps of itself besides its content, as a save in place would keep it: its
// creation time and its access list, given to the new file before it takes the old one's place so
// that the replacement itself stays one rename. As far as the user may: the content must arrive
// either way.
void CarryOverIdentity(const std::wstring& oldFile, const std::wstring& newFile) {
    WIN32_FILE_ATTRIBUTE_DATA old{};
    if (::GetFileAttributesExW(oldFile.c_str(), GetFileExInfoStandard, &old)) {
        const HANDLE file = ::CreateFileW(newFile.c_str(), FILE_WRITE_ATTRIBUTES,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file != INVALID_HANDLE_VALUE) {
            ::SetFileTime(file, &old.ftCreationTime, nullptr, nullptr);
            ::CloseHandle(file);
        }
    }
    PACL access = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(oldFile.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &access,
                                nullptr, &descriptor) != ERROR_SUCCESS) {
        return;
    }
    // Entries the old file inherited are inherited anew from the folder; a list that inherits
    // nothing stays so.
    SECURITY_DESCRIPTOR_CONTROL control = 0;
    DWORD revision = 0;
    const bool isProtected =
        ::GetSecurityDescriptorControl(descriptor, &control, &revision) && (control & SE_DACL_PROTECTED) != 0;
    std::wstring target = newFile;
    ::SetNamedSecurityInfoW(target.data(), SE_FILE_OBJECT,
                            DACL_SECURITY_INFORMATION | (isProtected ? PROTECTED_DACL_SECURITY_INFORMATION
                                                                     : UNPROTECTED_DACL_SECURITY_INFORMATION),
                            nullptr, nullptr, access, nullptr);
    ::LocalFree(descriptor);
}

}  // namespace

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
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        CarryOverIdentity(target, source);
    }
    // One move that replaces the old file, returning once it is on disk: at every moment the name
    // holds the old file or the new one. (ReplaceFileW keeps more of the old file, but moves it
    // away before it moves the new one in, so a crash between the two left neither under the
    // name.) A file from elsewhere may be on another volume, which the move reports.
    if (!::MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return ErrnoOf(::GetLastError());
    }
    // The attributes a user sets are kept.
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
