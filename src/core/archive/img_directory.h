// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// The games' IMG archives: entries stored in sectors of 2048 bytes, found through a directory of
// 32-byte records. Version 1 (GTA III, Vice City) keeps the directory in a ".dir" file beside the
// ".img"; version 2 (San Andreas) starts the ".img" with "VER2", the entry count and the records.
enum class ImgVersion { V1, V2 };

constexpr uint64_t kImgSector = 2048;
constexpr size_t kImgRecordSize = 32;
constexpr size_t kImgNameSize = 24;
constexpr size_t kImgV2HeaderSize = 8;  // "VER2" and the entry count

// One record of the directory, as read and checked against the archive.
struct ImgEntry {
    std::string Name;      // UTF-8, from the record's Windows-1252 bytes
    uint32_t Offset = 0;   // in sectors, from the start of the ".img"
    uint32_t Sectors = 0;  // the entry's length in sectors
    std::string Problem;   // why the entry cannot be used; empty for a good one

    uint64_t ByteOffset() const { return uint64_t{Offset} * kImgSector; }
    uint64_t ByteSize() const { return uint64_t{Sectors} * kImgSector; }
    bool operator==(const ImgEntry&) const = default;
};

using ImgRecordBytes = std::array<uint8_t, kImgRecordSize>;

struct ImgDirectory {
    ImgVersion Version = ImgVersion::V1;
    std::vector<ImgEntry> Entries;        // in directory order, good and bad
    std::vector<ImgRecordBytes> Records;  // each entry's record as the file holds it
    // Set when the directory itself is cut short: the records it promised but does not hold.
    std::string Damage;
};

// The sectors a version 2 directory of count entries takes at the start of its archive.
uint64_t ImgDirectorySectors(uint64_t count);

// Reads a directory: a ".dir" file's bytes for version 1, the start of the ".img" for version 2
// (at least its header; the records the bytes do not hold are reported as damage). Each record is
// checked against an archive of archiveSize bytes: a name that fills its field with no end, or one
// that is no plain file name (a folder separator, a drive, "..", a device name), no sectors, sectors
// past the end of the archive or inside a version 2 directory, sectors another entry uses too, a
// name an earlier entry has (ignoring case, as the games compare them). Such an entry carries its
// problem; the others are good. Version 2 bytes that do not start with "VER2" throw an Error.
ImgDirectory ParseImgDirectory(ImgVersion version, std::span<const uint8_t> bytes, uint64_t archiveSize);

// The record of an entry of a good name (at most 23 bytes in Windows-1252), as a writer makes it.
ImgRecordBytes EncodeImgRecord(ImgVersion version, const ImgEntry& entry);
// A ".dir" file of the records, or a version 2 directory: "VER2", the count, the records.
std::vector<uint8_t> EncodeImgDirectory(ImgVersion version, const std::vector<ImgRecordBytes>& records);

// The index of the good entry of that name, ignoring case.
std::optional<size_t> FindImgEntry(std::span<const ImgEntry> entries, std::string_view name);

// Whether a name matches a pattern ignoring the case of A to Z: "*" stands for any run of
// characters, "?" for any one; every other character for itself.
bool MatchesNamePattern(std::string_view pattern, std::string_view name);

}  // namespace vc
