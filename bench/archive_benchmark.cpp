// SPDX-License-Identifier: GPL-3.0-or-later
// The games' archives at their real sizes: listing an archive of 16,000 entries, and putting a
// dictionary of 100 KB back into an archive of 2 GB, with the bytes that writes (from the system's
// count of written bytes, /proc/self/io on Linux) beside the time of writing those 100 KB alone.

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "archive/img_archive.h"
#include "archive/img_writer.h"
#include "img_files.h"
#include "io/file_io.h"
#include "io/native_file.h"
#include "temp_dir.h"

namespace {

using vc::test::Bytes;

constexpr size_t kListedEntries = 16000;
constexpr uint64_t kLargeArchive = uint64_t{2} << 30;
constexpr size_t kDictionarySize = 100 * 1024;

// Bytes this process has written so far, or 0 where the system does not count them.
uint64_t BytesWritten() {
    std::ifstream io("/proc/self/io");
    std::string key;
    uint64_t value = 0;
    while (io >> key >> value) {
        if (key == "wchar:") {
            return value;
        }
    }
    return 0;
}

// A version 2 archive of count entries of one sector each, the last one lying at the archive's
// end, which the file reaches as a hole where the system allows.
std::string MakeArchive(const vc::test::TempDir& folder, size_t count, uint64_t size) {
    std::vector<vc::test::ImgRecord> records;
    const uint64_t first = vc::ImgDirectorySectors(count);
    const uint64_t spacing = std::max<uint64_t>(1, (size / vc::kImgSector - first) / count);
    for (size_t i = 0; i < count; ++i) {
        records.push_back({"entry" + std::to_string(i) + ".txd", static_cast<uint32_t>(first + i * spacing), 1});
    }
    const std::string path = folder.Write("gta3.img", vc::test::ImgDirectoryBytes(vc::ImgVersion::V2, records));
    std::filesystem::resize_file(vc::ToFsPath(path), (first + count * spacing) * vc::kImgSector);
    return path;
}

void ListArchive(benchmark::State& state) {
    const vc::test::TempDir folder;
    const std::string archive = MakeArchive(folder, kListedEntries, uint64_t{kListedEntries + 8} * vc::kImgSector);
    for (auto _ : state) {
        const vc::ImgArchive opened = vc::ImgArchive::Open(archive);
        benchmark::DoNotOptimize(opened.Directory().Entries.data());
    }
    state.counters["entries"] = static_cast<double>(kListedEntries);
}

// Each time the same entry gets a new dictionary of 100 KB, which fits the sectors it had after
// the first time: written through the journal, with the directory.
void PutIntoLargeArchive(benchmark::State& state) {
    const vc::test::TempDir folder;
    const std::string archive = MakeArchive(folder, 1000, kLargeArchive);
    uint8_t fill = 0;
    uint64_t written = 0;
    for (auto _ : state) {
        const uint64_t before = BytesWritten();
        vc::PutImgEntries(archive, {{"entry500.txd", Bytes(kDictionarySize, ++fill)}});
        written += BytesWritten() - before;
    }
    state.counters["archive_GB"] = static_cast<double>(std::filesystem::file_size(vc::ToFsPath(archive))) / 1e9;
    state.counters["bytes_written"] =
        benchmark::Counter(static_cast<double>(written), benchmark::Counter::kAvgIterations);
}

// The floor: the 100 KB written to a file of their own and flushed.
void WriteEntryAlone(benchmark::State& state) {
    const vc::test::TempDir folder;
    const Bytes entry(kDictionarySize, 7);
    for (auto _ : state) {
        std::string path = folder.File("entry-XXXXXX");
        vc::NativeFile file = vc::NativeFile::CreateUnique(path);
        file.WriteAt(0, entry);
        file.FlushToDisk();
        file.Close();
        vc::RemoveFile(path);
    }
}

BENCHMARK(ListArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(PutIntoLargeArchive)->Unit(benchmark::kMillisecond);
BENCHMARK(WriteEntryAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
