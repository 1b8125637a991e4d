// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "raster/dxt_compression.h"
#include "rw/game_target.h"
#include "rw/txd_format.h"

namespace vc {

// The choices a build takes from the options menu or the command line.
struct TxdOptions {
    size_t VersionIndex = kDefaultVersionIndex;  // into kVersionStamps
    size_t FlagIndex = 1;                        // into kTextureFlags
    bool pwr2lmt = true;                         // image sides must be powers of two
    DxtQuality Dxt = DxtQuality::Best;
    // The game the dictionary is for, which sets its platform and stamp; none: Direct3D 8 natives
    // with the stamp VersionIndex chooses.
    std::optional<Game> Target;
    // The stamp of the dictionary the list came from, written in place of the chosen one's.
    std::optional<uint32_t> KeptStamp;
};

}  // namespace vc
