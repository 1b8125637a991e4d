// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <vector>

namespace vc {

// Whether the files a folder stands for include the dictionaries in it, which only the window
// opens.
enum class FolderDictionaries { Left, Included };

// The files a batch of chosen or dropped paths stands for, in order: a folder gives the images and
// texture lists (text files with the list's section) directly inside it (not those in its
// subfolders), and its dictionaries when asked,
// sorted by name; a folder that holds none stays as it is, so that adding it reports a folder.
// Other paths pass unchanged.
std::vector<std::string> ExpandFolders(std::span<const std::string> paths, FolderDictionaries dictionaries);

}  // namespace vc
