// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/img_directory.h"

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "io/byte_reader.h"
#include "io/code_page.h"
#include "io/error.h"
#include "io/file_names.h"
#include "io/safe_file_names.h"

namespace vc {

namespace {

constexpr std::string_view kV2Magic = "VER2";
// Where a record keeps its fields.
constexpr size_t kSizeAt = 4;
constexpr size_t kNameAt = 8;

// Reads the record's name and size; a name is what comes before its first zero.
ImgEntry ReadRecord(ImgVersion version, const uint8_t* record) {
    ImgEntry entry;
    entry.Offset = LoadU32(record);
    if (version == ImgVersion::V1) {
        entry.Sectors = LoadU32(record + kSizeAt);
    } else {
        // The streaming size; San Andreas leaves the size in the archive, after it, 0.
        const uint16_t streaming = LoadU16(record + kSizeAt);
        entry.Sectors = streaming != 0 ? streaming : LoadU16(record + kSizeAt + 2);
    }
    const std::string_view field(reinterpret_cast<const char*>(record + kNameAt), kImgNameSize);
    const size_t end = field.find('\0');
    entry.Name = Windows1252ToUtf8(field.substr(0, end));
    if (end == std::string_view::npos) {
        entry.Problem = "its name fills all 24 bytes of its field with no end";
    } else if (entry.Name.empty()) {
        entry.Problem = "it has no name";
    } else if (SafeFileName(entry.Name) != entry.Name) {
        entry.Problem = "its name is no plain file name";
    }
    return entry;
}

// Checks each entry's sectors against the archive, and names against those before them.
void CheckEntries(ImgDirectory& directory, uint64_t firstDataSector, uint64_t archiveSectors) {
    std::vector<ImgEntry>& entries = directory.Entries;
    std::unordered_map<std::string, size_t> names;
    for (ImgEntry& entry : entries) {
        const bool repeated = !names.emplace(LowerAscii(entry.Name), &entry - entries.data()).second;
        const uint64_t end = uint64_t{entry.Offset} + entry.Sectors;
        std::string problem;
        if (entry.Sectors == 0) {
            problem = "it holds no sectors";
        } else if (end > archiveSectors) {
            problem = "its sectors " + std::to_string(entry.Offset) + " to " + std::to_string(end - 1) +
                      " lie past the archive's end (it has " + std::to_string(archiveSectors) +
                      (archiveSectors == 1 ? " sector)" : " sectors)");
        } else if (entry.Offset < firstDataSector) {
            problem = "it starts inside the archive's directory";
        } else if (repeated) {
            problem = "an earlier entry has the same name";
        }
        if (entry.Problem.empty()) {
            entry.Problem = problem;
        }
    }
    // Entries that share sectors: writing one would change the other.
    std::vector<size_t> order(entries.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::erase_if(order, [&](size_t i) {
        return entries[i].Sectors == 0 || uint64_t{entries[i].Offset} + entries[i].Sectors > archiveSectors;
    });
    std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return entries[a].Offset < entries[b].Offset; });
    std::optional<size_t> furthest;  // of the entries before, the one that ends last
    const auto endOf = [&](size_t i) { return uint64_t{entries[i].Offset} + entries[i].Sectors; };
    for (const size_t i : order) {
        if (furthest && entries[i].Offset < endOf(*furthest)) {
            for (const auto& [entry, other] : {std::pair{i, *furthest}, std::pair{*furthest, i}}) {
                if (entries[entry].Problem.empty()) {
                    entries[entry].Problem = "it shares sectors with \"" + entries[other].Name + "\"";
                }
            }
        }
        if (!furthest || endOf(i) > endOf(*furthest)) {
            furthest = i;
        }
    }
}

}  // namespace

uint64_t ImgDirectorySectors(uint64_t count) {
    return (kImgV2HeaderSize + count * kImgRecordSize + kImgSector - 1) / kImgSector;
}

