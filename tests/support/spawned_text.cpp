// SPDX-License-Identifier: GPL-3.0-or-later
#include "process_runner.h"

namespace vc::test {

std::string SpawnedText(std::string_view text) {
#ifdef _WIN32
    std::string lines;
    for (const char c : text) {
        lines += c == '\n' ? std::string_view("\r\n") : std::string_view(&c, 1);
    }
    return lines;
#else
    return std::string(text);
#endif
}

}  // namespace vc::test
