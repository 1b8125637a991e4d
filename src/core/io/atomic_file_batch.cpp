#include "io/atomic_file_batch.h"

#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <set>

#include "io/file_io.h"
#include "io/posix_file.h"

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
    // A link may lead a target onto another file system: each one that holds a file is flushed.
    std::set<dev_t> flushed;
    for (size_t i = 0; i < m_files.size(); ++i) {
        const std::string folder = std::filesystem::path(m_files[i]->Target()).parent_path().string();
        struct stat status {};
        if (::stat(folder.empty() ? "." : folder.c_str(), &status) != 0) {
            ThrowSystemError(ErrorKind::Write, "Cannot write file", m_paths[i], errno);
        }
        if (flushed.insert(status.st_dev).second) {
            SyncFileSystemOf(folder.empty() ? "." : folder, m_paths[i]);
        }
    }
    for (const std::unique_ptr<AtomicFile>& file : m_files) {
        file->Commit();
    }
}

}  // namespace vc
