#include "io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <stdexcept>

#include "io/file_io.h"

namespace vc {

namespace {

// Appends smaller than this are gathered and written together.
constexpr size_t kPendingLimit = size_t{64} << 10;

// Once this much more is written, the system is asked to start putting it on disk, so that the
// flush at the end waits for little more than the last part instead of the whole file.
constexpr uint64_t kWritebackStep = uint64_t{8} << 20;

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

mode_t ModeForNewFile(const std::string& target) {
    struct stat existing {};
    if (::stat(target.c_str(), &existing) == 0) {
        return existing.st_mode & 07777;
    }
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(std::string_view utf8Path)
    : m_utf8Path(utf8Path),
      m_target(RealFileOf(utf8Path).string()),
      m_temporary(m_target + ".tmp-XXXXXX"),
      m_file(::mkstemp(m_temporary.data())) {
    if (m_file.Get() < 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot create file", m_utf8Path, errno);
    }
    m_pending.reserve(kPendingLimit);
}

AtomicFile::~AtomicFile() {
    if (!m_committed) {
        ::unlink(m_temporary.c_str());
    }
}

void AtomicFile::Append(std::span<const uint8_t> bytes) {
    if (m_pending.size() + bytes.size() > kPendingLimit) {
        Flush();
    }
    if (bytes.size() >= kPendingLimit) {
        WriteAt(m_written, bytes);
        m_written += bytes.size();
        StartWriteback();
    } else {
        m_pending.insert(m_pending.end(), bytes.begin(), bytes.end());
    }
    m_size += bytes.size();
}

void AtomicFile::Overwrite(uint64_t offset, std::span<const uint8_t> bytes) {
    if (offset > m_size || bytes.size() > m_size - offset) {
        throw std::out_of_range("AtomicFile::Overwrite past the end");
    }
    Flush();
    WriteAt(offset, bytes);
}

void AtomicFile::Close() {
    Finish(false);
}

void AtomicFile::Commit() {
    if (!m_closed) {
        Finish(true);
    }
    if (::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot replace file", m_utf8Path, errno);
    }
    m_committed = true;
}

void AtomicFile::Finish(bool flushToDisk) {
    Flush();
    m_pending = {};
    m_closed = true;
    if (::fchmod(m_file.Get(), ModeForNewFile(m_target)) != 0 || (flushToDisk && ::fsync(m_file.Get()) != 0) ||
        m_file.Close() != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot write file", m_utf8Path, errno);
    }
}

void AtomicFile::Flush() {
    WriteAt(m_written, m_pending);
    m_written += m_pending.size();
    m_pending.clear();
    StartWriteback();
}

void AtomicFile::StartWriteback() {
    if (m_written - m_writebackStart < kWritebackStep) {
        return;
    }
#ifdef __linux__
    // Only a hint: a failure here shows again, and is reported, when the file is flushed.
    ::sync_file_range(m_file.Get(), static_cast<off_t>(m_writebackStart),
                      static_cast<off_t>(m_written - m_writebackStart), SYNC_FILE_RANGE_WRITE);
#endif
    m_writebackStart = m_written;
}

void AtomicFile::WriteAt(uint64_t offset, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(m_file.Get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError(ErrorKind::Write, "Cannot write file", m_utf8Path, errno);
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
        offset += static_cast<uint64_t>(written);
    }
}

void WriteFileAtomically(std::string_view utf8Path, std::span<const uint8_t> bytes) {
    AtomicFile file(utf8Path);
    file.Append(bytes);
    file.Commit();
}

}  // namespace vc
