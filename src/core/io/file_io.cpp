#include "io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include "io/error.h"

namespace vc {

namespace {

std::string Quoted(std::string_view path) {
    return "\"" + std::string(path) + "\"";
}

[[noreturn]] void ThrowSystemError(const std::string& what, std::string_view path, int error) {
    throw Error(what + " " + Quoted(path) + ": " + std::strerror(error));
}

// Owns a POSIX file descriptor.
class FileDescriptor {
  public:
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    ~FileDescriptor() {
        if (m_fd >= 0) {
            ::close(m_fd);
        }
    }
    int Get() const { return m_fd; }
    // Closes now and reports the result, since a failed close can mean lost data.
    int Close() {
        const int result = ::close(m_fd);
        m_fd = -1;
        return result;
    }

  private:
    int m_fd;
};

// Removes the temporary file unless the rename took it over.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string path) : m_path(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!m_kept) {
            ::unlink(m_path.c_str());
        }
    }
    const std::string& Path() const { return m_path; }
    void Keep() { m_kept = true; }

  private:
    std::string m_path;
    bool m_kept = false;
};

void WriteAll(int fd, std::span<const uint8_t> bytes, std::string_view path) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError("Cannot write file", path, errno);
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
    }
}

mode_t ModeForNewFile(const std::string& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

std::filesystem::path ToFsPath(std::string_view utf8Path) {
    return std::filesystem::path(std::u8string(utf8Path.begin(), utf8Path.end()));
}

bool IsExistingFile(std::string_view utf8Path) {
    std::error_code error;
    return std::filesystem::is_regular_file(ToFsPath(utf8Path), error);
}

void CheckReadableFile(std::string_view utf8Path) {
    const std::string path = ToFsPath(utf8Path).string();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0) {
        ThrowSystemError("Cannot open file", utf8Path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        ThrowSystemError("Cannot open file", utf8Path, S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    }
}

std::vector<uint8_t> ReadWholeFile(std::string_view utf8Path) {
    const std::string path = ToFsPath(utf8Path).string();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        ThrowSystemError("Cannot open file", utf8Path, errno);
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        ThrowSystemError("Cannot read file", utf8Path, errno);
    }
    // Read straight into a buffer of the size the file reports; a file that grows meanwhile
    // continues through the overflow chunk.
    std::vector<uint8_t> bytes(S_ISREG(status.st_mode) ? static_cast<size_t>(status.st_size) : 0);
    size_t filled = 0;
    uint8_t overflow[1 << 16];
    for (;;) {
        const bool full = filled == bytes.size();
        uint8_t* target = full ? overflow : bytes.data() + filled;
        const ssize_t count = ::read(file.Get(), target, full ? sizeof overflow : bytes.size() - filled);
        if (count < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError("Cannot read file", utf8Path, errno);
        }
        if (count == 0) {
            bytes.resize(filled);
            return bytes;
        }
        if (full) {
            bytes.insert(bytes.end(), overflow, overflow + count);
        }
        filled += static_cast<size_t>(count);
    }
}

FileStart ReadFileStart(std::string_view utf8Path, size_t maxBytes) {
    const std::string path = ToFsPath(utf8Path).string();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat status {};
    if (file.Get() < 0 || ::fstat(file.Get(), &status) != 0) {
        ThrowSystemError("Cannot open file", utf8Path, errno);
    }
    FileStart start;
    start.FileSize = static_cast<uint64_t>(status.st_size);
    start.Bytes.resize(static_cast<size_t>(std::min<uint64_t>(maxBytes, start.FileSize)));
    size_t filled = 0;
    while (filled < start.Bytes.size()) {
        const ssize_t count = ::read(file.Get(), start.Bytes.data() + filled, start.Bytes.size() - filled);
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            ThrowSystemError("Cannot read file", utf8Path, errno);
        }
        if (count == 0) {
            break;  // the file shrank meanwhile
        }
        filled += static_cast<size_t>(count);
    }
    start.Bytes.resize(filled);
    return start;
}

void WriteFileAtomically(std::string_view utf8Path, std::span<const uint8_t> bytes) {
    const std::string target = ToFsPath(utf8Path).string();
    std::string pattern = target + ".tmp-XXXXXX";
    FileDescriptor file(::mkstemp(pattern.data()));
    if (file.Get() < 0) {
        ThrowSystemError("Cannot create file", utf8Path, errno);
    }
    TemporaryFile temporary(pattern);
    WriteAll(file.Get(), bytes, utf8Path);
    if (::fchmod(file.Get(), ModeForNewFile(target)) != 0 || ::fsync(file.Get()) != 0 || file.Close() != 0) {
        ThrowSystemError("Cannot write file", utf8Path, errno);
    }
    if (::rename(temporary.Path().c_str(), target.c_str()) != 0) {
        ThrowSystemError("Cannot replace file", utf8Path, errno);
    }
    temporary.Keep();
}

}  // namespace vc
