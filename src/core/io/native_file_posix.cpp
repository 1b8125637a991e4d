// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <set>
#include <utility>

#include "io/file_io.h"
#include "io/native_file.h"
#include "io/system_error.h"

namespace vc {

namespace {

struct stat StatusOf(int fd, const std::string& errorName) {
    struct stat status {};
    if (::fstat(fd, &status) != 0) {
        ThrowSystemError(ErrorKind::Read, "Cannot read file", errorName, errno);
    }
    return status;
}

// The file mode creation mask, read once while the program starts, before any thread runs: it can
// only be read by setting it, and a mask of 0 set for a moment would give files that other threads
// create meanwhile more access than the user allows.
const mode_t kCreationMask = [] {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return mask;
}();

mode_t ModeForNewFile(const std::string& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    return 0666 & ~kCreationMask;
}

// An existing file opened with flags; a failure throws an Error of that kind naming the file.
int OpenExisting(std::string_view utf8Path, std::string_view name, int flags, ErrorKind failure) {
    const int fd = ::open(std::string(utf8Path).c_str(), flags | O_CLOEXEC);
    if (fd < 0) {
        ThrowSystemError(failure, "Cannot open file", name, errno);
    }
    return fd;
}

std::string FolderOf(const std::string& path) {
    const std::string folder = FromFsPath(ToFsPath(path).parent_path());
    return folder.empty() ? "." : folder;
}

}  // namespace

NativeFile NativeFile::OpenForReading(std::string_view utf8Path, std::string_view errorName) {
    const std::string_view name = errorName.empty() ? utf8Path : errorName;
    return NativeFile(OpenExisting(utf8Path, name, O_RDONLY, ErrorKind::Read), std::string(name));
}

NativeFile NativeFile::OpenForUpdate(std::string_view utf8Path, std::string_view errorName) {
    const std::string_view name = errorName.empty() ? utf8Path : errorName;
    return NativeFile(OpenExisting(utf8Path, name, O_RDWR, ErrorKind::Write), std::string(name));
}

NativeFile NativeFile::CreateUnique(std::string& pathTemplate, std::string_view errorName) {
    const auto name = [&] { return std::string(errorName.empty() ? std::string_view(pathTemplate) : errorName); };
    const int fd = ::mkostemp(pathTemplate.data(), O_CLOEXEC);
    if (fd < 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot create file", name(), errno);
    }
    return NativeFile(fd, name());
}

NativeFile::Handle NativeFile::NoHandle() {
    return -1;
}

void NativeFile::Release(Handle handle) {
    ::close(handle);
}

FileKind NativeFile::Kind() const {
    const mode_t mode = StatusOf(m_handle, m_errorName).st_mode;
    return S_ISREG(mode) ? FileKind::Regular : S_ISDIR(mode) ? FileKind::Folder : FileKind::Other;
}

uint64_t NativeFile::Size() const {
    const struct stat status = StatusOf(m_handle, m_errorName);
    return S_ISREG(status.st_mode) ? static_cast<uint64_t>(status.st_size) : 0;
}

size_t NativeFile::Read(std::span<uint8_t> bytes) {
    for (;;) {
        const ssize_t count = ::read(m_handle, bytes.data(), bytes.size());
        if (count >= 0) {
            return static_cast<size_t>(count);
        }
        if (errno != EINTR) {
            ThrowSystemError(ErrorKind::Read, "Cannot read file", m_errorName, errno);
        }
    }
}

size_t NativeFile::ReadAt(uint64_t offset, std::span<uint8_t> bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count =
            ::pread(m_handle, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (count == 0) {
            break;
        }
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError(ErrorKind::Read, "Cannot read file", m_errorName, errno);
        }
        done += static_cast<size_t>(count);
    }
    return done;
}

void NativeFile::WriteAt(uint64_t offset, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(m_handle, bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError(ErrorKind::Write, "Cannot write file", m_errorName, errno);
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
        offset += static_cast<uint64_t>(written);
    }
}

void NativeFile::StartWriteback([[maybe_unused]] uint64_t offset, [[maybe_unused]] uint64_t length) {
#ifdef __linux__
    // Only a hint: a failure here shows again, and is reported, when the file is flushed.
    ::sync_file_range(m_handle, static_cast<off_t>(offset), static_cast<off_t>(length), SYNC_FILE_RANGE_WRITE);
#endif
}

void NativeFile::TakeAccessFor(const std::string& target) {
    if (::fchmod(m_handle, ModeForNewFile(target)) != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot write file", m_errorName, errno);
    }
}

void NativeFile::FlushToDisk() {
    if (::fsync(m_handle) != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot write file", m_errorName, errno);
    }
}

void NativeFile::Close() {
    const int result = ::close(std::exchange(m_handle, -1));
    if (result != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot write file", m_errorName, errno);
    }
}

int RenameOnto(const std::string& from, const std::string& to) {
    return ::rename(from.c_str(), to.c_str()) == 0 ? 0 : errno;
}

void RemoveFile(const std::string& utf8Path) {
    ::unlink(utf8Path.c_str());
}

bool MayRenameInto(const std::string& utf8Path, const std::string& folder) {
    struct stat file {};
    struct stat place {};
    return ::stat(utf8Path.c_str(), &file) == 0 && ::stat(folder.empty() ? "." : folder.c_str(), &place) == 0 &&
           file.st_dev == place.st_dev;
}

bool IsWritableFolder(const std::string& utf8Folder) {
    std::error_code error;
    return std::filesystem::is_directory(ToFsPath(utf8Folder), error) && ::access(utf8Folder.c_str(), W_OK | X_OK) == 0;
}

void FlushFileSystemsOf(std::span<const std::string> targets, std::span<const std::string> names) {
    // A link may lead a target onto another file system: each one that holds a file is flushed.
    std::set<dev_t> flushed;
    for (size_t i = 0; i < targets.size(); ++i) {
        const std::string folder = FolderOf(targets[i]);
        struct stat status {};
        if (::stat(folder.c_str(), &status) != 0) {
            ThrowSystemError(ErrorKind::Write, "Cannot write file", names[i], errno);
        }
        if (!flushed.insert(status.st_dev).second) {
            continue;
        }
        const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        const int result = fd < 0 ? -1 : ::syncfs(fd);
        const int error = errno;
        if (fd >= 0) {
            ::close(fd);
        }
        if (result != 0) {
            ThrowSystemError(ErrorKind::Write, "Cannot write file", names[i], error);
        }
    }
}

}  // namespace vc
