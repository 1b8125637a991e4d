// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/file_names.h"

#include <algorithm>

namespace vc {

namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char LowerAsciiChar(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

std::string_view FileNamePart(std::string_view path) {
    const size_t separator = path.find_last_of("/\\");
    if (separator != std::string_view::npos) {
        return path.substr(separator + 1);
    }
    if (path.size() >= 2 && path[1] == ':' && IsDriveLetter(path[0])) {
        return path.substr(2);
    }
    return path;
}

std::string_view FileExtension(std::string_view path) {
    const std::string_view name = FileNamePart(path);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos ? std::string_view{} : name.substr(dot);
}

std::string_view FileNameWithoutExtension(std::string_view path) {
    const std::string_view name = FileNamePart(path);
    return name.substr(0, name.size() - FileExtension(name).size());
}

std::string_view TrimText(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string LowerAscii(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), LowerAsciiChar);
    return lowered;
}

std::string ComparableText(std::string_view text) {
    return LowerAscii(TrimText(text));
}

bool SameTextTrimmed(std::string_view a, std::string_view b) {
    a = TrimText(a);
    b = TrimText(b);
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [](char x, char y) { return LowerAsciiChar(x) == LowerAsciiChar(y); });
}

}  // namespace vc
