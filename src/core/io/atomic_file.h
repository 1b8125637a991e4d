#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_sink.h"
#include "io/posix_file.h"

namespace vc {

// A file written beside its target and renamed over it by Commit(), so that the target holds
// either its old content or the whole new content, never a part. A file destroyed without
// Commit() is removed and the target is left as it was. When the target is a symbolic link, the
// file it leads to is the one replaced and the link stays. Write errors throw an Error naming the
// target.
class AtomicFile final : public ByteSink {
  public:
    explicit AtomicFile(std::string_view utf8Path);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    ~AtomicFile() override;

    void Append(std::span<const uint8_t> bytes) override;
    void Overwrite(uint64_t offset, std::span<const uint8_t> bytes) override;
    uint64_t Size() const override { return m_size; }
    // Flushes the file to disk and puts it in the target's place. After Close(), only puts it in
    // place: the caller has flushed the file system that holds it.
    void Commit();
    // Writes out what is pending and closes the file without flushing it to disk, so that a batch
    // of files can be flushed together before each is committed.
    void Close();
    // The file this one will replace, the end of the chain of links from the path it was given.
    const std::string& Target() const { return m_target; }

  private:
    void Flush();
    void Finish(bool flushToDisk);
    void WriteAt(uint64_t offset, std::span<const uint8_t> bytes);
    void StartWriteback();

    std::string m_utf8Path;
    std::string m_target;
    std::string m_temporary;
    FileDescriptor m_file;
    std::vector<uint8_t> m_pending;  // small appends, written together
    uint64_t m_written = 0;          // bytes in the file itself
    uint64_t m_size = 0;             // bytes in the file and pending
    uint64_t m_writebackStart = 0;   // bytes the system was asked to put on disk
    bool m_closed = false;
    bool m_committed = false;
};

// Writes bytes to a temporary file beside the target (the file a link leads to) and renames it
// over the target.
void WriteFileAtomically(std::string_view utf8Path, std::span<const uint8_t> bytes);

}  // namespace vc
