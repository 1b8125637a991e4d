// SPDX-License-Identifier: GPL-3.0-or-later
// A build on several workers must be indistinguishable from one on a single thread: the same
// bytes, the same problems in the same order, the same progress, the same entries afterwards, and
// the same error at the same entry.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "image_files.h"
#include "image_set.h"
#include "io/error.h"
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "raster/dds_file.h"
#include "temp_dir.h"

namespace vc {
namespace {

using test::PngColour;

constexpr unsigned kJobCounts[] = {2, 3, 5};

RgbColour Picture(int x, int y) {
    return test::PhotoLikeColour(x % 7, x, y);
}

// A list of every kind of source and output, with entries that intake refuses at build time
// scattered through it.
class ParallelBuildTest : public testing::Test {
  protected:
    ParallelBuildTest() {
        const std::vector<std::string> images = test::WriteImageSet(dir.File(""), 8, 64);
        for (size_t i = 0; i < images.size(); ++i) {
            Add("set" + std::to_string(i), images[i]);
        }
        const std::string mask = dir.Write(
            "mask.bmp", test::MakePalettedBmp(64, 64, test::GreyPalette(256),
                                              [](int x, int y) { return static_cast<uint8_t>(x * 8 ^ y * 3); }));
        Add("masked", images[1]).HasAlpha = true;
        list.back().AlphaName = "maskeda";
        list.back().AlphaPath = mask;
        Add("missing", dir.File("missing.bmp"));
        Add("rgba", dir.Write("rgba.png", Rgba(16, 16))).Output.Format = TextureFormat::Dxt5;
        list.back().Output.Mipmaps = true;
        Add("notpow2", dir.Write("odd.bmp", test::MakeTrueColourBmp(12, 8, Picture)));
        Add("dxt1", images[2]).Output.Format = TextureFormat::Dxt1;
        Add("pal8", dir.Write("rgba2.png", Rgba(32, 16))).Output.Format = TextureFormat::Pal8;
        Add("c565", images[3]).Output = {.Format = TextureFormat::C565, .Mipmaps = true};
        // The alpha image is smaller than the picture, so the entry is left out.
        Add("wrongmask", images[0]).HasAlpha = true;
        list.back().AlphaName = "small";
        list.back().AlphaPath =
            dir.Write("small.bmp", test::MakePalettedBmp(8, 8, test::GreyPalette(256), [](int x, int) { return x; }));
        Add("stored", dir.Write("stored.dds", EncodeDds({.Format = TextureFormat::Dxt1,
                                                         .Width = 8,
                                                         .Height = 8,
                                                         .Levels = {std::vector<uint8_t>(32, 0x5A)}})));
        Add("tga",
            dir.Write("tga.tga", test::MakeTga({.Width = 4, .Height = 4, .Pixels = std::vector<uint8_t>(48, 7)})))
            .Output.Flags = 0x3302;
    }

    TTexFile& Add(const std::string& name, const std::string& path) {
        list.push_back({.TexName = name, .TexPath = path});
        return list.back();
    }
    static std::vector<uint8_t> Rgba(uint32_t width, uint32_t height) {
        std::vector<uint16_t> samples;
        for (uint32_t y = 0; y < height; ++y) {
            for (uint32_t x = 0; x < width; ++x) {
                const RgbColour colour = Picture(static_cast<int>(x), static_cast<int>(y));
                samples.insert(samples.end(), {colour.Red, colour.Green, colour.Blue, static_cast<uint16_t>(x * 16)});
            }
        }
        return test::MakePng({.Width = width, .Height = height, .Colour = PngColour::Rgba, .Samples = samples});
    }

    // What a build on jobs workers shows of itself.
    struct Run {
        BuildResult Result;
        std::string Problems;
        std::vector<std::string> Progress;
        TextureList Entries;
        std::optional<std::string> Failure;

