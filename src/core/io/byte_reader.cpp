// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/byte_reader.h"

#include <algorithm>
#include <stdexcept>

#include "io/error.h"

namespace vc {

uint16_t LoadU16(const uint8_t* bytes) {
    return static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
}

uint32_t LoadU32(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

void ByteSlice::ThrowOutside(size_t offset, size_t count) const {
    throw std::out_of_range("bytes " + std::to_string(offset) + " + " + std::to_string(count) +
                            " lie outside a slice of " + std::to_string(m_bytes.size()));
}

ByteSlice ByteSlice::Sub(size_t offset, size_t count) const {
    if (offset > m_bytes.size() || count > m_bytes.size() - offset) {
        ThrowOutside(offset, count);
    }
    return ByteSlice(m_bytes.subspan(offset, count));
}

void ByteReader::Missing(size_t count) const {
    if (count > Remaining()) {
        Fail("needs " + std::to_string(count) + " bytes but only " + std::to_string(Remaining()) + " are left");
    }
    throw std::logic_error(m_what + ": bytes " + std::to_string(m_base + m_offset) + " + " + std::to_string(count) +
                           " were not read in");
}

void ByteReader::Fail(const std::string& reason) const {
    FailAt(m_offset, reason);
}

void ByteReader::FailAt(size_t offset, const std::string& reason) const {
    throw Error(ErrorKind::Malformed, m_what + " is not valid at byte " + std::to_string(m_base + offset) + " of " +
                                          std::to_string(m_totalSize) + ": " + reason);
}

ByteReader ByteReader::Nested(size_t length) {
    if (length > Remaining()) {
        Missing(length);
    }
    ByteReader nested(*this);
    const size_t heldFrom = std::min(m_offset, m_bytes.size());
    nested.m_bytes = m_bytes.subspan(heldFrom, std::min(length, m_bytes.size() - heldFrom));
    nested.m_length = length;
    nested.m_base = m_base + m_offset;
    nested.m_offset = 0;
    m_offset += length;
    return nested;
}

uint8_t ByteReader::U8() {
    Require(1);
    return m_bytes[m_offset++];
}

uint16_t ByteReader::U16() {
    Require(2);
    const uint16_t value = LoadU16(m_bytes.data() + m_offset);
    m_offset += 2;
    return value;
}

uint32_t ByteReader::U32() {
    Require(4);
    const uint32_t value = LoadU32(m_bytes.data() + m_offset);
    m_offset += 4;
    return value;
}

std::span<const uint8_t> ByteReader::Bytes(size_t count) {
    Require(count);
    const auto bytes = m_bytes.subspan(m_offset, count);
    m_offset += count;
    return bytes;
}

void ByteReader::Seek(size_t offset) {
    if (offset > m_length) {
        Fail("position " + std::to_string(offset) + " lies beyond the end");
    }
    m_offset = offset;
}

}  // namespace vc
