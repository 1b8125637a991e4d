// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <vector>

// What the platform tells of the running program and its user.
namespace vc {

// An environment variable's value as a path; empty when it is not set.
std::filesystem::path EnvironmentPath(const char* name);

// The user's own folder for this program's settings: on Windows %APPDATA%\Vellumcraft; elsewhere
// $XDG_CONFIG_HOME/vellumcraft, else ~/.config/vellumcraft with the home from $HOME or, without it,
// the system's record of the user (or Vellumcraft, the name earlier builds gave it, while only that
// one is there). Empty when none is known.
std::filesystem::path UserConfigFolder();

// The folders under which the system's installed programs lie.
std::vector<std::filesystem::path> SystemProgramFolders();

// Whether two names in a path name the same file, as the platform compares them (on Windows,
// ignoring case).
bool IsSameFileName(const std::filesystem::path& name, const std::filesystem::path& other);

// Whether the user running the program owns the folder (on Windows, where owners are access lists
// that only writing tells, any folder).
bool IsUsersOwnFolder(const std::filesystem::path& folder);

}  // namespace vc
