// SPDX-License-Identifier: GPL-3.0-or-later
#include "img_files.h"

#include <algorithm>

#include "io/byte_writer.h"

namespace vc::test {

Bytes ImgRecordBytes(ImgVersion version, const ImgRecord& record) {
    ByteWriter out;
    out.U32(record.Offset);
    if (version == ImgVersion::V1) {
        out.U32(record.Sectors);
    } else {
        out.U16(static_cast<uint16_t>(record.Sectors));
        out.U16(0);
    }
    Bytes name(kImgNameSize, 0);
    std::copy_n(record.Name.begin(), std::min(record.Name.size(), kImgNameSize), name.begin());
    out.Append(name);
    return out.Take();
}

Bytes ImgDirectoryBytes(ImgVersion version, const std::vector<ImgRecord>& records, std::optional<uint32_t> count) {
    ByteWriter out;
    if (version == ImgVersion::V2) {
        out.Append(Bytes{'V', 'E', 'R', '2'});
        out.U32(count.value_or(static_cast<uint32_t>(records.size())));
    }
    for (const ImgRecord& record : records) {
        out.Append(ImgRecordBytes(version, record));
    }
    return out.Take();
}

ImgFiles MakeImgArchive(ImgVersion version, const std::vector<ImgFile>& files) {
    std::vector<ImgRecord> records;
    uint64_t sector = version == ImgVersion::V2 ? ImgDirectorySectors(files.size()) : 0;
    for (const ImgFile& file : files) {
        const auto sectors = static_cast<uint32_t>((file.Content.size() + kImgSector - 1) / kImgSector);
        records.push_back({file.Name, static_cast<uint32_t>(sector), sectors});
        sector += sectors;
    }
    ImgFiles archive;
    Bytes directory = ImgDirectoryBytes(version, records);
    (version == ImgVersion::V2 ? archive.Img : archive.Dir) = directory;
    archive.Img.resize(records.empty() ? archive.Img.size() : records.front().Offset * kImgSector, 0);
    for (const ImgFile& file : files) {
        archive.Img.insert(archive.Img.end(), file.Content.begin(), file.Content.end());
        archive.Img.resize((archive.Img.size() + kImgSector - 1) / kImgSector * kImgSector, 0);
    }
    return archive;
}

}  // namespace vc::test
