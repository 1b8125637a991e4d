// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vc {

// Text inside the program is UTF-8. Windows-1252 is used where bytes leave the program for the
// game or for files read by older Windows tools.

// Converts UTF-8 to Windows-1252. A character the code page cannot hold, and every byte of an
// invalid UTF-8 sequence, becomes "?", as a Windows program of this kind would see it.
std::string Utf8ToWindows1252(std::string_view utf8);
// Converts Windows-1252 to UTF-8. The five bytes the code page leaves undefined map to the
// control characters of the same number, so that every byte survives a round trip.
std::string Windows1252ToUtf8(std::string_view text);
bool IsValidUtf8(std::string_view text);
// The UTF-8 text with every byte of an invalid sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view text);

// The C0 controls and DEL, which no name shown or written on one line may hold as they are.
constexpr bool IsControlCharacter(char c) {
    return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}
// Decodes the UTF-8 character at the front of a non-empty text and steps over it; gives nothing and
// steps over one byte when the sequence is invalid (overlong, surrogate, out of range or cut short).
std::optional<char32_t> NextCodePoint(std::string_view& text);
// True when every character of the UTF-8 text has a place in Windows-1252.
bool FitsWindows1252(std::string_view utf8);
// The text as the byte values it has in Windows-1252, to order texts byte by byte as a Windows
// program of this kind does. Characters outside the code page follow every byte value, by code
// point; bytes of invalid UTF-8 follow those.
std::u32string Windows1252Collation(std::string_view utf8);

}  // namespace vc
