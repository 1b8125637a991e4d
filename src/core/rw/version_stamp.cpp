// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/version_stamp.h"

namespace vc {

RenderWareVersion DecodeVersionStamp(uint32_t stamp) {
    RenderWareVersion version;
    if ((stamp & 0xFFFF0000) != 0) {
        // Bits 30-31: major version - 3; 26-29: minor; 22-25: revision; 16-21: binary format.
        version.Major = 3 + (stamp >> 30);
        version.Minor = (stamp >> 26) & 0xF;
        version.Revision = (stamp >> 22) & 0xF;
        version.Binary = (stamp >> 16) & 0x3F;
        version.Build = stamp & 0xFFFF;
    } else {
        // 0x0MNR: major, minor and revision digits, the binary format 0.
        version.Major = (stamp >> 8) & 0xF;
        version.Minor = (stamp >> 4) & 0xF;
        version.Revision = stamp & 0xF;
    }
    return version;
}

std::string VersionText(const RenderWareVersion& version) {
    return std::to_string(version.Major) + "." + std::to_string(version.Minor) + "." +
           std::to_string(version.Revision) + "." + std::to_string(version.Binary);
}

}  // namespace vc
