#pragma once

#include <unistd.h>

#include <string>
#include <string_view>

#include "io/error.h"

namespace vc {

// Throws an Error such as: Cannot open file "/x/a.bmp": No such file or directory.
[[noreturn]] void ThrowSystemError(ErrorKind kind, const std::string& what, std::string_view path, int error);

// Flushes everything written to the file system that holds the folder; an error names the file
// whose writing it completes.
void SyncFileSystemOf(const std::string& folder, std::string_view utf8Path);

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

}  // namespace vc
