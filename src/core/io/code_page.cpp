// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/code_page.h"

#include <array>
#include <cstdint>
#include <optional>

namespace vc {

namespace {

// Code points of the bytes 0x80 to 0x9F; every other byte is its own code point.
// clang-format off
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};
// clang-format on

char32_t CodePointOfByte(unsigned char byte) {
    return (byte >= 0x80 && byte <= 0x9F) ? kHighControls[byte - 0x80] : byte;
}

std::optional<unsigned char> ByteOfCodePoint(char32_t codePoint) {
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        return static_cast<unsigned char>(codePoint);
    }
    for (size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == codePoint) {
            return static_cast<unsigned char>(0x80 + i);
        }
    }
    return std::nullopt;
}

void AppendUtf8(std::string& out, char32_t codePoint) {
    if (codePoint < 0x80) {
        out += static_cast<char>(codePoint);
    } else if (codePoint < 0x800) {
        out += static_cast<char>(0xC0 | (codePoint >> 6));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    } else {
        // Windows-1252 holds nothing beyond the Basic Multilingual Plane.
        out += static_cast<char>(0xE0 | (codePoint >> 12));
        out += static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (codePoint & 0x3F));
    }
}

}  // namespace

std::optional<char32_t> NextCodePoint(std::string_view& text) {
    const auto lead = static_cast<unsigned char>(text[0]);
    size_t length = 0;
    char32_t codePoint = 0;
    char32_t smallest = 0;
    if (lead < 0x80) {
        text.remove_prefix(1);
        return lead;
    } else if ((lead & 0xE0) == 0xC0) {
        length = 2, codePoint = lead & 0x1F, smallest = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, codePoint = lead & 0x0F, smallest = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, codePoint = lead & 0x07, smallest = 0x10000;
    } else {
        text.remove_prefix(1);
        return std::nullopt;
    }
    if (text.size() < length) {
        text.remove_prefix(1);
        return std::nullopt;
    }
    for (size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[i]);
        if ((next & 0xC0) != 0x80) {
            text.remove_prefix(1);
            return std::nullopt;
        }
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) {
        text.remove_prefix(1);
        return std::nullopt;
    }
    text.remove_prefix(length);
    return codePoint;
}

std::string Utf8ToWindows1252(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    while (!utf8.empty()) {
        const std::optional<char32_t> codePoint = NextCodePoint(utf8);
        const std::optional<unsigned char> byte = codePoint ? ByteOfCodePoint(*codePoint) : std::nullopt;
        out += byte ? static_cast<char>(*byte) : '?';
    }
    return out;
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 4);
    for (const char c : text) {
        AppendUtf8(out, CodePointOfByte(static_cast<unsigned char>(c)));
    }
    return out;
}

std::string ValidUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        AppendUtf8(out, NextCodePoint(text).value_or(U'\uFFFD'));
    }
    return out;
}

bool IsValidUtf8(std::string_view text) {
    while (!text.empty()) {
        if (!NextCodePoint(text)) {
            return false;
        }
    }
    return true;
}

std::u32string Windows1252Collation(std::string_view utf8) {
    constexpr char32_t kBeyondCodePage = 0x100;
    constexpr char32_t kBeyondUnicode = 0x110000 + kBeyondCodePage;
    std::u32string order;
    order.reserve(utf8.size());
    while (!utf8.empty()) {
        const auto lead = static_cast<unsigned char>(utf8.front());
        const std::optional<char32_t> codePoint = NextCodePoint(utf8);
        if (!codePoint) {
            order += kBeyondUnicode + lead;
        } else if (const std::optional<unsigned char> byte = ByteOfCodePoint(*codePoint)) {
            order += *byte;
        } else {
            order += kBeyondCodePage + *codePoint;
        }
    }
    return order;
}

bool FitsWindows1252(std::string_view utf8) {
    while (!utf8.empty()) {
        const std::optional<char32_t> codePoint = NextCodePoint(utf8);
        if (!codePoint || !ByteOfCodePoint(*codePoint)) {
            return false;
        }
    }
    return true;
}

}  // namespace vc
