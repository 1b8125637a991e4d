// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "io/work_pool.h"
#include "pixels/pixel_level.h"
#include "raster/texture_format.h"

namespace vc {

enum class DxtQuality {
    Best,  // libsquish's cluster fit
    Fast,  // stb_dxt, and libsquish's range fit where stb_dxt cannot serve
};

// One level compressed to dxt (DXT1, DXT3 or DXT5; anything else throws std::invalid_argument): its
// LevelSize bytes of 4 × 4 blocks, row by row. DXT1 keeps 1-bit alpha: pixels with alpha below 128
// become transparent. With a pool, a large level is split into runs of block rows that the pool's
// threads share with the calling thread; the bytes are the same whatever the pool.
std::vector<uint8_t> CompressDxt(const PixelLevel& level, TextureFormat dxt, DxtQuality quality,
                                 WorkPool* pool = nullptr);

}  // namespace vc
