// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_sink.h"
#include "io/native_file.h"

namespace vc {

// A new file that takes bytes as they are produced and is removed when destroyed, unless it was
// renamed away first. Small appends are gathered and written together. Errors name the path given
// for them: the file the user knows of rather than the temporary name.
class TemporaryFile final : public ByteSink {
  public:
    // Creates the file at pathTemplate, whose last six characters, "XXXXXX", become a name no other
    // file has. An empty errorName makes errors name the file itself.
    explicit TemporaryFile(std::string pathTemplate, std::string errorName = {});
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() override;

    void Append(std::span<const uint8_t> bytes) override;
    void Overwrite(uint64_t offset, std::span<const uint8_t> bytes) override;
    uint64_t Size() const override { return m_size; }

    const std::string& Path() const { return m_path; }
    // Writes out what is pending, gives the file the access rights it should have as target,
    // flushes it to disk when asked and closes it. Nothing can be appended afterwards.
    void Close(const std::string& target, bool flushToDisk);
    // Appends the whole file to out, a piece at a time, so that it never sits in memory whole.
    void CopyTo(ByteSink& out);
    // Renames the file onto target: 0 when done, after which the file is the target's and is no
    // longer removed; otherwise the reason (an errno value), and nothing has changed. The file must
    // be closed.
    [[nodiscard]] int RenameOnto(const std::string& target);
    // Removes the file now.
    void Remove();

  private:
    void Flush();
    void StartWriteback();

    std::string m_path;
    NativeFile m_file;
    std::string m_errorName;
    std::vector<uint8_t> m_pending;  // small appends, written together
    uint64_t m_written = 0;          // bytes in the file itself
    uint64_t m_size = 0;             // bytes in the file and pending
    uint64_t m_writebackStart = 0;   // bytes the system was asked to put on disk
    bool m_exists = true;            // the file at m_path is this one's, to remove
};

// The folder for a file that is put in its place once it is complete: preferredFolder when it is a
// folder this program may create files in, so that putting the file in a target there can be a
// rename; otherwise the system's temporary folder (TMPDIR, else /tmp; on Windows TMP or TEMP).
std::string ScratchFolder(std::string_view preferredFolder);

}  // namespace vc
