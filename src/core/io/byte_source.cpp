// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/byte_source.h"

#include <stdexcept>

#include "io/error.h"

namespace vc {

std::span<const uint8_t> MemoryBytes::View(uint64_t offset, size_t size, std::vector<uint8_t>&) const {
    if (offset > m_bytes.size() || size > m_bytes.size() - offset) {
        throw std::out_of_range("MemoryBytes: bytes " + std::to_string(offset) + " + " + std::to_string(size) +
                                " lie outside " + std::to_string(m_bytes.size()));
    }
    return m_bytes.subspan(static_cast<size_t>(offset), size);
}

FileBytes::FileBytes(std::string_view utf8Path)
    : m_file(NativeFile::OpenForReading(utf8Path)), m_size(m_file.Size()), m_path(utf8Path) {}

std::span<const uint8_t> FileBytes::View(uint64_t offset, size_t size, std::vector<uint8_t>& scratch) const {
    if (offset > m_size || size > m_size - offset) {
        throw std::out_of_range("FileBytes: bytes " + std::to_string(offset) + " + " + std::to_string(size) +
                                " lie outside " + std::to_string(m_size));
    }
    if (scratch.size() < size) {
        scratch.resize(size);
    }
    for (size_t done = 0; done < size;) {
        const size_t read = m_file.ReadAt(offset + done, std::span(scratch).subspan(done, size - done));
        if (read == 0) {
            throw Error(ErrorKind::Read, "\"" + m_path +
                                             "\" was cut short while it was being read: it ends before byte " +
                                             std::to_string(offset + done + 1) + " of " + std::to_string(m_size) + ".");
        }
        done += read;
    }
    return std::span<const uint8_t>(scratch).first(size);
}

}  // namespace vc