        bool operator==(const Run& other) const {
            return Result.Bytes == other.Result.Bytes && Result.Size == other.Result.Size &&
                   Result.Written == other.Result.Written && Result.Total == other.Result.Total &&
                   Problems == other.Problems && Progress == other.Progress && Entries == other.Entries &&
                   Failure == other.Failure;
        }
    };
    Run Build(unsigned jobs) const {
        Workspace workspace;
        workspace.Jobs = jobs;
        workspace.TexList = list;
        Run run;
        try {
            run.Result = BuildTxd(workspace, options, [&](size_t done, size_t total, std::string_view name) {
                run.Progress.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + std::string(name));
            });
        } catch (const Error& error) {
            run.Failure = error.what();
        }
        run.Problems = workspace.Intake.ProblemText;
        run.Entries = workspace.TexList;
        return run;
    }

    test::TempDir dir;
    TextureList list;
    TxdOptions options{.VersionIndex = 2, .FlagIndex = 0};
};

TEST_F(ParallelBuildTest, AnyNumberOfWorkersBuildsWhatOneThreadBuilds) {
    const Run single = Build(1);
    ASSERT_EQ(single.Failure, std::nullopt);
    ASSERT_EQ(single.Result.Written, list.size() - 3);
    ASSERT_NE(single.Problems.find("missing.bmp"), std::string::npos);
    ASSERT_LT(single.Problems.find("missing.bmp"), single.Problems.find("odd.bmp"));
    ASSERT_EQ(single.Progress.size(), list.size());
    for (const unsigned jobs : kJobCounts) {
        EXPECT_TRUE(Build(jobs) == single) << jobs << " workers";
    }
}

TEST_F(ParallelBuildTest, AnErrorInTheMiddleEndsEveryBuildAtTheSameEntry) {
    const std::string damaged = dir.Write("damaged.jpg", test::MakeJpeg(32, 32, test::JpegKind::Colour, Picture));
    std::vector<uint8_t> bytes = test::ReadBytes(damaged);
    bytes.resize(bytes.size() / 3);
    dir.Write("damaged.jpg", bytes);
    list.insert(list.begin() + 9, {.TexName = "damaged", .TexPath = damaged});
    options.FlagIndex = 2;

    const Run single = Build(1);
    ASSERT_NE(single.Failure, std::nullopt);
    ASSERT_NE(single.Failure->find("damaged.jpg"), std::string::npos);
    ASSERT_EQ(single.Progress.size(), 10u);
    for (const unsigned jobs : kJobCounts) {
        EXPECT_TRUE(Build(jobs) == single) << jobs << " workers";
    }
}

}  // namespace
}  // namespace vc

namespace vc {
namespace {

size_t ThreadsOfThisProcess() {
    const auto tasks = std::filesystem::directory_iterator("/proc/self/task");
    return static_cast<size_t>(std::distance(begin(tasks), end(tasks)));
}

// The build's DXT levels share one pool: its workers and the pool's helpers are all the threads it
// runs, however many large levels its workers compress at once.
TEST(ParallelBuildThreads, ABuildRunsItsWorkersAndOnePoolOfHelpersAndNoMore) {
    if (!std::filesystem::exists("/proc/self/task")) {
        GTEST_SKIP() << "the system lists no threads of a process";
    }
    test::TempDir dir;
    Workspace workspace;
    workspace.Jobs = 4;
    for (const std::string& image : test::WriteImageSet(dir.File(""), 12, 128)) {
        AddFile(workspace, image, true);
        workspace.TexList.back().Output.Format = TextureFormat::Dxt1;
        workspace.TexList.back().Output.Mipmaps = true;
    }
    // ThreadSanitizer starts a thread of its own along with the first thread of a program.
    std::jthread([] {}).join();
    const size_t before = ThreadsOfThisProcess();
    size_t most = 0;
    const BuildResult built = BuildTxd(workspace, TxdOptions{}, [&](size_t, size_t, std::string_view) {
        most = std::max(most, ThreadsOfThisProcess());
    });
    EXPECT_EQ(built.Written, 12u);
    EXPECT_LE(most, before + workspace.Jobs + (workspace.Jobs - 1));
}

}  // namespace
}  // namespace vc
