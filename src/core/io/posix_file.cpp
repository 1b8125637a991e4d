#include "io/posix_file.h"

#include <cstring>

#include "io/error.h"

namespace vc {

void ThrowSystemError(ErrorKind kind, const std::string& what, std::string_view path, int error) {
    throw Error(kind, what + " \"" + std::string(path) + "\": " + std::strerror(error));
}

}  // namespace vc
