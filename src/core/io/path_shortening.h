// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <string>
#include <string_view>

namespace vc {

// The width of a text in the font it is shown in.
using TextWidth = std::function<int(std::string_view)>;

// The path as it fits maxWidth: whole when it fits; otherwise leading folders after the drive or
// root are replaced by "..." one at a time (C:\...\tex\wall.bmp), then the drive goes
// (...\wall.bmp), then the marker (wall.bmp). The file name itself is never cut, so the last form
// may still be wider. The path's own separator is kept.
std::string ShortenPath(std::string_view path, int maxWidth, const TextWidth& width);

}  // namespace vc
