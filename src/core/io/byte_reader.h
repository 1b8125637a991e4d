// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

namespace vc {

// A bounded view of bytes, after Exiv2's Slice: a reader hands one out only when all its bytes are
// there, and every index into it is checked against its own size, right beside the read. An index
// outside the view is a fault of the code, not of the file, and throws std::out_of_range.
class ByteSlice {
  public:
    explicit ByteSlice(std::span<const uint8_t> bytes) : m_bytes(bytes) {}

    size_t Size() const { return m_bytes.size(); }
    // Inline, since pixel rows are read through it byte by byte.
    uint8_t operator[](size_t index) const {
        if (index >= m_bytes.size()) {
            ThrowOutside(index, 1);
        }
        return m_bytes[index];
    }
    // The count bytes from offset on.
    ByteSlice Sub(size_t offset, size_t count) const;
    std::span<const uint8_t> Bytes() const { return m_bytes; }

  private:
    [[noreturn]] void ThrowOutside(size_t offset, size_t count) const;

    std::span<const uint8_t> m_bytes;
};

// Reads little-endian numbers from untrusted bytes. Every read is checked against what is left;
// running past the end throws an Error naming the data, the offset and how much was missing.
class ByteReader {
  public:
    ByteReader(std::span<const uint8_t> bytes, std::string what)
        : m_bytes(bytes), m_what(std::move(what)), m_totalSize(bytes.size()), m_length(bytes.size()) {}
    // A reader over length bytes from offset base of data totalSize bytes long, of which only the
    // first held.size() are at hand: a large file is read a part at a time, each part checked as
    // the reader of the whole would check it. Reading bytes not held is the caller's fault
    // (std::logic_error); reading past length is the data's (Error).
    ByteReader(std::span<const uint8_t> held, size_t length, std::string what, size_t base, size_t totalSize)
        : m_bytes(held), m_what(std::move(what)), m_totalSize(totalSize), m_length(length), m_base(base) {}

    // Offsets are counted from the start of the whole data, also in a nested reader.
    size_t Offset() const { return m_base + m_offset; }
    size_t Remaining() const { return m_length - m_offset; }
    // A reader over the next length bytes, which this reader steps over: reads inside a chunk
    // cannot run past the chunk's end.
    ByteReader Nested(size_t length);

    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    int32_t I32() { return static_cast<int32_t>(U32()); }
    std::span<const uint8_t> Bytes(size_t count);
    // The next count bytes as a bounded view, which this reader steps over.
    ByteSlice Slice(size_t count) { return ByteSlice(Bytes(count)); }
    void Skip(size_t count) { Bytes(count); }
    // Moves to an offset counted from the start of this reader's bytes.
    void Seek(size_t offset);

    // Throws an Error that names the data and the current offset.
    [[noreturn]] void Fail(const std::string& reason) const;
    // The same for the offset given, counted from the start of this reader's bytes.
    [[noreturn]] void FailAt(size_t offset, const std::string& reason) const;

  private:
    // Throws unless the next count bytes are held (and so within the length).
    void Require(size_t count) const {
        if (m_offset > m_bytes.size() || count > m_bytes.size() - m_offset) {
            Missing(count);
        }
    }
    [[noreturn]] void Missing(size_t count) const;

    std::span<const uint8_t> m_bytes;  // held: the first of the length's bytes
    std::string m_what;
    size_t m_totalSize;
    size_t m_length;
    size_t m_base = 0;
    size_t m_offset = 0;
};

uint16_t LoadU16(const uint8_t* bytes);
uint32_t LoadU32(const uint8_t* bytes);

}  // namespace vc
