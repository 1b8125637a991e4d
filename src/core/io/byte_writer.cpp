// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/byte_writer.h"

#include <algorithm>
#include <stdexcept>

namespace vc {

void ByteWriter::U16(uint16_t value) {
    U8(static_cast<uint8_t>(value));
    U8(static_cast<uint8_t>(value >> 8));
}

void ByteWriter::U32(uint32_t value) {
    U16(static_cast<uint16_t>(value));
    U16(static_cast<uint16_t>(value >> 16));
}

void ByteWriter::FixedText(std::string_view text, size_t fieldSize) {
    const size_t used = std::min(text.size(), fieldSize - 1);
    const auto* first = reinterpret_cast<const uint8_t*>(text.data());
    m_bytes.insert(m_bytes.end(), first, first + used);
    m_bytes.insert(m_bytes.end(), fieldSize - used, 0);
}

void ByteWriter::Overwrite(uint64_t offset, std::span<const uint8_t> bytes) {
    if (offset > m_bytes.size() || bytes.size() > m_bytes.size() - offset) {
        throw std::out_of_range("ByteWriter::Overwrite past the end");
    }
    std::copy(bytes.begin(), bytes.end(), m_bytes.begin() + static_cast<ptrdiff_t>(offset));
}

}  // namespace vc
