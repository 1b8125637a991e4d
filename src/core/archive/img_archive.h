// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "archive/img_directory.h"
#include "io/native_file.h"

namespace vc {

// An IMG archive on disk with its directory read. Version 2 is told by "VER2" at the start of the
// ".img"; version 1 by the ".dir" beside it (found ignoring the case of its extension), and either
// of the two files may be named. The archive is kept open for reading its entries.
class ImgArchive {
  public:
    // Throws an Error that names the archive when it cannot be read, is neither version, or its
    // directory cannot be read at all; bad entries and a directory cut short are in Directory().
    static ImgArchive Open(std::string_view path);

    const ImgDirectory& Directory() const { return m_directory; }
    const std::string& ImgPath() const { return m_imgPath; }
    // The ".dir" of a version 1 archive; empty for version 2.
    const std::string& DirPath() const { return m_dirPath; }
    // The ".img"'s file name, as messages name the archive.
    std::string_view Name() const;

    // A good entry's bytes: its sectors as far as the archive holds them.
    std::vector<uint8_t> Read(const ImgEntry& entry) const;

  private:
    ImgArchive(std::string imgPath, std::string dirPath, NativeFile img, ImgDirectory directory)
        : m_imgPath(std::move(imgPath)),
          m_dirPath(std::move(dirPath)),
          m_img(std::move(img)),
          m_directory(std::move(directory)) {}

    std::string m_imgPath;
    std::string m_dirPath;
    mutable NativeFile m_img;
    ImgDirectory m_directory;
};

}  // namespace vc
