// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace vc {

// The RenderWare version 3.Minor.Revision.Binary and build number a chunk's version stamp names.
struct RenderWareVersion {
    unsigned Major = 0;
    unsigned Minor = 0;
    unsigned Revision = 0;
    unsigned Binary = 0;
    unsigned Build = 0;  // 0xFFFF when the writer named no build; 0 in the old form

    bool operator==(const RenderWareVersion&) const = default;
};

// Stamps since 3.1 pack the version above a 16-bit build number (0x1803FFFF is 3.6.0.3 of no
// particular build); older stamps hold the version's upper digits alone (0x0310 is 3.1.0.0).
RenderWareVersion DecodeVersionStamp(uint32_t stamp);

// The version as "3.6.0.3".
std::string VersionText(const RenderWareVersion& version);

}  // namespace vc
