// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vc {

// File-name rules for paths as the user gave them. Both "/" and "\" separate folders on every
// platform, since lists written on Windows carry "\"; a ":" counts only as a drive letter's colon.

// The separator this platform writes between folders: "\" on Windows, "/" elsewhere.
inline constexpr char kFolderSeparator =
#ifdef _WIN32
    '\\';
#else
    '/';
#endif

// The text after the last folder separator: "C:\Img\Brick.BMP" gives "Brick.BMP".
std::string_view FileNamePart(std::string_view path);
// The file name's part from its last "." on, dot included; empty when there is none.
std::string_view FileExtension(std::string_view path);
// The file name part with its extension cut off: "C:\Img\wall.old.jpg" gives "wall.old".
std::string_view FileNameWithoutExtension(std::string_view path);

// Removes every character with a code of 32 or less from both ends.
std::string_view TrimText(std::string_view text);
// Lower-cases the letters A to Z only; every other byte stays as it is.
std::string LowerAscii(std::string_view text);
// The text trimmed and lower-cased, the form in which names and paths are compared.
std::string ComparableText(std::string_view text);
// Equal after trimming and lower-casing both sides.
bool SameTextTrimmed(std::string_view a, std::string_view b);

}  // namespace vc
