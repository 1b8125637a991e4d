// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace vc::test {

// What tells one file from another on its volume, kept when the file is renamed: the inode, or
// Windows's file index. 0 when the file cannot be reached.
uint64_t FileIdOf(const std::string& utf8Path);

}  // namespace vc::test
