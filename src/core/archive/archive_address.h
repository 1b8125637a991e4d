#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// An entry of an archive named as ARCHIVE:NAME ("models/gta3.img:infernus.txd"): the archive is
// what comes before the last ":" when that names an ".img" or ".dir" file, and the name after it is
// a plain file name. A drive's colon ("C:\cars.txd") never makes one.
struct ArchiveAddress {
    std::string Archive;
    std::string Entry;
};
std::optional<ArchiveAddress> ArchiveAddressOf(std::string_view path);

// The bytes of a file, or of the archive's entry a path names as ARCHIVE:NAME. Throws an Error
// naming the archive and the entry when the archive holds no good entry of that name.
std::vector<uint8_t> ReadFileOrEntry(std::string_view path);

// The paths as given, but each ARCHIVE:PATTERN whose name holds "*" or "?" stands for the good
// entries of the archive it matches (ignoring case), in directory order. Throws an Error naming the
// archive and the pattern when it matches none.
std::vector<std::string> ExpandArchivePatterns(std::span<const std::string_view> paths);

// The file name a path gives its contents: the entry's for ARCHIVE:NAME.
std::string_view NamedFileName(std::string_view path);

}  // namespace vc
