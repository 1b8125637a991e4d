// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/extraction_folder.h"

#include <filesystem>

#include "archive/archive_address.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"

namespace vc {

std::string DefaultExtractionFolder(std::string_view dictionaryPath) {
    // An archive's entry goes beside the archive: "models/gta3.img:infernus.txd" to "models/infernus".
    if (const std::optional<ArchiveAddress> address = ArchiveAddressOf(dictionaryPath)) {
        const std::string_view entry = FileNameWithoutExtension(address->Entry);
        return FromFsPath(ToFsPath(address->Archive).parent_path() / ToFsPath(entry));
    }
    return std::string(dictionaryPath.substr(0, dictionaryPath.size() - FileExtension(dictionaryPath).size()));
}

ExtractionFolder::ExtractionFolder(std::string folder) : m_folder(std::move(folder)) {
    const std::filesystem::path path = ToFsPath(m_folder);
    std::error_code error;
    m_wasFilled = !std::filesystem::is_empty(path, error) && !error;
    error.clear();
    m_made = std::filesystem::create_directories(path, error);
    if (error) {
        throw Error(ErrorKind::Write, "Cannot create folder \"" + m_folder + "\": " + error.message());
    }
    m_absolute = vc::AbsolutePath(m_folder);
}

ExtractionFolder::~ExtractionFolder() {
    if (m_made && !m_committed) {
        m_batch = {};  // the temporary files go first, so that the folder is empty
        std::error_code ignored;
        std::filesystem::remove(ToFsPath(m_folder), ignored);
    }
}

void ExtractionFolder::Write(std::string_view fileName, std::span<const uint8_t> bytes) {
    m_batch.Write(FromFsPath(ToFsPath(m_folder) / ToFsPath(fileName)), bytes);
    m_written.emplace_back(fileName);
}

std::vector<std::string> ExtractionFolder::ExistingFiles() const {
    std::vector<std::string> names;
    for (const std::string& path : m_batch.ExistingTargets()) {
        names.push_back(FromFsPath(ToFsPath(path).filename()));
    }
    return names;
}

std::vector<std::string> ExtractionFolder::MissingFiles() const {
    std::vector<std::string> missing;
    for (const std::string& name : m_written) {
        if (!IsExistingFile(FromFsPath(ToFsPath(m_folder) / ToFsPath(name)))) {
            missing.push_back(name);
        }
    }
    return missing;
}

void ExtractionFolder::Commit() {
    m_batch.Commit();
    m_committed = true;
}

ExtractionResult ExtractTxdFile(std::string_view dictionaryPath, ExtractionFolder& folder,
                                const ExtractionProgress& progress, unsigned jobs, CoreShare* cores) {
    return ExtractTxdFile(*OpenFileOrEntry(dictionaryPath), dictionaryPath, folder, progress, jobs, cores);
}

ExtractionResult ExtractTxdFile(const ByteSource& file, std::string_view dictionaryPath, ExtractionFolder& folder,
                                const ExtractionProgress& progress, unsigned jobs, CoreShare* cores) {
    ExtractionResult result = ExtractTxd(file, FileNameWithoutExtension(NamedFileName(dictionaryPath)),
                                         folder.AbsolutePath(), folder, progress, jobs, cores);
    if (result.Damage && result.Textures.empty()) {
        throw Error(ErrorKind::Malformed, DamageText(NamedFileName(dictionaryPath), *result.Damage));
    }
    return result;
}

}  // namespace vc
