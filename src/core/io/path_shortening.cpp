// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/path_shortening.h"

#include <vector>

namespace vc {

namespace {

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

}  // namespace

std::string ShortenPath(std::string_view path, int maxWidth, const TextWidth& width) {
    if (width(path) <= maxWidth) {
        return std::string(path);
    }
    // Split into the root ("C:", "" for "/x", or nothing), the folders and the file name.
    std::vector<std::string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || IsSeparator(path[i])) {
            parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    const std::string_view fileName = parts.back();
    if (parts.size() == 1) {
        return std::string(fileName);
    }
    const char separator = path[parts.front().size()];
    const std::string root(parts.front());
    const std::string marker = std::string("...") + separator;
    for (size_t dropped = 1; dropped < parts.size() - 1; ++dropped) {
        std::string candidate = root + separator + marker;
        for (size_t i = dropped + 1; i < parts.size(); ++i) {
            candidate += std::string(parts[i]) + (i + 1 < parts.size() ? std::string(1, separator) : "");
        }
        if (width(candidate) <= maxWidth) {
            return candidate;
        }
    }
    const std::string withoutRoot = marker + std::string(fileName);
    if (width(withoutRoot) <= maxWidth) {
        return withoutRoot;
    }
    return std::string(fileName);
}

}  // namespace vc
