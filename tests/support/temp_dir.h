// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vc::test {

// A fresh folder under the system's temporary folder, removed with everything in it.
class TempDir {
  public:
    TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    ~TempDir();

    // The path of a file in this folder, as a UTF-8 string.
    std::string File(std::string_view name) const;
    // Writes the bytes to a file in this folder and returns its path.
    std::string Write(std::string_view name, std::span<const uint8_t> bytes) const;
    std::string WriteText(std::string_view name, std::string_view text) const;
    const std::filesystem::path& Path() const { return m_path; }

  private:
    std::filesystem::path m_path;
};

std::vector<uint8_t> ReadBytes(const std::string& path);
// The names of the files and folders in a folder, sorted.
std::vector<std::string> NamesIn(const std::filesystem::path& folder);
std::string ReadText(const std::string& path);

}  // namespace vc::test
