// SPDX-License-Identifier: GPL-3.0-or-later
#include <windows.h>

#include <string>

#include "io/wide_text.h"
#include "ops/config_location.h"
#include "ops/user_folders.h"

namespace vc {

// Read through the wide API: the narrow one gives the ANSI code page, which loses names outside it.
std::filesystem::path EnvironmentPath(const char* name) {
    const std::wstring wideName = WideOf(name);
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (length == 0) {
        return {};
    }
    std::wstring value(length, L'\0');
    value.resize(::GetEnvironmentVariableW(wideName.c_str(), value.data(), length));
    return value;
}

std::filesystem::path UserConfigFolder() {
    if (const std::filesystem::path roaming = EnvironmentPath("APPDATA"); roaming.is_absolute()) {
        return roaming / "Vellumcraft";
    }
    return {};
}

std::vector<std::filesystem::path> SystemProgramFolders() {
    std::vector<std::filesystem::path> folders;
    for (const char* name : {"ProgramFiles", "ProgramFiles(x86)", "ProgramW6432"}) {
        if (std::filesystem::path folder = EnvironmentPath(name); folder.is_absolute()) {
            folders.push_back(std::move(folder));
        }
    }
    return folders;
}

bool IsSameFileName(const std::filesystem::path& name, const std::filesystem::path& other) {
    return ::CompareStringOrdinal(name.c_str(), -1, other.c_str(), -1, TRUE) == CSTR_EQUAL;
}

bool IsUsersOwnFolder(const std::filesystem::path&) {
    return true;
}

std::filesystem::path ExecutableFolder() {
    std::wstring executable(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = ::GetModuleFileNameW(nullptr, executable.data(), static_cast<DWORD>(executable.size()));
        if (length == 0) {
            return std::filesystem::current_path();
        }
        if (length < executable.size()) {
            executable.resize(length);
            return std::filesystem::path(executable).parent_path();
        }
        executable.resize(executable.size() * 2);
    }
}

}  // namespace vc
