#include "io/temporary_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
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

// A copy reads this much at a time.
constexpr size_t kCopyPiece = size_t{1} << 20;

}  // namespace

TemporaryFile::TemporaryFile(std::string pathTemplate, std::string errorName)
    : m_path(std::move(pathTemplate)), m_errorName(std::move(errorName)), m_file(::mkostemp(m_path.data(), O_CLOEXEC)) {
    if (m_errorName.empty()) {
        m_errorName = m_path;
    }
    if (m_file.Get() < 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot create file", m_errorName, errno);
    }
    m_pending.reserve(kPendingLimit);
}

TemporaryFile::~TemporaryFile() {
    if (m_exists) {
        ::unlink(m_path.c_str());
    }
}

void TemporaryFile::Append(std::span<const uint8_t> bytes) {
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

void TemporaryFile::Overwrite(uint64_t offset, std::span<const uint8_t> bytes) {
    if (offset > m_size || bytes.size() > m_size - offset) {
        throw std::out_of_range("TemporaryFile::Overwrite past the end");
    }
    Flush();
    WriteAt(offset, bytes);
}

void TemporaryFile::Close(mode_t mode, bool flushToDisk) {
    Flush();
    m_pending = {};
    if (::fchmod(m_file.Get(), mode) != 0 || (flushToDisk && ::fsync(m_file.Get()) != 0) || m_file.Close() != 0) {
        ThrowSystemError(ErrorKind::Write, "Cannot write file", m_errorName, errno);
    }
}

void TemporaryFile::CopyTo(ByteSink& out) {
    Flush();
    const FileDescriptor file(::open(m_path.c_str(), O_RDONLY | O_CLOEXEC));
    if (file.Get() < 0) {
        ThrowSystemError(ErrorKind::Read, "Cannot open file", m_errorName, errno);
    }
    std::vector<uint8_t> piece(kCopyPiece);
    for (;;) {
        const ssize_t read = ::read(file.Get(), piece.data(), piece.size());
        if (read < 0 && errno == EINTR) {
            continue;
        }
        if (read < 0) {
            ThrowSystemError(ErrorKind::Read, "Cannot read file", m_errorName, errno);
        }
        if (read == 0) {
            return;
        }
        out.Append(std::span(piece).first(static_cast<size_t>(read)));
    }
}

int TemporaryFile::RenameOnto(const std::string& target) {
    if (::rename(m_path.c_str(), target.c_str()) != 0) {
        return errno;
    }
    m_exists = false;
    return 0;
}

void TemporaryFile::Remove() {
    ::unlink(m_path.c_str());
    m_exists = false;
}

void TemporaryFile::Flush() {
    WriteAt(m_written, m_pending);
    m_written += m_pending.size();
    m_pending.clear();
    StartWriteback();
}

void TemporaryFile::StartWriteback() {
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

void TemporaryFile::WriteAt(uint64_t offset, std::span<const uint8_t> bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::pwrite(m_file.Get(), bytes.data(), bytes.size(), static_cast<off_t>(offset));
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            ThrowSystemError(ErrorKind::Write, "Cannot write file", m_errorName, errno);
        }
        bytes = bytes.subspan(static_cast<size_t>(written));
        offset += static_cast<uint64_t>(written);
    }
}

std::string ScratchFolder(std::string_view preferredFolder) {
    if (!preferredFolder.empty()) {
        const std::string folder(preferredFolder);
        std::error_code error;
        if (std::filesystem::is_directory(ToFsPath(folder), error) && ::access(folder.c_str(), W_OK | X_OK) == 0) {
            return folder;
        }
    }
    return std::filesystem::temp_directory_path().string();
}

}  // namespace vc
