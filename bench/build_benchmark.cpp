// SPDX-License-Identifier: GPL-3.0-or-later
// Times the parts of a dictionary build on a generated image set: reading the files, decoding
// them, and the whole build. The set's size comes from VELLUMCRAFT_BENCH_IMAGES (default 320)
// and VELLUMCRAFT_BENCH_SIDE (default 512).

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "image_set.h"
#include "io/file_io.h"
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "temp_dir.h"

namespace {

int EnvironmentNumber(const char* name, int fallback) {
    const char* value = std::getenv(name);
    return value != nullptr && std::atoi(value) > 0 ? std::atoi(value) : fallback;
}

struct ImageSet {
    ImageSet()
        : Paths(vc::test::WriteImageSet(Folder.Path().string(), EnvironmentNumber("VELLUMCRAFT_BENCH_IMAGES", 320),
                                        EnvironmentNumber("VELLUMCRAFT_BENCH_SIDE", 512))) {
        for (const std::string& path : Paths) {
            vc::TImageInfo info;
            if (!Intake.ReadImageFile(path, vc::kColourSlot, false, vc::IntakeRules{}, info)) {
                throw std::runtime_error("generated image refused: " + path);
            }
            RasterBytes += int64_t{info.Width} * info.Height * (info.Depth / 8);
            FileBytes += static_cast<int64_t>(vc::ReadWholeFile(path).size());
        }
    }

    vc::test::TempDir Folder;
    std::vector<std::string> Paths;
    vc::ImageIntake Intake;
    int64_t RasterBytes = 0;
    int64_t FileBytes = 0;
};

const ImageSet& Images() {
    static const ImageSet images;
    return images;
}

double PeakMemoryMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

void ReadFiles(benchmark::State& state) {
    const ImageSet& images = Images();
    for (auto _ : state) {
        for (const std::string& path : images.Paths) {
            benchmark::DoNotOptimize(vc::ReadWholeFile(path).data());
        }
    }
    state.SetBytesProcessed(state.iterations() * images.FileBytes);
}

// Reading and decoding every image into the conversion slots, as the build does.
void DecodeImages(benchmark::State& state) {
    const ImageSet& images = Images();
    vc::ImageIntake intake;
    for (auto _ : state) {
        for (const std::string& path : images.Paths) {
            vc::TImageInfo info;
            intake.ReadImageFile(path, vc::kColourSlot, true, vc::IntakeRules{}, info);
        }
    }
    state.SetBytesProcessed(state.iterations() * images.RasterBytes);
}

// The argument is the number of workers.
void BuildTxd(benchmark::State& state) {
    const ImageSet& images = Images();
    vc::Workspace workspace;
    workspace.Jobs = static_cast<unsigned>(state.range(0));
    for (const std::string& path : images.Paths) {
        vc::AddFile(workspace, path, true);
    }
    size_t dictionaryBytes = 0;
    for (auto _ : state) {
        dictionaryBytes = vc::BuildTxd(workspace, vc::TxdOptions{}).Bytes.size();
    }
    state.SetBytesProcessed(state.iterations() * images.RasterBytes);
    state.counters["images"] = static_cast<double>(images.Paths.size());
    state.counters["pixel_MB"] = static_cast<double>(images.RasterBytes) / 1e6;
    state.counters["txd_MB"] = static_cast<double>(dictionaryBytes) / 1e6;
    state.counters["peak_rss_MB"] = PeakMemoryMegabytes();
}

BENCHMARK(ReadFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(DecodeImages)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BuildTxd)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
