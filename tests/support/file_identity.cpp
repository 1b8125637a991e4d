// SPDX-License-Identifier: GPL-3.0-or-later
#include "file_identity.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

#include "io/file_io.h"

namespace vc::test {

uint64_t FileIdOf(const std::string& utf8Path) {
#ifdef _WIN32
    const HANDLE file =
        ::CreateFileW(ToFsPath(utf8Path).c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                      OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return 0;
    }
    BY_HANDLE_FILE_INFORMATION information{};
    const bool known = ::GetFileInformationByHandle(file, &information);
    ::CloseHandle(file);
    return known ? uint64_t{information.nFileIndexHigh} << 32 | information.nFileIndexLow : 0;
#else
    struct stat status {};
    return ::stat(utf8Path.c_str(), &status) == 0 ? status.st_ino : 0;
#endif
}

}  // namespace vc::test
