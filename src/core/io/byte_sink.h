// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>

namespace vc {

inline std::array<uint8_t, 4> LittleEndianU32(uint32_t value) {
    return {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8), static_cast<uint8_t>(value >> 16),
            static_cast<uint8_t>(value >> 24)};
}

// Takes bytes in the order they are produced: a buffer in memory or a file being written. Values
// known only at the end (a size, a count) overwrite bytes appended earlier.
class ByteSink {
  public:
    virtual ~ByteSink() = default;

    virtual void Append(std::span<const uint8_t> bytes) = 0;
    // Throws std::out_of_range for bytes that were never appended.
    virtual void Overwrite(uint64_t offset, std::span<const uint8_t> bytes) = 0;
    // The number of bytes appended so far.
    virtual uint64_t Size() const = 0;

    void PatchU32(uint64_t offset, uint32_t value) { Overwrite(offset, LittleEndianU32(value)); }
};

}  // namespace vc
