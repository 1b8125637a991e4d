// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "archive/img_archive.h"
#include "io/byte_source.h"

namespace vc {

// An entry of an archive named as ARCHIVE:NAME ("models/gta3.img:infernus.txd"): the archive is
// what comes before the last ":" when that names an ".img" or ".dir" file, and the name after it is
// a plain file name. A drive's colon ("C:\cars.txd") never makes one.
struct ArchiveAddress {
    std::string Archive;
    std::string Entry;
};
std::optional<ArchiveAddress> ArchiveAddressOf(std::string_view path);

// Whether a path names an archive's ".img" or ".dir" file, by its extension in any case.
bool IsImgArchivePath(std::string_view path);

// Reads files and the entries of archives named as ARCHIVE:NAME, keeping each archive it opened,
// so that a batch over many entries reads an archive's directory once. Workers may read at once.
class ArchiveReader {
  public:
    // The bytes of a file, or of the archive's entry a path names. Throws an Error naming the
    // archive and the entry when the archive holds no good entry of that name.
    std::vector<uint8_t> Read(std::string_view path);
    // The same bytes as a source: a file is read as they are asked for, an entry is read whole.
    std::unique_ptr<ByteSource> Open(std::string_view path);

    // The paths as given, but each ARCHIVE:PATTERN whose name holds "*" or "?" stands for the good
    // entries of the archive it matches (ignoring case), in directory order. Throws an Error naming
    // the archive and the pattern when it matches none.
    std::vector<std::string> ExpandPatterns(std::span<const std::string_view> paths);

  private:
    const ImgArchive& Opened(const std::string& archive);

    std::mutex m_mutex;
    std::map<std::string, ImgArchive, std::less<>> m_archives;
};

// The bytes of one file or entry, as ArchiveReader reads and opens them.
std::vector<uint8_t> ReadFileOrEntry(std::string_view path);
std::unique_ptr<ByteSource> OpenFileOrEntry(std::string_view path);

// The file name a path gives its contents: the entry's for ARCHIVE:NAME.
std::string_view NamedFileName(std::string_view path);

}  // namespace vc
