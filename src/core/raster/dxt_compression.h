#pragma once

#include <cstdint>
#include <vector>

#include "pixels/pixel_level.h"
#include "raster/texture_format.h"

namespace vc {

enum class DxtQuality {
    Best,  // libsquish's iterative cluster fit
    Fast,  // libsquish's range fit
};

// The workers CompressDxt uses unless told: one per core.
unsigned DxtWorkerCount();

// One level compressed to dxt (DXT1, DXT3 or DXT5; anything else throws std::invalid_argument): its
// LevelSize bytes of 4 × 4 blocks, row by row. DXT1 keeps 1-bit alpha: pixels with alpha below 128
// become transparent. Large levels are split into runs of block rows, one per worker; the bytes are
// the same whatever the number of workers.
std::vector<uint8_t> CompressDxt(const PixelLevel& level, TextureFormat dxt, DxtQuality quality,
                                 unsigned workers = DxtWorkerCount());

}  // namespace vc
