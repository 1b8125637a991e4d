// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "archive/img_directory.h"

namespace vc::test {

using Bytes = std::vector<uint8_t>;

// One record of an archive's directory as a test writes it: the name's bytes as given (24 of
// them fill the field with no end), the sectors where the entry lies and how many.
struct ImgRecord {
    std::string Name;
    uint32_t Offset = 0;
    uint32_t Sectors = 0;
};

// The 32 bytes of a record; version 2 keeps the size as a 16-bit streaming size.
Bytes ImgRecordBytes(ImgVersion version, const ImgRecord& record);
// A version 1 ".dir" of the records, or the start of a version 2 ".img": "VER2", the count
// (the records' unless given), the records.
Bytes ImgDirectoryBytes(ImgVersion version, const std::vector<ImgRecord>& records, std::optional<uint32_t> count = {});

// A whole archive of the given files, each in sectors of its own after the directory, filled with
// zeros to a whole sector: the ".img" and, for version 1, the ".dir".
struct ImgFiles {
    Bytes Img;
    Bytes Dir;
};
struct ImgFile {
    std::string Name;
    Bytes Content;
};
ImgFiles MakeImgArchive(ImgVersion version, const std::vector<ImgFile>& files);

}  // namespace vc::test
