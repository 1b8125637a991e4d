// SPDX-License-Identifier: GPL-3.0-or-later
// Times the encoders the builder writes textures with, on 512 × 512 pictures, and measures their
// error: rates are in pixels of the top level per second, errors are PSNR in dB.
//   Mipmaps/FILTER/PICTURE   the chain down to 1 × 1; psnr_linear_N compares level N with the
//                            picture averaged over 2^N × 2^N pixels in linear light in double
//                            precision (the light the level stands for), psnr_srgb_N with the
//                            average of the sRGB bytes themselves (what a plain box aims at).
//   Dxt/FORMAT/QUALITY/WORKERS/PICTURE   the top level compressed; psnr_rgb of the decoded level.
//   Palette/PICTURE          QuantizeLevels over the top level and its chain; psnr_rgba of the top.

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <random>
#include <string>

#include "image_set.h"
#include "pixels/mipmap_chain.h"
#include "pixels/palette_quantization.h"
#include "raster/dxt_compression.h"
#include "raster/raster_encoding.h"
#include "stored_level.h"

namespace {

using vc::PixelLevel;

constexpr uint32_t kSide = 512;

struct Picture {
    const char* Name;
    std::function<std::array<uint8_t, 4>(uint32_t x, uint32_t y)> Pixel;  // blue, green, red, alpha
};

// The image set's photo-like picture, smooth ramps, uniform noise, and thin black and white
// stripes (the case where averaging sRGB bytes and averaging light differ most).
const Picture kPictures[] = {
    {"photo",
     [](uint32_t x, uint32_t y) {
         const vc::RgbColour c = vc::test::PhotoLikeColour(0, int(x), int(y));
         return std::array<uint8_t, 4>{c.Blue, c.Green, c.Red, 255};
     }},
    {"gradient",
     [](uint32_t x, uint32_t y) {
         return std::array<uint8_t, 4>{uint8_t(x / 2), uint8_t(y / 2), uint8_t((x + y) / 4), 255};
     }},
    {"noise",
     [](uint32_t x, uint32_t y) {
         const uint32_t hash = (x * 73856093u) ^ (y * 19349663u) ^ ((x * y) * 83492791u);
         const uint32_t mixed = hash * 2654435761u;
         return std::array<uint8_t, 4>{uint8_t(mixed >> 24), uint8_t(mixed >> 16), uint8_t(mixed >> 8), 255};
     }},
    {"stripes",
     [](uint32_t x, uint32_t y) {
         const uint8_t grey = (x + y / 3) % 2 ? 255 : 0;
         return std::array<uint8_t, 4>{grey, grey, uint8_t(grey / 2), 255};
     }},
};

PixelLevel Make(const Picture& picture) {
    PixelLevel level{kSide, kSide, {}};
    level.Bgra.reserve(size_t{4} * kSide * kSide);
    for (uint32_t y = 0; y < kSide; ++y) {
        for (uint32_t x = 0; x < kSide; ++x) {
            const std::array<uint8_t, 4> bgra = picture.Pixel(x, y);
            level.Bgra.insert(level.Bgra.end(), bgra.begin(), bgra.end());
        }
    }
    return level;
}

double ToLinear(double byte) {
    const double c = byte / 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double ToSrgb(double linear) {
    return 255 * (linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055);
}

// The opaque top level averaged over blocks of 2^level pixels a side, in linear light or in bytes.
std::vector<uint8_t> Reference(const PixelLevel& top, int level, bool linearLight) {
    const uint32_t block = 1u << level;
    const uint32_t side = kSide / block;
    std::vector<uint8_t> reference(size_t{4} * side * side);
    for (uint32_t y = 0; y < side; ++y) {
        for (uint32_t x = 0; x < side; ++x) {
            for (size_t channel = 0; channel < 4; ++channel) {
                double sum = 0;
                for (uint32_t v = 0; v < block; ++v) {
                    for (uint32_t u = 0; u < block; ++u) {
                        const double byte = top.Bgra[4 * ((size_t{y} * block + v) * kSide + x * block + u) + channel];
                        sum += linearLight && channel < 3 ? ToLinear(byte) : byte;
                    }
                }
                const double mean = sum / (block * block);
                reference[4 * (size_t{y} * side + x) + channel] =
                    static_cast<uint8_t>(std::lround(linearLight && channel < 3 ? ToSrgb(mean) : mean));
            }
        }
    }
    return reference;
}

void Mipmaps(benchmark::State& state, vc::MipmapFilter filter, const Picture& picture) {
    const PixelLevel top = Make(picture);
    std::vector<PixelLevel> levels;
    for (auto _ : state) {
        levels = vc::MipmapLevels(top, filter);
        benchmark::DoNotOptimize(levels.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
    for (const int level : {1, 3}) {
        const std::vector<uint8_t>& made = levels.at(size_t(level - 1)).Bgra;
        state.counters["psnr_linear_" + std::to_string(level)] = vc::test::Psnr(made, Reference(top, level, true), 3);
        state.counters["psnr_srgb_" + std::to_string(level)] = vc::test::Psnr(made, Reference(top, level, false), 3);
    }
}

void Dxt(benchmark::State& state, vc::TextureFormat format, vc::DxtQuality quality, unsigned workers,
         const Picture& picture) {
    const PixelLevel top = Make(picture);
    vc::WorkPool pool(workers - 1);
    std::vector<uint8_t> blocks;
    for (auto _ : state) {
        blocks = vc::CompressDxt(top, format, quality, &pool);
        benchmark::DoNotOptimize(blocks.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
    state.counters["psnr_rgb"] = vc::test::Psnr(vc::test::DecodeStoredLevel(format, kSide, kSide, blocks), top.Bgra, 3);
}

void Palette(benchmark::State& state, const Picture& picture) {
    std::vector<PixelLevel> levels = {Make(picture)};
    for (PixelLevel& level : vc::MipmapLevels(levels[0], vc::MipmapFilter::GammaCorrect)) {
        levels.push_back(std::move(level));
    }
    vc::PalettedLevels paletted;
    for (auto _ : state) {
        paletted = vc::QuantizeLevels(levels);
        benchmark::DoNotOptimize(paletted.Indices.data());
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * kSide * kSide);
    const std::vector<uint8_t> palette(paletted.Palette.begin(), paletted.Palette.end());
    state.counters["psnr_rgba"] =
        vc::test::Psnr(vc::test::DecodeStoredLevel(vc::TextureFormat::Pal8, kSide, kSide, paletted.Indices[0], palette),
                       levels[0].Bgra, 4);
}

void Register() {
    for (const Picture& picture : kPictures) {
        for (const auto& [filter, name] :
             {std::pair{vc::MipmapFilter::Box, "box"}, std::pair{vc::MipmapFilter::GammaCorrect, "gamma"}}) {
            benchmark::RegisterBenchmark((std::string("Mipmaps/") + name + "/" + picture.Name).c_str(), Mipmaps, filter,
                                         picture)
                ->Unit(benchmark::kMillisecond);
        }
    }
    for (const vc::TextureFormat format : {vc::TextureFormat::Dxt1, vc::TextureFormat::Dxt3}) {
        for (const auto& [quality, name] :
             {std::pair{vc::DxtQuality::Best, "best"}, std::pair{vc::DxtQuality::Fast, "fast"}}) {
            for (const unsigned workers : {1u, 2u}) {
                for (const Picture& picture : kPictures) {
                    const std::string title = std::string("Dxt/") + std::string(vc::TextureFormatName(format)) + "/" +
                                              name + "/" + std::to_string(workers) + "/" + picture.Name;
                    benchmark::RegisterBenchmark(title.c_str(), Dxt, format, quality, workers, picture)
                        ->Unit(benchmark::kMillisecond)
                        ->UseRealTime();
                }
            }
        }
    }
    for (const Picture& picture : kPictures) {
        benchmark::RegisterBenchmark((std::string("Palette/") + picture.Name).c_str(), Palette, picture)
            ->Unit(benchmark::kMillisecond);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Register();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