ImgDirectory ParseImgDirectory(ImgVersion version, std::span<const uint8_t> bytes, uint64_t archiveSize) {
    ImgDirectory directory{.Version = version};
    std::span<const uint8_t> records = bytes;
    uint64_t promised = bytes.size() / kImgRecordSize;
    if (version == ImgVersion::V2) {
        if (bytes.size() < kImgV2HeaderSize ||
            std::string_view(reinterpret_cast<const char*>(bytes.data()), 4) != kV2Magic) {
            throw Error(ErrorKind::Malformed, "the archive does not start with \"VER2\"");
        }
        promised = LoadU32(bytes.data() + 4);
        records = bytes.subspan(kImgV2HeaderSize);
    }
    const uint64_t held = records.size() / kImgRecordSize;
    if (promised > held) {
        directory.Damage = "its directory promises " + std::to_string(promised) + " entries but holds only " +
                           std::to_string(held) + " (it is cut short)";
    } else if (version == ImgVersion::V1 && records.size() % kImgRecordSize != 0) {
        directory.Damage = "its directory ends " + std::to_string(records.size() % kImgRecordSize) +
                           " bytes into a record (it is cut short)";
    }
    const uint64_t count = std::min(promised, held);
    directory.Entries.reserve(static_cast<size_t>(count));
    for (uint64_t i = 0; i < count; ++i) {
        const uint8_t* record = records.data() + i * kImgRecordSize;
        directory.Entries.push_back(ReadRecord(version, record));
        std::copy_n(record, kImgRecordSize, directory.Records.emplace_back().begin());
    }
    // The last entry may end inside the archive's last, unfilled sector.
    const uint64_t firstDataSector = version == ImgVersion::V2 ? ImgDirectorySectors(count) : 0;
    CheckEntries(directory, firstDataSector, (archiveSize + kImgSector - 1) / kImgSector);
    return directory;
}

ImgRecordBytes EncodeImgRecord(ImgVersion version, const ImgEntry& entry) {
    ImgRecordBytes record{};
    const auto put32 = [&](size_t at, uint32_t value) {
        for (size_t i = 0; i < 4; ++i) {
            record[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    put32(0, entry.Offset);
    // Version 2 keeps a 16-bit streaming size and leaves the size in the archive 0, as the game's do.
    put32(kSizeAt, version == ImgVersion::V1 ? entry.Sectors : entry.Sectors & 0xFFFF);
    const std::string name = Utf8ToWindows1252(entry.Name);
    std::copy_n(name.begin(), std::min(name.size(), kImgNameSize - 1), record.begin() + kNameAt);
    return record;
}

std::vector<uint8_t> EncodeImgDirectory(ImgVersion version, const std::vector<ImgRecordBytes>& records) {
    std::vector<uint8_t> bytes;
    if (version == ImgVersion::V2) {
        bytes.assign(kV2Magic.begin(), kV2Magic.end());
        for (size_t i = 0; i < 4; ++i) {
            bytes.push_back(static_cast<uint8_t>(records.size() >> (8 * i)));
        }
    }
    for (const ImgRecordBytes& record : records) {
        bytes.insert(bytes.end(), record.begin(), record.end());
    }
    return bytes;
}

std::optional<size_t> FindImgEntry(std::span<const ImgEntry> entries, std::string_view name) {
    const std::string wanted = LowerAscii(name);
    for (size_t i = 0; i < entries.size(); ++i) {
        if (entries[i].Problem.empty() && LowerAscii(entries[i].Name) == wanted) {
            return i;
        }
    }
    return std::nullopt;
}

bool MatchesNamePattern(std::string_view pattern, std::string_view name) {
    const std::string p = LowerAscii(pattern);
    const std::string n = LowerAscii(name);
    // Greedy with one step back to the last "*": linear in practice, never exponential.
    size_t at = 0;
    size_t from = 0;
    std::optional<size_t> star;
    size_t starMatched = 0;
    while (from < n.size()) {
        if (at < p.size() && (p[at] == '?' || p[at] == n[from])) {
            ++at;
            ++from;
        } else if (at < p.size() && p[at] == '*') {
            star = at++;
            starMatched = from;
        } else if (star) {
            at = *star + 1;
            from = ++starMatched;
        } else {
            return false;
        }
    }
    while (at < p.size() && p[at] == '*') {
        ++at;
    }
    return at == p.size();
}

}  // namespace vc
