// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "ops/config_location.h"
#include "ops/user_folders.h"

namespace vc {

std::filesystem::path EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

std::filesystem::path UserConfigFolder() {
    // Relative values are ignored, as the XDG rules ask.
    if (const std::filesystem::path config = EnvironmentPath("XDG_CONFIG_HOME"); config.is_absolute()) {
        return config / "Vellumcraft";
    }
    if (const std::filesystem::path home = EnvironmentPath("HOME"); home.is_absolute()) {
        return home / ".config" / "Vellumcraft";
    }
    return {};
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : executable.parent_path();
}

}  // namespace vc
