// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>

// What the platform tells of the running program and its user.
namespace vc {

// An environment variable's value as a path; empty when it is not set.
std::filesystem::path EnvironmentPath(const char* name);

// The user's own folder for this program's settings: on Windows %APPDATA%\Vellumcraft; elsewhere
// $XDG_CONFIG_HOME/Vellumcraft, else ~/.config/Vellumcraft. Empty when the environment names none.
std::filesystem::path UserConfigFolder();

}  // namespace vc
