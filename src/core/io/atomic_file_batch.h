// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/atomic_file.h"

namespace vc {

// Many files written beside their targets and put in place together. Commit() flushes the file
// system that holds the files that replace others once, which costs far less than a flush per file
// (Windows has no such flush, and each such file is flushed as it is written), then renames each
// over its target. When a
// rename fails, the targets already replaced get their old content back (through a second name
// each kept beside it until the batch is in place) and Commit() throws: the targets hold either
// all the new files or all their old contents. Destroyed without Commit(), or after a failed one,
// the batch removes what it wrote.
class AtomicFileBatch {
  public:
    void Write(std::string_view utf8Path, std::span<const uint8_t> bytes);
    // The paths written so far whose targets exist already and would be replaced.
    std::vector<std::string> ExistingTargets() const;
    // Takes back the files whose targets exist, so that Commit() puts only the others in place.
    void DropExisting();
    void Commit();

  private:
    std::vector<std::unique_ptr<AtomicFile>> m_files;
    std::vector<std::string> m_paths;
};

}  // namespace vc
