// SPDX-License-Identifier: GPL-3.0-or-later
// Times the model check on a generated model of about 50 MB: reading the file, the chunk walk
// alone, the walk with its chunk log, and the whole check.

#include <benchmark/benchmark.h>

#include <string>

#include "io/file_io.h"
#include "model_chunks.h"
#include "ops/dff_check.h"
#include "temp_dir.h"

namespace {

using vc::test::Bytes;
using vc::test::Chunk;
using vc::test::Join;

// Geometries with large vertex data and a few textured materials each, as a detailed car has.
Bytes MakeModel() {
    Bytes geometries;
    for (int g = 0; g < 400; ++g) {
        Bytes materials = Chunk(1, vc::test::U32(8));
        for (int m = 0; m < 8; ++m) {
            const std::string name = "part" + std::to_string(g) + "_" + std::to_string(m);
            const Bytes texture = vc::test::Texture({name, name + "_a"});
            const Bytes material = Chunk(7, Join({Chunk(1, Bytes(28)), texture, Chunk(3, Bytes(64))}));
            materials.insert(materials.end(), material.begin(), material.end());
        }
        const Bytes geometry =
            Chunk(15, Join({Chunk(1, Bytes(128 * 1024)), Chunk(8, materials), Chunk(3, Bytes(512))}));
        geometries.insert(geometries.end(), geometry.begin(), geometry.end());
    }
    return Chunk(16, Join({Chunk(1, vc::test::U32(400)), Chunk(26, Join({Chunk(1, vc::test::U32(400)), geometries}))}));
}

struct ModelFile {
    ModelFile() : Bytes(MakeModel()), Path(Folder.Write("car.dff", Bytes)) {}

    vc::test::TempDir Folder;
    vc::test::Bytes Bytes;
    std::string Path;
};

const ModelFile& Model() {
    static const ModelFile model;
    return model;
}

void ReadModelFile(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vc::ReadWholeFile(Model().Path).data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Model().Bytes.size()));
}

void WalkModel(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vc::ScanModel(Model().Bytes, nullptr).ScanList.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Model().Bytes.size()));
    state.counters["model_MB"] = static_cast<double>(Model().Bytes.size()) / 1e6;
}

void WalkModelWithLog(benchmark::State& state) {
    for (auto _ : state) {
        vc::ChunkLog log("now", Model().Path, Model().Bytes.size(), vc::NumberFormat{});
        benchmark::DoNotOptimize(vc::ScanModel(Model().Bytes, &log).ScanList.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Model().Bytes.size()));
}

void CheckModel(benchmark::State& state) {
    for (auto _ : state) {
        benchmark::DoNotOptimize(vc::RunDffCheck(Model().Path, {}, std::nullopt).DFFTexList.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(Model().Bytes.size()));
}

BENCHMARK(ReadModelFile)->Unit(benchmark::kMillisecond);
BENCHMARK(WalkModel)->Unit(benchmark::kMillisecond);
BENCHMARK(WalkModelWithLog)->Unit(benchmark::kMillisecond);
BENCHMARK(CheckModel)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
