// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "io/native_file.h"

namespace vc {

// Bytes read range by range, so that a large file need not be held whole. Ranges may be read from
// several threads at once.
class ByteSource {
  public:
    virtual ~ByteSource() = default;
    virtual uint64_t Size() const = 0;
    // The bytes [offset, offset + size), which lie within Size(): a view of memory, or read into
    // scratch. Throws an Error when the file no longer holds them (it was cut short meanwhile).
    virtual std::span<const uint8_t> View(uint64_t offset, size_t size, std::vector<uint8_t>& scratch) const = 0;
};

// Bytes already in memory, viewed where they are.
class MemoryBytes final : public ByteSource {
  public:
    explicit MemoryBytes(std::span<const uint8_t> bytes) : m_bytes(bytes) {}
    uint64_t Size() const override { return m_bytes.size(); }
    std::span<const uint8_t> View(uint64_t offset, size_t size, std::vector<uint8_t>& scratch) const override;

  private:
    std::span<const uint8_t> m_bytes;
};

// Bytes the source keeps in memory itself.
class OwnedBytes final : public ByteSource {
  public:
    explicit OwnedBytes(std::vector<uint8_t> bytes) : m_bytes(std::move(bytes)), m_view(m_bytes) {}
    uint64_t Size() const override { return m_view.Size(); }
    std::span<const uint8_t> View(uint64_t offset, size_t size, std::vector<uint8_t>& scratch) const override {
        return m_view.View(offset, size, scratch);
    }

  private:
    std::vector<uint8_t> m_bytes;
    MemoryBytes m_view;
};

// A file's bytes, read when asked for.
class FileBytes final : public ByteSource {
  public:
    // Opens the file for reading; throws an Error as NativeFile does.
    explicit FileBytes(std::string_view utf8Path);
    uint64_t Size() const override { return m_size; }
    std::span<const uint8_t> View(uint64_t offset, size_t size, std::vector<uint8_t>& scratch) const override;

  private:
    mutable NativeFile m_file;  // read at offsets only, which threads may do at once
    uint64_t m_size;
    std::string m_path;
};

}  // namespace vc
