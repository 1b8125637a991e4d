// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

#include "command.h"

namespace vc::cli {

// One line on a terminal that a batch rewrites as it goes ("build-tree 12/100 cars/sports"), and
// takes away when it ends; nothing at all when standard error is no terminal. What a batch prints
// about an item comes after Clear(), so that it never mixes with the line.
class TerminalProgress {
  public:
    TerminalProgress(const Streams& streams, std::string_view what) : m_streams(streams), m_what(what) {}
    TerminalProgress(const TerminalProgress&) = delete;
    TerminalProgress& operator=(const TerminalProgress&) = delete;
    ~TerminalProgress() { Clear(); }

    void Report(size_t done, size_t total, std::string_view item);
    void Clear();

  private:
    const Streams& m_streams;
    std::string_view m_what;
    bool m_shown = false;
};

}  // namespace vc::cli
