// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vc {

// The key by which names and paths are put in order: A to Z lower-cased, then compared byte by
// byte as their Windows-1252 values (a shorter text before a longer one it starts).
std::u32string CaseBlindOrder(std::string_view utf8);

}  // namespace vc
