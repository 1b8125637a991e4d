// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/img_archive.h"

#include <algorithm>

#include "archive/img_journal.h"
#include "io/byte_reader.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"

namespace vc {

namespace {

// The file beside path with the same name but the extension given, in any case: "GTA3.IMG" has
// "gta3.dir" beside it on a file system that tells case apart. Empty when there is none.
std::string Sibling(std::string_view path, std::string_view extension) {
    const std::filesystem::path file = ToFsPath(path);
    const std::string wanted = LowerAscii(std::string(FileNameWithoutExtension(path)) + std::string(extension));
    const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : std::filesystem::path(".");
    std::error_code error;
    for (const auto& candidate : std::filesystem::directory_iterator(folder, error)) {
        if (LowerAscii(FromFsPath(candidate.path().filename())) == wanted && candidate.is_regular_file(error)) {
            return FromFsPath(candidate.path());
        }
    }
    return {};
}

[[noreturn]] void NotAnArchive(std::string_view path, const std::string& why) {
    throw Error(ErrorKind::Malformed, std::string(FileNamePart(path)) + " is no IMG archive: " + why);
}

}  // namespace

ImgArchive ImgArchive::Open(std::string_view path) {
    std::string imgPath(path);
    std::string dirPath;
    if (LowerAscii(FileExtension(path)) == ".dir") {
        dirPath = imgPath;
        imgPath = Sibling(path, ".img");
        if (imgPath.empty()) {
            NotAnArchive(path, "there is no .img beside it");
        }
    }
    // A change cut short by a crash is completed first.
    CompleteJournal(imgPath);
    NativeFile img = NativeFile::OpenForReading(imgPath);
    const uint64_t size = img.Size();
    std::vector<uint8_t> start(kImgV2HeaderSize);
    start.resize(img.ReadAt(0, start));
    const bool version2 =
        dirPath.empty() && start.size() == kImgV2HeaderSize && std::equal(start.begin(), start.begin() + 4, "VER2");
    if (version2) {
        // The records the count promises, as far as the file holds them.
        const uint64_t promised = LoadU32(start.data() + 4);
        const uint64_t held = std::min(promised, (size - kImgV2HeaderSize) / kImgRecordSize);
        std::vector<uint8_t> bytes(kImgV2HeaderSize + held * kImgRecordSize);
        bytes.resize(img.ReadAt(0, bytes));
        ImgDirectory directory = ParseImgDirectory(ImgVersion::V2, bytes, size);
        return ImgArchive(std::move(imgPath), {}, std::move(img), std::move(directory));
    }
    if (dirPath.empty()) {
        dirPath = Sibling(path, ".dir");
        if (dirPath.empty()) {
            NotAnArchive(path, "it does not start with \"VER2\", and there is no .dir beside it");
        }
    }
    ImgDirectory directory = ParseImgDirectory(ImgVersion::V1, ReadWholeFile(dirPath), size);
    return ImgArchive(std::move(imgPath), std::move(dirPath), std::move(img), std::move(directory));
}

std::string_view ImgArchive::Name() const {
    return FileNamePart(m_imgPath);
}

std::vector<uint8_t> ImgArchive::Read(const ImgEntry& entry) const {
    const uint64_t size = m_img.Size();
    std::vector<uint8_t> bytes(entry.ByteOffset() < size ? std::min(entry.ByteSize(), size - entry.ByteOffset()) : 0);
    bytes.resize(m_img.ReadAt(entry.ByteOffset(), bytes));
    return bytes;
}

}  // namespace vc
