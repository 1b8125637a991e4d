#pragma once

#include <cstddef>

#include "raster/dxt_compression.h"

namespace vc {

// The choices a build takes from the options menu or the command line.
struct TxdOptions {
    size_t VersionIndex = 1;  // into kVersionStamps
    size_t FlagIndex = 1;     // into kTextureFlags
    bool pwr2lmt = true;      // image sides must be powers of two
    DxtQuality Dxt = DxtQuality::Best;
};

}  // namespace vc
