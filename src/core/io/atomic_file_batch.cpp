// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/atomic_file_batch.h"

#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "io/error.h"
#include "io/file_io.h"
#include "io/native_file.h"
#include "io/system_error.h"

namespace vc {

namespace {

// A second name for a target's old content, beside it: a hard link where the file system has them
// (it costs no copy), else a copy. Empty when the target has no old content.
std::optional<std::string> KeepOldContent(const std::string& target, const std::string& name) {
    if (!IsExistingFile(target)) {
        return std::nullopt;
    }
    for (unsigned attempt = 1;; ++attempt) {
        const std::string backup = target + ".old-" + std::to_string(attempt);
        std::error_code error;
        std::filesystem::create_hard_link(ToFsPath(target), ToFsPath(backup), error);
        if (error && error != std::errc::file_exists) {
            error.clear();
            std::filesystem::copy_file(ToFsPath(target), ToFsPath(backup), error);
        }
        if (!error) {
            return backup;
        }
        if (error != std::errc::file_exists) {
            ThrowSystemError(ErrorKind::Write, "Cannot replace file", name, error.value());
        }
    }
}

// Takes the kept contents away however a commit ends.
class OldContents {
  public:
    OldContents() = default;
    OldContents(const OldContents&) = delete;
    OldContents& operator=(const OldContents&) = delete;
    ~OldContents() {
        for (const std::optional<std::string>& backup : Backups) {
            if (backup) {
                RemoveFile(*backup);
            }
        }
    }

    std::vector<std::optional<std::string>> Backups;  // one per file of the batch
};

}  // namespace

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

void AtomicFileBatch::DropExisting() {
    for (size_t i = m_files.size(); i-- > 0;) {
        if (IsExistingFile(m_files[i]->Target())) {
            m_files.erase(m_files.begin() + static_cast<std::ptrdiff_t>(i));
            m_paths.erase(m_paths.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

void AtomicFileBatch::Commit() {
    std::vector<std::string> targets;
    std::vector<std::string> replaced;
    std::vector<std::string> replacedNames;
    for (size_t i = 0; i < m_files.size(); ++i) {
        targets.push_back(m_files[i]->Target());
        if (MustFlushBeforeReplacing(targets.back())) {
            replaced.push_back(targets.back());
            replacedNames.push_back(m_paths[i]);
        }
    }
    FlushFileSystemsOf(replaced, replacedNames);
    // Every old content is kept under a second name before the first rename, so that a rename
    // failing half way can put back the files already replaced.
    OldContents old;
    for (size_t i = 0; i < m_files.size(); ++i) {
        old.Backups.push_back(KeepOldContent(targets[i], m_paths[i]));
    }
    size_t placed = 0;
    try {
        for (; placed < m_files.size(); ++placed) {
            m_files[placed]->Commit();
        }
    } catch (const Error&) {
        // Putting back is a rename over the target, like the one that put the new file there; an
        // old content that could still not be put back stays beside its target under its second
        // name. A file that had no old content is removed.
        for (size_t i = 0; i < placed; ++i) {
            if (std::optional<std::string>& backup = old.Backups[i]) {
                (void)RenameOnto(*backup, targets[i]);
                backup.reset();
            } else {
                RemoveFile(targets[i]);
            }
        }
        throw;
    }
}

}  // namespace vc
