#include "settings/config_location.h"

#include <unistd.h>

#include <cstdlib>

namespace vc {

namespace {

std::filesystem::path EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

}  // namespace

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : executable.parent_path();
}

std::filesystem::path ConfigFolder(const std::filesystem::path& executableFolder) {
    if (const std::filesystem::path chosen = EnvironmentPath("VELLUMCRAFT_CONFIG_DIR"); !chosen.empty()) {
        return chosen;
    }
    if (::access(executableFolder.c_str(), W_OK) == 0) {
        return executableFolder;
    }
    // Relative values are ignored, as the XDG rules ask.
    if (const std::filesystem::path config = EnvironmentPath("XDG_CONFIG_HOME"); config.is_absolute()) {
        return config / "Vellumcraft";
    }
    if (const std::filesystem::path home = EnvironmentPath("HOME"); home.is_absolute()) {
        return home / ".config" / "Vellumcraft";
    }
    return executableFolder;
}

}  // namespace vc
