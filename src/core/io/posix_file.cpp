#include "io/posix_file.h"

#include <fcntl.h>

#include <cerrno>
#include <cstring>

#include "io/error.h"

namespace vc {

void ThrowSystemError(ErrorKind kind, const std::string& what, std::string_view path, int error) {
    throw Error(kind, what + " \"" + std::string(path) + "\": " + std::strerror(error));
}

void SyncFileSystemOf(const std::string& folder, std::string_view utf8Path) {
    const FileDescriptor handle(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (handle.Get() < 0 || ::syncfs(handle.Get()) != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot write file", utf8Path, errno);
    }
}

}  // namespace vc
