// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/dxt_compression.h"

#include <squish.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>

#include "io/cancellation.h"

// stb_dxt's functions, private to this file. It is C written for any compiler and not to this
// project's warnings.
#define STB_DXT_STATIC
#define STB_DXT_IMPLEMENTATION
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wall"
#pragma GCC diagnostic ignored "-Wextra"
#pragma GCC diagnostic ignored "-Wpedantic"
#pragma GCC diagnostic ignored "-Wshadow"
#pragma GCC diagnostic ignored "-Wunused-function"
#include <stb_dxt.h>
#pragma GCC diagnostic pop

namespace vc {

namespace {

// Each part holds at least this many blocks, so that handing it to another thread costs little
// beside it: a block takes libsquish's cluster fit some 6 microseconds and the fast setting under
// half of one.
uint64_t BlocksPerPart(DxtQuality quality) {
    return quality == DxtQuality::Best ? 16 : 256;
}

// Bytes of one 4 × 4 block; throws for a format that is not DXT.
size_t BlockSize(TextureFormat dxt) {
    switch (dxt) {
        case TextureFormat::Dxt1:
            return 8;
        case TextureFormat::Dxt3:
        case TextureFormat::Dxt5:
            return 16;
        default:
            throw std::invalid_argument("CompressDxt: " + std::string(TextureFormatName(dxt)) + " is not a DXT format");
    }
}

int SquishFlags(TextureFormat dxt, DxtQuality quality) {
    const int fit = quality == DxtQuality::Best ? squish::kColourClusterFit : squish::kColourRangeFit;
    const int format = dxt == TextureFormat::Dxt1   ? squish::kDxt1
                       : dxt == TextureFormat::Dxt3 ? squish::kDxt3
                                                    : squish::kDxt5;
    return fit | format;
}

// One block at the fast setting. stb_dxt fits the colours of most blocks better than libsquish's
// range fit and as fast, but it knows nothing of DXT1's transparent pixels nor of pixels outside
// the level, and libsquish writes one colour exactly: those blocks take libsquish's range fit.
// DXT3 keeps alpha in 4 bits a pixel, which needs no fit.
void CompressBlockFast(const uint8_t* rgba, int mask, TextureFormat dxt, int squishFlags, uint8_t* out) {
    bool oneColour = true;
    bool transparent = false;
    for (int i = 0; i < 16; ++i) {
        oneColour = oneColour && std::memcmp(rgba + 4 * i, rgba, 3) == 0;
        transparent = transparent || rgba[4 * i + 3] < 128;
    }
    if (mask != 0xFFFF || oneColour || (dxt == TextureFormat::Dxt1 && transparent)) {
        squish::CompressMasked(rgba, mask, out, squishFlags);
        return;
    }
    switch (dxt) {
        case TextureFormat::Dxt3:
            for (int i = 0; i < 16; i += 2) {
                const auto nibble = [&](int pixel) { return (rgba[4 * pixel + 3] + 8) / 17; };  // nearest of 16
                out[i / 2] = static_cast<uint8_t>(nibble(i) | nibble(i + 1) << 4);
            }
            stb_compress_dxt_block(out + 8, rgba, 0, STB_DXT_HIGHQUAL);
            break;
        case TextureFormat::Dxt5:
            stb_compress_dxt_block(out, rgba, 1, STB_DXT_HIGHQUAL);
            break;
        default:
            stb_compress_dxt_block(out, rgba, 0, STB_DXT_HIGHQUAL);
    }
}

// Compresses the block rows [firstRow, endRow) into out, which holds the whole level. Blocks at the
// right and bottom edges repeat the level's edge pixels and leave them out of the fit by the mask.
// A run being stopped ends the work at the next row of blocks.
void CompressBlockRows(const PixelLevel& level, TextureFormat dxt, DxtQuality quality, uint32_t firstRow,
                       uint32_t endRow, uint8_t* out, const std::atomic<bool>* stop) {
    const int flags = SquishFlags(dxt, quality);
    const size_t blockSize = BlockSize(dxt);
    const uint32_t blocksAcross = (level.Width + 3) / 4;
    uint8_t rgba[16 * 4];
    for (uint32_t blockRow = firstRow; blockRow < endRow; ++blockRow) {
        StopIfRequested(stop);
        for (uint32_t blockColumn = 0; blockColumn < blocksAcross; ++blockColumn) {
            int mask = 0;
            for (uint32_t y = 0; y < 4; ++y) {
                const uint32_t top = 4 * blockRow + y;
                const uint8_t* row = level.Bgra.data() + size_t{4} * level.Width * std::min(top, level.Height - 1);
                for (uint32_t x = 0; x < 4; ++x) {
                    const uint32_t left = 4 * blockColumn + x;
                    const uint8_t* bgra = row + 4 * size_t{std::min(left, level.Width - 1)};
                    uint8_t* pixel = rgba + 4 * (4 * y + x);
                    pixel[0] = bgra[2];
                    pixel[1] = bgra[1];
                    pixel[2] = bgra[0];
                    pixel[3] = bgra[3];
                    if (top < level.Height && left < level.Width) {
                        mask |= 1 << (4 * y + x);
                    }
                }
            }
            uint8_t* block = out + blockSize * (size_t{blockRow} * blocksAcross + blockColumn);
            if (quality == DxtQuality::Fast) {
                CompressBlockFast(rgba, mask, dxt, flags, block);
            } else {
                squish::CompressMasked(rgba, mask, block, flags);
            }
        }
    }
}

}  // namespace

std::vector<uint8_t> CompressDxt(const PixelLevel& level, TextureFormat dxt, DxtQuality quality, WorkPool* pool) {
    CheckPixelLevel(level);
    const size_t blockSize = BlockSize(dxt);
    std::vector<uint8_t> blocks(LevelSize(dxt, level.Width, level.Height));
    if (blocks.empty()) {
        return blocks;
    }
    const uint32_t blockRows = (level.Height + 3) / 4;
    const uint64_t blockCount = blocks.size() / blockSize;
    const uint64_t threads = pool != nullptr ? pool->Helpers() + 1 : 1;
    const auto parts = static_cast<uint32_t>(
        std::clamp<uint64_t>(std::min<uint64_t>(threads, blockCount / BlocksPerPart(quality)), 1, blockRows));
    // Part i takes the block rows [i * rows / parts, (i + 1) * rows / parts).
    const auto rowOf = [&](uint64_t part) { return static_cast<uint32_t>(part * blockRows / parts); };
    const std::atomic<bool>* stop = WatchedStop();  // the pool's helpers watch it for this thread
    const auto compress = [&](size_t part) {
        CompressBlockRows(level, dxt, quality, rowOf(part), rowOf(part + 1), blocks.data(), stop);
    };
    if (pool != nullptr) {
        pool->ForEachPart(parts, compress);
    } else {
        compress(0);
    }
    return blocks;
}

}  // namespace vc
