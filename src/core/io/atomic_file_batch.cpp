#include "io/atomic_file_batch.h"

#include "io/file_io.h"
#include "io/native_file.h"

namespace vc {

void AtomicFileBatch::Write(std::string_view utf8Path, std::span<const uint8_t> bytes) {
    auto file = std::make_unique<AtomicFile>(utf8Path);
    file->Append(bytes);
    file->Close();
    m_files.push_back(std::move(file));
    m_paths.emplace_back(utf8Path);
}

std::vector<std::string> AtomicFileBatch::ExistingTargets() const {
    std::vector<std::string> existing;
    for (size_t i = 0; i < m_files.size(); ++i) {
        if (IsExistingFile(m_files[i]->Target())) {
            existing.push_back(m_paths[i]);
        }
    }
    return existing;
}

void AtomicFileBatch::Commit() {
    std::vector<std::string> targets;
    for (const std::unique_ptr<AtomicFile>& file : m_files) {
        targets.push_back(file->Target());
    }
    FlushFileSystemsOf(targets, m_paths);
    for (const std::unique_ptr<AtomicFile>& file : m_files) {
        file->Commit();
    }
}

}  // namespace vc
