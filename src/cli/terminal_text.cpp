// SPDX-License-Identifier: GPL-3.0-or-later
#include "terminal_text.h"

#include <cstdio>

#include "io/code_page.h"

namespace vc::cli {

std::string ToTerminalLines(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines += text[i];
    }
    return lines;
}

std::string TerminalName(std::string_view name) {
    std::string shown;
    for (const char c : name) {
        if (c == '\n') {
            shown += "\\n";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\t') {
            shown += "\\t";
        } else if (IsControlCharacter(c)) {
            char escape[5];
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(static_cast<unsigned char>(c)));
            shown += escape;
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace vc::cli
