// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/temporary_file.h"

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
    : m_path(std::move(pathTemplate)), m_file(NativeFile::CreateUnique(m_path, errorName)) {
    m_errorName = errorName.empty() ? m_path : std::move(errorName);
    m_pending.reserve(kPendingLimit);
}

TemporaryFile::~TemporaryFile() {
    if (m_exists) {
        Remove();
    }
}

void TemporaryFile::Append(std::span<const uint8_t> bytes) {
    if (m_pending.size() + bytes.size() > kPendingLimit) {
        Flush();
    }
    if (bytes.size() >= kPendingLimit) {
        m_file.WriteAt(m_written, bytes);
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
    m_file.WriteAt(offset, bytes);
}

void TemporaryFile::Close(const std::string& target, bool flushToDisk) {
    Flush();
    m_pending = {};
    m_file.TakeAccessFor(target);
    if (flushToDisk) {
        m_file.FlushToDisk();
    }
    m_file.Close();
}

void TemporaryFile::CopyTo(ByteSink& out) {
    Flush();
    NativeFile file = NativeFile::OpenForReading(m_path, m_errorName);
    std::vector<uint8_t> piece(kCopyPiece);
    while (const size_t read = file.Read(piece)) {
        out.Append(std::span(piece).first(read));
    }
}

int TemporaryFile::RenameOnto(const std::string& target) {
    const int error = vc::RenameOnto(m_path, target);
    if (error == 0) {
        m_exists = false;
    }
    return error;
}

void TemporaryFile::Remove() {
    // Closed first: Windows removes an open file only once its last handle is closed.
    m_file = NativeFile();
    RemoveFile(m_path);
    m_exists = false;
}

void TemporaryFile::Flush() {
    m_file.WriteAt(m_written, m_pending);
    m_written += m_pending.size();
    m_pending.clear();
    StartWriteback();
}

void TemporaryFile::StartWriteback() {
    if (m_written - m_writebackStart < kWritebackStep) {
        return;
    }
    m_file.StartWriteback(m_writebackStart, m_written - m_writebackStart);
    m_writebackStart = m_written;
}

std::string ScratchFolder(std::string_view preferredFolder) {
    if (!preferredFolder.empty() && IsWritableFolder(std::string(preferredFolder))) {
        return std::string(preferredFolder);
    }
    return FromFsPath(std::filesystem::temp_directory_path());
}

}  // namespace vc
