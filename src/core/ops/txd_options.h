#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "raster/dxt_compression.h"
#include "rw/txd_format.h"

namespace vc {

// The choices a build takes from the options menu or the command line.
struct TxdOptions {
    size_t VersionIndex = kDefaultVersionIndex;  // into kVersionStamps
    size_t FlagIndex = 1;                        // into kTextureFlags
    bool pwr2lmt = true;                         // image sides must be powers of two
    DxtQuality Dxt = DxtQuality::Best;
    // The stamp of the dictionary the list came from, written in place of the chosen one's.
    std::optional<uint32_t> KeptStamp;
};

}  // namespace vc
