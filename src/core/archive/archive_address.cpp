// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/archive_address.h"

#include "archive/img_archive.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"

namespace vc {

std::optional<ArchiveAddress> ArchiveAddressOf(std::string_view path) {
    const size_t colon = path.rfind(':');
    if (colon == std::string_view::npos) {
        return std::nullopt;
    }
    const std::string_view archive = path.substr(0, colon);
    const std::string_view entry = path.substr(colon + 1);
    if (!IsImgArchivePath(archive) || FileNamePart(archive).size() == FileExtension(archive).size() || entry.empty() ||
        FileNamePart(entry) != entry) {
        return std::nullopt;
    }
    return ArchiveAddress{std::string(archive), std::string(entry)};
}

const ImgArchive& ArchiveReader::Opened(const std::string& archive) {
    // An archive, once opened, stays where the map keeps it.
    const std::lock_guard lock(m_mutex);
    auto found = m_archives.find(archive);
    if (found == m_archives.end()) {
        found = m_archives.emplace(archive, ImgArchive::Open(archive)).first;
    }
    return found->second;
}

bool IsImgArchivePath(std::string_view path) {
    const std::string extension = LowerAscii(FileExtension(path));
    return extension == ".img" || extension == ".dir";
}

std::unique_ptr<ByteSource> ArchiveReader::Open(std::string_view path) {
    if (ArchiveAddressOf(path)) {
        return std::make_unique<OwnedBytes>(Read(path));
    }
    return std::make_unique<FileBytes>(path);
}

std::vector<uint8_t> ArchiveReader::Read(std::string_view path) {
    const std::optional<ArchiveAddress> address = ArchiveAddressOf(path);
    if (!address) {
        return ReadWholeFile(path);
    }
    const ImgArchive& archive = Opened(address->Archive);
    const std::optional<size_t> found = FindImgEntry(archive.Directory().Entries, address->Entry);
    if (!found) {
        // A bad entry of that name says why; otherwise there is none.
        for (const ImgEntry& entry : archive.Directory().Entries) {
            if (LowerAscii(entry.Name) == LowerAscii(address->Entry)) {
                throw Error(ErrorKind::Malformed,
                            std::string(archive.Name()) + ": \"" + entry.Name + "\": " + entry.Problem);
            }
        }
        throw Error(ErrorKind::Read, std::string(archive.Name()) + " holds no entry \"" + address->Entry + "\"");
    }
    return archive.Read(archive.Directory().Entries[*found]);
}

std::vector<std::string> ArchiveReader::ExpandPatterns(std::span<const std::string_view> paths) {
    std::vector<std::string> expanded;
    for (const std::string_view path : paths) {
        const std::optional<ArchiveAddress> address = ArchiveAddressOf(path);
        if (!address || address->Entry.find_first_of("*?") == std::string::npos) {
            expanded.emplace_back(path);
            continue;
        }
        const ImgArchive& archive = Opened(address->Archive);
        const size_t before = expanded.size();
        for (const ImgEntry& entry : archive.Directory().Entries) {
            if (entry.Problem.empty() && MatchesNamePattern(address->Entry, entry.Name)) {
                expanded.push_back(address->Archive + ":" + entry.Name);
            }
        }
        if (expanded.size() == before) {
            throw Error(ErrorKind::Read, std::string(archive.Name()) + " holds no entry \"" + address->Entry + "\"");
        }
    }
    return expanded;
}

std::vector<uint8_t> ReadFileOrEntry(std::string_view path) {
    return ArchiveReader().Read(path);
}

std::unique_ptr<ByteSource> OpenFileOrEntry(std::string_view path) {
    return ArchiveReader().Open(path);
}

std::string_view NamedFileName(std::string_view path) {
    const std::optional<ArchiveAddress> address = ArchiveAddressOf(path);
    return address ? path.substr(path.size() - address->Entry.size()) : FileNamePart(path);
}

}  // namespace vc
