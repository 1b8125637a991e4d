// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// Paths travel through the program as UTF-8 strings; this gives the platform's path for one.
std::filesystem::path ToFsPath(std::string_view utf8Path);
// The UTF-8 string for a path of the platform (on Windows, path::string() would give the ANSI code
// page, which loses names outside it).
std::string FromFsPath(const std::filesystem::path& path);

// True when the path names an existing regular file (or a link to one).
bool IsExistingFile(std::string_view utf8Path);
// True when the path names an existing folder (or a link to one).
bool IsExistingFolder(std::string_view utf8Path);
// The regular files directly inside a folder (not in its subfolders), as full paths, in no set
// order; throws an Error naming the folder when it cannot be listed.
std::vector<std::string> FilesInFolder(std::string_view utf8Folder);
// The path made absolute against the working folder, "." and ".." resolved by name; a Windows path
// that begins "\\?\" stays as written, since Windows takes it so.
std::string AbsolutePath(std::string_view utf8Path);
// A relative path taken as relative to folder; absolute and empty paths stay as they are.
std::string ResolvedAgainst(std::string_view folder, std::string_view utf8Path);

// Throws an Error naming the file and the reason unless it is a regular file that can be opened
// for reading.
void CheckReadableFile(std::string_view utf8Path);

// Reads a whole file; throws an Error naming the file and the reason when it cannot be read.
std::vector<uint8_t> ReadWholeFile(std::string_view utf8Path);

// The first bytes of a file, at most maxBytes, and the size of the whole file.
struct FileStart {
    std::vector<uint8_t> Bytes;
    uint64_t FileSize = 0;
};
FileStart ReadFileStart(std::string_view utf8Path, size_t maxBytes);

}  // namespace vc
