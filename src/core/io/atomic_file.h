// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "io/byte_sink.h"
#include "io/temporary_file.h"

namespace vc {

// A file written beside its target and renamed over it by Commit(), so that the target holds
// either its old content or the whole new content, never a part. A file destroyed without
// Commit() is removed and the target is left as it was. When the target is a symbolic link, the
// file it leads to is the one replaced and the link stays. Write errors throw an Error naming the
// target.
// When a file is flushed to disk before it takes its target's place.
enum class Flush {
    WhenReplacing,  // only when it replaces a file (MustFlushBeforeReplacing)
    Always,         // a file later writes depend on, such as a journal: on disk before anything else changes
};

class AtomicFile final : public ByteSink {
  public:
    explicit AtomicFile(std::string_view utf8Path, Flush flush = Flush::WhenReplacing);
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;

    void Append(std::span<const uint8_t> bytes) override { m_file.Append(bytes); }
    void Overwrite(uint64_t offset, std::span<const uint8_t> bytes) override { m_file.Overwrite(offset, bytes); }
    uint64_t Size() const override { return m_file.Size(); }
    // Flushes the file to disk as its Flush says and puts it in the target's place. After Close(),
    // only puts it in place: the caller has flushed the file system that holds it.
    void Commit();
    // Writes out what is pending and closes the file without flushing it to disk, so that a batch
    // of files can be flushed together before each is committed (on Windows, which cannot flush a
    // whole file system, a file that will replace one is flushed here).
    void Close();
    // The file this one will replace, the end of the chain of links from the path it was given.
    const std::string& Target() const { return m_target; }

  private:
    bool MustFlush() const;

    std::string m_utf8Path;
    std::string m_target;
    Flush m_flush;
    TemporaryFile m_file;
    bool m_closed = false;
};

// Whether a file must be on disk before it is renamed over target: only when it replaces a file.
// One new to its folder replaces nothing the user had, and a crash can at worst leave it short, as
// it can a copy; not flushing it saves a wait for the disk per file.
bool MustFlushBeforeReplacing(const std::string& target);

// Writes bytes to a temporary file beside the target (the file a link leads to) and renames it
// over the target.
void WriteFileAtomically(std::string_view utf8Path, std::span<const uint8_t> bytes, Flush flush = Flush::WhenReplacing);

// How PutInPlace may move a file onto its target.
enum class Placement {
    RenameWherePossible,  // a rename when both are on one file system, else a copy
    Copy,                 // a copy always, as between two file systems
};

// Puts a complete temporary file in the place of the file at utf8Path (the end of its chain of
// links, as AtomicFile replaces it), so that the target holds either its old content or the whole
// new content: by a rename when both are on one file system, else by a copy written beside the
// target and renamed over it (each flushed to disk first when it replaces a file). Afterwards the temporary file is
// gone; on an error the target is as it was and the temporary file is left to its owner.
void PutInPlace(TemporaryFile& file, std::string_view utf8Path, Placement placement = Placement::RenameWherePossible);

}  // namespace vc
