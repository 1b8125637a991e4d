// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace vc {

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

// Whether folder is prefix or lies inside it, comparing names as the platform does.
bool IsSameOrInside(const std::filesystem::path& folder, const std::filesystem::path& prefix);

// Whether the program in this folder was installed on the system rather than built or unpacked by
// its user: the folder lies under a system prefix (/usr, /opt, /bin, /sbin; on Windows the Program
// Files folders), or is not the user's own, or cannot be written.
bool IsInstalledProgramFolder(const std::filesystem::path& executableFolder);

// Where the settings file and the chunk log live: the folder named by VELLUMCRAFT_CONFIG_DIR when
// it is set; beside a program run from its own folder (a build tree, an unpacked zip); the user's
// configuration folder (UserConfigFolder) for an installed one.
std::filesystem::path ConfigFolder(const std::filesystem::path& executableFolder);

}  // namespace vc
