// SPDX-License-Identifier: GPL-3.0-or-later
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>

#include "ops/config_location.h"
#include "ops/user_folders.h"

namespace vc {

std::filesystem::path EnvironmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

namespace {

// The folder of the user's configurations; empty when the environment names none.
std::filesystem::path UserConfigurations() {
    // Relative values are ignored, as the XDG rules ask.
    if (const std::filesystem::path config = EnvironmentPath("XDG_CONFIG_HOME"); config.is_absolute()) {
        return config;
    }
    if (const std::filesystem::path home = EnvironmentPath("HOME"); home.is_absolute()) {
        return home / ".config";
    }
    // Started without an environment (a service, env -i): the home the system gives the user.
    if (const passwd* user = ::getpwuid(::geteuid()); user != nullptr && user->pw_dir != nullptr) {
        if (const std::filesystem::path home = user->pw_dir; home.is_absolute()) {
            return home / ".config";
        }
    }
    return {};
}

}  // namespace

std::filesystem::path UserConfigFolder() {
    const std::filesystem::path configurations = UserConfigurations();
    if (configurations.empty()) {
        return {};
    }
    const std::filesystem::path folder = configurations / "vellumcraft";
    const std::filesystem::path earlier = configurations / "Vellumcraft";
    std::error_code error;
    return !std::filesystem::exists(folder, error) && std::filesystem::is_directory(earlier, error) ? earlier : folder;
}

std::vector<std::filesystem::path> SystemProgramFolders() {
    return {"/usr", "/opt", "/bin", "/sbin"};
}

bool IsSameFileName(const std::filesystem::path& name, const std::filesystem::path& other) {
    return name == other;
}

bool IsUsersOwnFolder(const std::filesystem::path& folder) {
    struct stat status {};
    return ::stat(folder.c_str(), &status) == 0 && status.st_uid == ::geteuid();
}

std::filesystem::path ExecutableFolder() {
    std::error_code error;
    const std::filesystem::path executable = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::current_path() : executable.parent_path();
}

}  // namespace vc
