// SPDX-License-Identifier: GPL-3.0-or-later
// Times sorting a long texture list by each key.

#include <benchmark/benchmark.h>

#include <random>
#include <string>

#include "texlist/list_editing.h"

namespace {

vc::TextureList MakeList(size_t length) {
    std::mt19937 random(1);
    vc::TextureList list(length);
    for (vc::TTexFile& entry : list) {
        entry.TexName = "Texture_" + std::to_string(random() % 50000);
        entry.TexPath = "/home/modder/textures/set" + std::to_string(random() % 100) + "/" + entry.TexName + ".bmp";
        entry.TexInfo = {.Height = static_cast<uint16_t>(4 << (random() % 8)),
                         .Width = static_cast<uint16_t>(4 << (random() % 8)),
                         .Depth = static_cast<uint8_t>(random() % 2 ? 8 : 32)};
    }
    return list;
}

void SortLongList(benchmark::State& state) {
    const vc::TextureList original = MakeList(static_cast<size_t>(state.range(0)));
    const auto key = static_cast<vc::SortKey>(state.range(1));
    for (auto _ : state) {
        state.PauseTiming();
        vc::TextureList list = original;
        state.ResumeTiming();
        vc::SortList(list, key, true);
        benchmark::DoNotOptimize(list.data());
    }
}

BENCHMARK(SortLongList)->ArgsProduct({{100000}, {0, 1, 2, 3}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
