// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

namespace vc {

// The folder of the running executable.
std::filesystem::path ExecutableFolder();

// Where the settings file and the chunk log live: the folder named by VELLUMCRAFT_CONFIG_DIR when
// it is set; otherwise beside the executable when that folder is writable; otherwise the user's
// configuration folder (UserConfigFolder).
std::filesystem::path ConfigFolder(const std::filesystem::path& executableFolder);

}  // namespace vc
