// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/config_location.h"

#include "io/file_io.h"
#include "io/native_file.h"
#include "ops/user_folders.h"

namespace vc {

std::filesystem::path ConfigFolder(const std::filesystem::path& executableFolder) {
    if (const std::filesystem::path chosen = EnvironmentPath("VELLUMCRAFT_CONFIG_DIR"); !chosen.empty()) {
        return chosen;
    }
    if (IsWritableFolder(FromFsPath(executableFolder))) {
        return executableFolder;
    }
    if (const std::filesystem::path user = UserConfigFolder(); !user.empty()) {
        return user;
    }
    return executableFolder;
}

}  // namespace vc
