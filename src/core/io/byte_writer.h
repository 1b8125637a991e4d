// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "io/byte_sink.h"

namespace vc {

// Appends little-endian numbers to a growing byte buffer in memory.
class ByteWriter final : public ByteSink {
  public:
    void U8(uint8_t value) { m_bytes.push_back(value); }
    void U16(uint16_t value);
    void U32(uint32_t value);
    void Append(std::span<const uint8_t> bytes) override { m_bytes.insert(m_bytes.end(), bytes.begin(), bytes.end()); }
    // Writes text into a field of fieldSize bytes, cut to fieldSize - 1 bytes and padded with zeros.
    void FixedText(std::string_view text, size_t fieldSize);
    void Overwrite(uint64_t offset, std::span<const uint8_t> bytes) override;
    void Reserve(size_t size) { m_bytes.reserve(size); }

    uint64_t Size() const override { return m_bytes.size(); }
    const std::vector<uint8_t>& View() const { return m_bytes; }
    std::vector<uint8_t> Take() { return std::move(m_bytes); }

  private:
    std::vector<uint8_t> m_bytes;
};

}  // namespace vc
