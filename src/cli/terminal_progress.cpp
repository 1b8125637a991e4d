// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal_progress.h"

#include <ostream>
#include <string>

#include "terminal_text.h"

namespace vc::cli {

namespace {

// A line that fits the narrowest terminal, so that it never wraps and can be rewritten.
constexpr size_t kLineWidth = 79;
constexpr std::string_view kClearLine = "\r\x1B[K";

}  // namespace

void TerminalProgress::Report(size_t done, size_t total, std::string_view item) {
    if (!m_streams.ErrIsTerminal) {
        return;
    }
    std::string line =
        std::string(m_what) + " " + std::to_string(done) + "/" + std::to_string(total) + " " + TerminalName(item);
    if (line.size() > kLineWidth) {
        size_t cut = kLineWidth - 3;
        while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
            --cut;  // not inside a character
        }
        line = line.substr(0, cut) + "...";
    }
    m_streams.Err << kClearLine << line << std::flush;
    m_shown = true;
}

void TerminalProgress::Clear() {
    if (m_shown) {
        m_streams.Err << kClearLine << std::flush;
        m_shown = false;
    }
}

}  // namespace vc::cli
