#include "raster/dxt_compression.h"

#include <squish.h>

#include <algorithm>
#include <stdexcept>
#include <string>

#include "io/cancellation.h"

namespace vc {

namespace {

// Each part holds at least this many blocks, so that handing it to another thread costs little
// beside it: a block takes libsquish about 80 microseconds at best quality and about 1 at fast
// quality.
uint64_t BlocksPerPart(DxtQuality quality) {
    return quality == DxtQuality::Best ? 8 : 256;
}

int SquishFlags(TextureFormat dxt, DxtQuality quality) {
    const int fit = quality == DxtQuality::Best ? squish::kColourIterativeClusterFit : squish::kColourRangeFit;
    switch (dxt) {
        case TextureFormat::Dxt1:
            return fit | squish::kDxt1;
        case TextureFormat::Dxt3:
            return fit | squish::kDxt3;
        case TextureFormat::Dxt5:
            return fit | squish::kDxt5;
        default:
            throw std::invalid_argument("CompressDxt: " + std::string(TextureFormatName(dxt)) + " is not a DXT format");
    }
}

// Compresses the block rows [firstRow, endRow) into out, which holds the whole level. Blocks at the
// right and bottom edges repeat the level's edge pixels and leave them out of the fit by the mask.
// A run being stopped ends the work at the next row of blocks.
void CompressBlockRows(const PixelLevel& level, int flags, size_t blockSize, uint32_t firstRow, uint32_t endRow,
                       uint8_t* out, const std::atomic<bool>* stop) {
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
            squish::CompressMasked(rgba, mask, out + blockSize * (size_t{blockRow} * blocksAcross + blockColumn),
                                   flags);
        }
    }
}

}  // namespace

std::vector<uint8_t> CompressDxt(const PixelLevel& level, TextureFormat dxt, DxtQuality quality, WorkPool* pool) {
    CheckPixelLevel(level);
    const int flags = SquishFlags(dxt, quality);
    std::vector<uint8_t> blocks(LevelSize(dxt, level.Width, level.Height));
    if (blocks.empty()) {
        return blocks;
    }
    const size_t blockSize = dxt == TextureFormat::Dxt1 ? 8 : 16;
    const uint32_t blockRows = (level.Height + 3) / 4;
    const uint64_t blockCount = blocks.size() / blockSize;
    const uint64_t threads = pool != nullptr ? pool->Helpers() + 1 : 1;
    const auto parts = static_cast<uint32_t>(
        std::clamp<uint64_t>(std::min<uint64_t>(threads, blockCount / BlocksPerPart(quality)), 1, blockRows));
    // Part i takes the block rows [i * rows / parts, (i + 1) * rows / parts).
    const auto rowOf = [&](uint64_t part) { return static_cast<uint32_t>(part * blockRows / parts); };
    const std::atomic<bool>* stop = WatchedStop();  // the pool's helpers watch it for this thread
    const auto compress = [&](size_t part) {
        CompressBlockRows(level, flags, blockSize, rowOf(part), rowOf(part + 1), blocks.data(), stop);
    };
    if (pool != nullptr) {
        pool->ForEachPart(parts, compress);
    } else {
        compress(0);
    }
    return blocks;
}

}  // namespace vc
