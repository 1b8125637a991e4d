#include "io/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>

#include "io/posix_file.h"

namespace vc {

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
        ThrowSystemError(ErrorKind::Read, "Cannot open file", utf8Path, errno);
    }
    if (!S_ISREG(status.st_mode)) {
        ThrowSystemError(ErrorKind::Read, "Cannot open file", utf8Path, S_ISDIR(status.st_mode) ? EISDIR : EINVAL);
    }
}

std::vector<uint8_t> ReadWholeFile(std::string_view utf8Path) {
    const std::string path = ToFsPath(utf8Path).string();
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        ThrowSystemError(ErrorKind::Read, "Cannot open file", utf8Path, errno);
    }
    struct stat status {};
    if (::fstat(file.Get(), &status) != 0) {
        ThrowSystemError(ErrorKind::Read, "Cannot read file", utf8Path, errno);
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
            ThrowSystemError(ErrorKind::Read, "Cannot read file", utf8Path, errno);
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
        ThrowSystemError(ErrorKind::Read, "Cannot open file", utf8Path, errno);
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
            ThrowSystemError(ErrorKind::Read, "Cannot read file", utf8Path, errno);
        }
        if (count == 0) {
            break;  // the file shrank meanwhile
        }
        filled += static_cast<size_t>(count);
    }
    start.Bytes.resize(filled);
    return start;
}

}  // namespace vc
