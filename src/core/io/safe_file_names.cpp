// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/safe_file_names.h"

#include <algorithm>
#include <array>
#include <optional>

#include "io/code_page.h"
#include "io/file_names.h"

namespace vc {

namespace {

// Leaves room below the 255 bytes Linux allows for a counter and an extension.
constexpr size_t kLongestName = 200;
constexpr char kReplacement = '_';
constexpr std::string_view kFallbackName = "unnamed";
constexpr std::string_view kRefusedByWindows = "<>:\"/\\|?*";

// Names Windows gives to devices: a file of that name, with or without an extension, opens the
// device instead. "¹", "²" and "³" count as digits there.
// clang-format off
constexpr std::array<std::string_view, 32> kDeviceNames = {
    "con", "prn", "aux", "nul", "conin$", "conout$",
    "com0", "com1", "com2", "com3", "com4", "com5", "com6", "com7", "com8", "com9",
    "lpt0", "lpt1", "lpt2", "lpt3", "lpt4", "lpt5", "lpt6", "lpt7", "lpt8", "lpt9",
    "com\u00B9", "com\u00B2", "com\u00B3", "lpt\u00B9", "lpt\u00B2", "lpt\u00B3",
};
// clang-format on

bool IsRefused(char32_t c) {
    const bool control = c < 0x20 || (c >= 0x7F && c <= 0x9F);
    return control || (c < 0x80 && kRefusedByWindows.find(static_cast<char>(c)) != std::string_view::npos);
}

// The name with every character a file name cannot hold, and every byte of invalid UTF-8, replaced.
std::string ReplaceRefusedCharacters(std::string_view name) {
    std::string safe;
    safe.reserve(name.size());
    while (!name.empty()) {
        const std::string_view rest = name;
        const std::optional<char32_t> c = NextCodePoint(name);
        if (c && !IsRefused(*c)) {
            safe += rest.substr(0, rest.size() - name.size());
        } else {
            safe += kReplacement;
        }
    }
    return safe;
}

// Cuts valid UTF-8 to at most length bytes at a character's start.
void CutUtf8(std::string& text, size_t length) {
    if (text.size() <= length) {
        return;
    }
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) {
        --length;
    }
    text.resize(length);
}

// Windows drops trailing dots and blanks from a file name, so "a." would be the file "a".
void ReplaceTrailingDotsAndBlanks(std::string& name) {
    for (auto it = name.rbegin(); it != name.rend() && (*it == '.' || *it == ' '); ++it) {
        *it = kReplacement;
    }
}

// The device name is the part before the first dot, blanks around it ignored: "nul .txt" is NUL.
void MarkDeviceName(std::string& name) {
    std::string_view base = std::string_view(name).substr(0, name.find('.'));
    while (!base.empty() && base.back() == ' ') {
        base.remove_suffix(1);
    }
    const size_t baseEnd = base.size();
    while (!base.empty() && base.front() == ' ') {
        base.remove_prefix(1);
    }
    if (std::find(kDeviceNames.begin(), kDeviceNames.end(), LowerAscii(base)) != kDeviceNames.end()) {
        name.insert(baseEnd, 1, kReplacement);
    }
}

// The upper-case form of the letters of the Latin, Greek and Cyrillic alphabets, as Windows file
// systems compare names; this covers every letter of Windows-1252. Any other character is itself.
char32_t UpperCase(char32_t c) {
    const auto pairUpper = [](char32_t letter, bool upperIsEven) {
        return (letter % 2 == 0) == upperIsEven ? letter : letter - 1;
    };
    if ((c >= U'a' && c <= U'z') || (c >= 0xE0 && c <= 0xFE && c != 0xF7) || (c >= 0x3B1 && c <= 0x3CB) ||
        (c >= 0x430 && c <= 0x44F)) {
        return c == 0x3C2 ? 0x3A3 : c - 0x20;  // final sigma is sigma
    }
    if (c == 0xFF) {
        return 0x178;
    }
    if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177)) {
        return pairUpper(c, true);
    }
    if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
        return pairUpper(c, false);
    }
    if (c >= 0x450 && c <= 0x45F) {
        return c - 0x50;
    }
    if (c == 0x3AC) {
        return 0x386;
    }
    if (c >= 0x3AD && c <= 0x3AF) {
        return c - 0x25;
    }
    if (c == 0x3CC) {
        return 0x38C;
    }
    if (c == 0x3CD || c == 0x3CE) {
        return c - 0x3F;
    }
    if (c >= 0xFF41 && c <= 0xFF5A) {  // full-width Latin letters
        return c - 0x20;
    }
    return c;
}

// The file name in the form in which a Windows file system compares it.
std::u32string ComparedForm(std::string_view fileName) {
    std::u32string form;
    while (!fileName.empty()) {
        // Safe file names are valid UTF-8; the extension comes from the program.
        form += UpperCase(NextCodePoint(fileName).value_or(kReplacement));
    }
    return form;
}

}  // namespace

std::string SafeFileName(std::string_view name) {
    std::string safe = ReplaceRefusedCharacters(name);
    ReplaceTrailingDotsAndBlanks(safe);
    MarkDeviceName(safe);
    CutUtf8(safe, kLongestName);
    // A cut may end in a dot or blank; replacing it cannot make a device name, whose last letter is
    // never "_".
    ReplaceTrailingDotsAndBlanks(safe);
    return safe.empty() ? std::string(kFallbackName) : safe;
}

std::string UniqueFileNames::Claim(std::string_view name, std::string_view extension) {
    const std::string base = SafeFileName(name);
    std::string fileName = base + std::string(extension);
    for (unsigned counter = 2; !m_claimed.insert(ComparedForm(fileName)).second; ++counter) {
        fileName = base + kReplacement + std::to_string(counter) + std::string(extension);
    }
    return fileName;
}

}  // namespace vc
