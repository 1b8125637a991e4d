// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/config_location.h"

#include <algorithm>

#include "io/file_io.h"
#include "io/native_file.h"
#include "ops/user_folders.h"

namespace vc {

bool IsSameOrInside(const std::filesystem::path& folder, const std::filesystem::path& prefix) {
    const auto end = std::mismatch(prefix.begin(), prefix.end(), folder.begin(), folder.end(), IsSameFileName).first;
    // A prefix that ends in a separator ends in an empty name.
    return end == prefix.end() || (std::next(end) == prefix.end() && end->empty());
}

bool IsInstalledProgramFolder(const std::filesystem::path& executableFolder) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::weakly_canonical(executableFolder, error);
    const std::filesystem::path& real = error ? executableFolder : folder;
    const std::vector<std::filesystem::path> prefixes = SystemProgramFolders();
    const bool underPrefix = std::ranges::any_of(
        prefixes, [&](const std::filesystem::path& prefix) { return IsSameOrInside(real, prefix); });
    return underPrefix || !IsUsersOwnFolder(real) || !IsWritableFolder(FromFsPath(real));
}

std::filesystem::path ConfigFolder(const std::filesystem::path& executableFolder) {
    if (const std::filesystem::path chosen = EnvironmentPath("VELLUMCRAFT_CONFIG_DIR"); !chosen.empty()) {
        return chosen;
    }
    if (!IsInstalledProgramFolder(executableFolder)) {
        return executableFolder;
    }
    if (const std::filesystem::path user = UserConfigFolder(); !user.empty()) {
        return user;
    }
    return executableFolder;
}

}  // namespace vc
