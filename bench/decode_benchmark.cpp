// SPDX-License-Identifier: GPL-3.0-or-later
// Times decoding a texture's picture to RGBA, by format, on a 512 × 512 texture of pseudo-random
// bytes: the DXT rows give libsquish's decode rate. Rates are in pixels per second.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "raster/texture_decoder.h"
#include "rw/native_picture.h"
#include "rw/txd_format.h"
#include "rw/txd_reader.h"
#include "txd_chunks.h"

namespace {

constexpr uint16_t kSide = 512;

struct Kind {
    uint32_t RasterFormat;
    uint8_t Depth;
    uint8_t Compression;
    size_t BytesPerBlockOrPixel;
    bool Blocks;  // DXT: 4 × 4 pixel blocks
};

vc::test::Bytes RandomBytes(size_t size) {
    std::mt19937 random(7);
    vc::test::Bytes bytes(size);
    for (uint8_t& byte : bytes) {
        byte = static_cast<uint8_t>(random());
    }
    return bytes;
}

void Decode(benchmark::State& state, Kind kind) {
    const size_t units = kind.Blocks ? size_t{kSide / 4} * (kSide / 4) : size_t{kSide} * kSide;
    vc::test::NativeFields fields{.Name = "t",
                                  .RasterFormat = kind.RasterFormat,
                                  .Width = kSide,
                                  .Height = kSide,
                                  .Depth = kind.Depth,
                                  .CompressionOrFlags = kind.Compression,
                                  .LevelPixels = {RandomBytes(units * kind.BytesPerBlockOrPixel)}};
    if (kind.RasterFormat & vc::kRasterPal8) {
        fields.Palette = RandomBytes(256 * 4);
    }
    const vc::test::Bytes file = vc::test::Dictionary({vc::test::TextureNative(fields)});
    const vc::TxdContents contents = vc::ReadTxd(file);
    for (auto _ : state) {
        benchmark::DoNotOptimize(vc::DecodeTexture(file, contents.Textures.at(0)));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
}

BENCHMARK_CAPTURE(Decode, Dxt1, Kind{vc::kRasterC565, 16, 1, 8, true});
BENCHMARK_CAPTURE(Decode, Dxt3, Kind{vc::kRasterC4444, 16, 3, 16, true});
BENCHMARK_CAPTURE(Decode, Dxt5, Kind{vc::kRasterC4444, 16, 5, 16, true});
BENCHMARK_CAPTURE(Decode, C8888, Kind{vc::kRasterC8888, 32, 0, 4, false});
BENCHMARK_CAPTURE(Decode, Pal8, Kind{vc::kRasterPal8 | vc::kRasterC8888, 8, 0, 1, false});

}  // namespace

BENCHMARK_MAIN();
