// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/atomic_file.h"

#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "io/file_io.h"
#include "io/native_file.h"
#include "io/system_error.h"

namespace vc {

namespace {

// Linux gives up on a path after this many links; a chain this long is taken for a loop.
constexpr int kMaxLinksFollowed = 40;

// The file a save to utf8Path must replace: the end of the chain of links that starts there, so
// that the links stay links. A relative link is taken relative to the folder that holds it; the
// end of the chain may not exist yet.
std::filesystem::path RealFileOf(std::string_view utf8Path) {
    std::filesystem::path path = ToFsPath(utf8Path);
    for (int followed = 0; followed <= kMaxLinksFollowed; ++followed) {
        std::error_code error;
        if (!std::filesystem::is_symlink(std::filesystem::symlink_status(path, error))) {
            return path;
        }
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (error) {
            ThrowSystemError(ErrorKind::Write, "Cannot create file", utf8Path, error.value());
        }
        path = target.is_absolute() ? target : path.parent_path() / target;
    }
    ThrowSystemError(ErrorKind::Write, "Cannot create file", utf8Path, ELOOP);
}

}  // namespace

bool MustFlushBeforeReplacing(const std::string& target) {
    return IsExistingFile(target);
}

AtomicFile::AtomicFile(std::string_view utf8Path, Flush flush)
    : m_utf8Path(utf8Path),
      m_target(FromFsPath(RealFileOf(utf8Path))),
      m_flush(flush),
      m_file(m_target + ".tmp-XXXXXX", m_utf8Path) {}

bool AtomicFile::MustFlush() const {
    return m_flush == Flush::Always || MustFlushBeforeReplacing(m_target);
}

void AtomicFile::Close() {
    // Where a batch cannot flush a whole file system, a file that will replace one flushes itself.
    m_file.Close(m_target, !kFlushesWholeFileSystems && MustFlush());
    m_closed = true;
}

void AtomicFile::Commit() {
    if (!m_closed) {
        m_file.Close(m_target, MustFlush());
    }
    if (const int error = m_file.RenameOnto(m_target); error != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot replace file", m_utf8Path, error);
    }
}

void WriteFileAtomically(std::string_view utf8Path, std::span<const uint8_t> bytes, Flush flush) {
    AtomicFile file(utf8Path, flush);
    file.Append(bytes);
    file.Commit();
}

void PutInPlace(TemporaryFile& file, std::string_view utf8Path, Placement placement) {
    const std::string target = FromFsPath(RealFileOf(utf8Path));
    if (placement == Placement::RenameWherePossible &&
        MayRenameInto(file.Path(), FromFsPath(std::filesystem::path(target).parent_path()))) {
        file.Close(target, MustFlushBeforeReplacing(target));
        const int error = file.RenameOnto(target);
        if (error == 0) {
            return;
        }
        if (error != EXDEV) {
            ThrowSystemError(ErrorKind::Write, "Cannot replace file", utf8Path, error);
        }
    }
    AtomicFile copy(utf8Path);
    file.CopyTo(copy);
    copy.Commit();
    file.Remove();
}

}  // namespace vc
