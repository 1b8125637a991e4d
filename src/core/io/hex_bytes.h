// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// Bytes as two lower-case hexadecimal digits each, and back (digits of either case; empty for an
// odd count or anything but digits).
std::string HexBytes(std::span<const uint8_t> bytes);
std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text);

}  // namespace vc
