// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "archive/img_archive.h"
#include "image_files.h"
#include "img_files.h"
#include "model_chunks.h"
#include "process_runner.h"
#include "raster/dds_file.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"
#include "txd_chunks.h"

namespace vc {
namespace {

using test::ProcessLimits;
using test::ProcessOutcome;

ProcessOutcome Spawn(const std::vector<std::string>& arguments, const ProcessLimits& limits = {}) {
    return test::RunProcess(VELLUMCRAFT_CLI, arguments, limits);
}

std::vector<std::string> WriteImages(const test::TempDir& dir, int count, int side) {
    std::vector<std::string> paths;
    for (int i = 0; i < count; ++i) {
        paths.push_back(
            dir.Write("image" + std::to_string(i) + ".bmp", test::MakeTrueColourBmp(side, side, [i](int x, int y) {
                          return RgbColour{static_cast<uint8_t>(x + i), static_cast<uint8_t>(y), 7};
                      })));
    }
    return paths;
}

std::vector<std::string> Concat(std::vector<std::string> front, const std::vector<std::string>& back) {
    front.insert(front.end(), back.begin(), back.end());
    return front;
}

// Hostile files end in a refusal or a clean error, within a memory limit: never a crash.
TEST(CliRobustness, HostileFilesEndCleanlyUnderAMemoryLimit) {
#ifdef VELLUMCRAFT_SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than any limit allows";
#endif
    if (!test::kProcessLimitsAvailable) {
        GTEST_SKIP() << "the memory limit is a POSIX resource limit, which Windows lacks";
    }
    test::TempDir dir;
    const ProcessLimits limits{.AddressSpace = uint64_t{512} << 20};
    std::vector<uint8_t> rleBomb = test::ReadBytes(std::string(BMPSUITE_DIR) + "/g/pal8rle.bmp");
    rleBomb[18] = rleBomb[19] = rleBomb[22] = rleBomb[23] = 0xFF;  // 65535 × 65535
    rleBomb[20] = rleBomb[24] = 0;
    std::vector<uint8_t> jpegClaim = test::MakeJpeg(8, 8, test::JpegKind::ProgressiveColour, [](int, int) {
        return RgbColour{1, 2, 3};
    });
    for (size_t i = 0; i + 8 < jpegClaim.size(); ++i) {
        if (jpegClaim[i] == 0xFF && jpegClaim[i + 1] == 0xC2) {  // progressive frame: 65000 × 65000
            jpegClaim[i + 5] = 0xFD, jpegClaim[i + 6] = 0xE8, jpegClaim[i + 7] = 0xFD, jpegClaim[i + 8] = 0xE8;
            break;
        }
    }
    // A run-length TGA and a DXT1 DDS that claim 65535 × 65535 pixels in a few bytes.
    const std::vector<uint8_t> tgaClaim =
        test::MakeTga({.ImageType = 10, .Width = 65535, .Height = 65535, .PixelBits = 24, .Pixels = {1, 2, 3}});
    std::vector<uint8_t> ddsClaim =
        EncodeDds({.Format = TextureFormat::Dxt1, .Width = 4, .Height = 4, .Levels = {std::vector<uint8_t>(8)}});
    ddsClaim[12] = ddsClaim[13] = ddsClaim[16] = ddsClaim[17] = 0xFF;  // height and width
    const std::vector<std::string> images = {std::string(BMPSUITE_DIR) + "/b/reallybig.bmp",
                                             dir.Write("rle.bmp", rleBomb), dir.Write("claim.jpg", jpegClaim),
                                             dir.Write("claim.tga", tgaClaim), dir.Write("claim.dds", ddsClaim)};
    const ProcessLimits tight{.AddressSpace = uint64_t{96} << 20};
    for (const std::string& image : images) {
        const ProcessOutcome outcome = Spawn({"build", "-o", dir.File("out.txd"), image}, tight);
        EXPECT_EQ(outcome.Signal, 0) << image;
        EXPECT_TRUE(outcome.ExitCode == 1 || outcome.ExitCode == 3) << image << ": " << outcome.ExitCode;
        EXPECT_NE(outcome.Err, "") << image;
    }
    // A genuine 64 MB texture still fits, since the dictionary goes to disk texture by texture.
    const std::string big = dir.Write("big.jpg", test::MakeJpeg(4096, 4096, test::JpegKind::Colour, [](int x, int y) {
                                          return RgbColour{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0};
                                      }));
    const ProcessOutcome built = Spawn({"build", "-o", dir.File("big.txd"), big}, tight);
    EXPECT_EQ(built.ExitCode, 0) << built.Err;
    const TxdContents contents = ReadTxd(test::ReadBytes(dir.File("big.txd")));
    ASSERT_EQ(contents.Textures.size(), 1u);
    EXPECT_EQ(contents.Textures[0].Width, 4096);
    EXPECT_EQ(contents.Textures[0].Height, 4096);
    // Compressed with its whole chain of levels, it takes the picture and the levels below it.
    const ProcessOutcome compressed = Spawn({"build", "-o", dir.File("dxt.txd"), "--format", "DXT1", "--mipmaps", big},
                                            {.AddressSpace = uint64_t{192} << 20});
    EXPECT_EQ(compressed.ExitCode, 0) << compressed.Err;
    using namespace test;
    Bytes deep = Texture({"deep"});
    for (int level = 0; level < 40; ++level) {
        deep = Chunk(3, deep);
    }
    const std::string models[] = {dir.Write("deep.dff", Chunk(16, deep)),
                                  dir.Write("huge.dff", Join({Header(16, 0xFFFFFFFF), Header(6, 0xFFFFFFFF)}))};
    for (const std::string& model : models) {
        const ProcessOutcome outcome = Spawn({"check", model}, limits);
        EXPECT_EQ(outcome.Signal, 0) << model;
        EXPECT_TRUE(outcome.ExitCode == 0 || outcome.ExitCode == 1) << model << ": " << outcome.Err;
    }
    const ProcessOutcome inspect =
        Spawn({"inspect", dir.Write("huge.txd", Join({Header(22, 0xFFFFFFFF), Header(1, 4)}))}, limits);
    EXPECT_EQ(inspect.ExitCode, 1);
}

// Hostile dictionaries taken apart end in a refusal or a clean error within a memory limit, and
// nothing lands outside the folder.
TEST(CliRobustness, HostileDictionariesAreTakenApartCleanlyUnderAMemoryLimit) {
#ifdef VELLUMCRAFT_SANITIZED
    GTEST_SKIP() << "the sanitizers reserve more address space than any limit allows";
#endif
    if (!test::kProcessLimitsAvailable) {
        GTEST_SKIP() << "the memory limit is a POSIX resource limit, which Windows lacks";
    }
    using namespace test;
    test::TempDir dir;
    const Bytes small(4 * 4 * 4, 0x7F);
    const auto native = [](NativeFields fields) { return TextureNative(fields); };
    const std::vector<Bytes> dictionaries = {
        Dictionary({native({.Name = "one", .RasterFormat = 0x0500, .Width = 4, .Height = 4, .LevelPixels = {small}})},
                   0, 0x0C02FFFF, 65535),
        Dictionary({native(
            {.Name = "vast", .RasterFormat = 0x0500, .Width = 65535, .Height = 65535, .LevelPixels = {small}})}),
        Dictionary({native(
            {.Name = "deep", .RasterFormat = 0x0500, .Width = 4, .Height = 4, .Levels = 255, .LevelPixels = {small}})}),
        Dictionary({native({.Name = "dxt",
                            .RasterFormat = 0x0100,
                            .Width = 4096,
                            .Height = 4096,
                            .CompressionOrFlags = 1,
                            .LevelPixels = {Bytes(8, 0)}})}),
        Dictionary({native({.Name = "cut",
                            .RasterFormat = 0x2500,
                            .Width = 4,
                            .Height = 4,
                            .Depth = 8,
                            .Palette = Bytes(100, 9),
                            .LevelPixels = {Bytes(16, 1)}})}),
        Dictionary({native(
            {.Name = "../../../escaped", .RasterFormat = 0x0500, .Width = 4, .Height = 4, .LevelPixels = {small}})}),
    };
    const ProcessLimits tight{.AddressSpace = uint64_t{96} << 20};
    for (size_t i = 0; i < dictionaries.size(); ++i) {
        const std::string name = "hostile" + std::to_string(i);
        const ProcessOutcome outcome =
            Spawn({"extract", dir.Write(name + ".txd", dictionaries[i]), "-o", dir.File("out/" + name)}, tight);
        EXPECT_EQ(outcome.Signal, 0) << name;
        EXPECT_TRUE(outcome.ExitCode == 0 || outcome.ExitCode == 1 || outcome.ExitCode == 3)
            << name << ": " << outcome.ExitCode << " " << outcome.Err;
    }
    EXPECT_TRUE(std::filesystem::exists(dir.File("out/hostile5/.._.._.._escaped.bmp")));
    size_t outside = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        outside += entry.path().filename() != "out" && entry.path().extension() != ".txd" ? 1 : 0;
    }
    EXPECT_EQ(outside, 0u) << "a file landed outside the folders extraction was given";
}

// A build killed at any moment leaves the old dictionary or the complete new one, never a part.
TEST(CliRobustness, KilledWritesLeaveTheOldFileOrTheWholeNewOne) {
    test::TempDir dir;
    const std::vector<std::string> images = WriteImages(dir, 12, 256);
    const std::string reference = dir.File("reference.txd");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Spawn(Concat({"build", "-o", reference}, images)).ExitCode, 0);
    const auto duration =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const std::vector<uint8_t> expected = test::ReadBytes(reference);
    const std::string list = dir.File("list.txt");
    ASSERT_EQ(Spawn(Concat({"list", "-o", list}, images)).ExitCode, 0);
    const std::vector<uint8_t> expectedList = test::ReadBytes(list);

    std::mt19937 random(11);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    int killedMidway = 0;
    for (int round = 0; round < 24; ++round) {
        const bool dictionary = round % 2 == 0;
        const std::string target = dictionary ? dir.Write("out.txd", old) : dir.Write("out.txt", old);
        const auto delay = std::chrono::microseconds(random() % static_cast<uint64_t>(duration.count() * 3 / 2 + 1));
        const ProcessOutcome outcome =
            Spawn(Concat({dictionary ? "build" : "list", "-o", target}, images), {.KillAfter = delay});
        const std::vector<uint8_t> content = test::ReadBytes(target);
        EXPECT_TRUE(content == old || content == (dictionary ? expected : expectedList)) << "round " << round;
        killedMidway += outcome.Killed && content == old ? 1 : 0;
    }
    EXPECT_GT(killedMidway, 0) << "no run was killed before it finished: the test proved nothing";
}

// The good entries of an archive by name, with where they lie and their bytes, as the next program
// to open it finds them.
using ArchiveState = std::map<std::string, std::pair<uint32_t, std::vector<uint8_t>>>;
ArchiveState StateOf(const std::string& archive) {
    const ImgArchive opened = ImgArchive::Open(archive);
    ArchiveState state;
    for (const ImgEntry& entry : opened.Directory().Entries) {
        if (entry.Problem.empty()) {
            state[entry.Name] = {entry.Offset, opened.Read(entry)};
        }
    }
    return state;
}

// A change to an archive killed at any moment leaves, once the archive is next opened, every entry
// as it was or every entry as the change makes it: for put (a larger entry moved to the end and a
// new one), remove and rebuild, in either version.
TEST(CliRobustness, KilledArchiveChangesLeaveTheOldArchiveOrTheNewOne) {
    test::TempDir dir;
    const std::vector<uint8_t> grown(3 << 20, 0x47);
    const std::string car = dir.Write("car.txd", grown);
    const std::string bus = dir.Write("bus.txd", std::vector<uint8_t>(2 << 20, 0xB5));
    // Each change's arguments after "img", with ARCHIVE for the archive; a rebuild packs the
    // archive after a removal.
    const std::vector<std::string> removal = {"remove", "ARCHIVE", "van.txd"};
    const struct {
        const char* Name;
        std::vector<std::string> Before;
        std::vector<std::string> Change;
    } changes[] = {
        {"put", {}, {"put", "ARCHIVE", car, bus}},
        {"remove", {}, removal},
        {"rebuild", removal, {"rebuild", "ARCHIVE"}},
    };
    std::mt19937 random(27);
    int killedMidway = 0;
    for (const ImgVersion version : {ImgVersion::V1, ImgVersion::V2}) {
        const test::ImgFiles original = test::MakeImgArchive(version, {{"car.txd", std::vector<uint8_t>(1 << 20, 1)},
                                                                       {"van.txd", std::vector<uint8_t>(2 << 20, 2)},
                                                                       {"tram.txd", std::vector<uint8_t>(1 << 20, 3)}});
        const std::string archive = dir.File("gta3.img");
        const auto run = [&](const std::vector<std::string>& change, const ProcessLimits& limits = {}) {
            std::vector<std::string> arguments = {"img"};
            for (const std::string& argument : change) {
                arguments.push_back(argument == "ARCHIVE" ? archive : argument);
            }
            return Spawn(arguments, limits);
        };
        for (const auto& change : changes) {
            SCOPED_TRACE(std::string(change.Name) + (version == ImgVersion::V1 ? ", version 1" : ", version 2"));
            const auto fresh = [&] {
                if (version == ImgVersion::V1) {
                    dir.Write("gta3.dir", original.Dir);
                }
                dir.Write("gta3.img", original.Img);
                ASSERT_TRUE(change.Before.empty() || run(change.Before).ExitCode == 0);
            };
            fresh();
            const ArchiveState oldState = StateOf(archive);
            const auto start = std::chrono::steady_clock::now();
            ASSERT_EQ(run(change.Change).ExitCode, 0);
            const auto duration =
                std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
            const ArchiveState newState = StateOf(archive);
            ASSERT_TRUE(newState != oldState);
            for (int round = 0; round < 8; ++round) {
                fresh();
                const auto delay =
                    std::chrono::microseconds(random() % static_cast<uint64_t>(duration.count() * 3 / 2 + 1));
                const ProcessOutcome outcome = run(change.Change, {.KillAfter = delay});
                const ArchiveState state = StateOf(archive);
                EXPECT_TRUE(state == oldState || state == newState) << "round " << round;
                killedMidway += outcome.Killed && state == oldState ? 1 : 0;
            }
        }
    }
    EXPECT_GT(killedMidway, 0) << "no change was killed before it finished: the test proved nothing";
}

TEST(CliRobustness, AFullDiskGivesAClearErrorAndKeepsTheOldFile) {
    if (!test::kProcessLimitsAvailable) {
        GTEST_SKIP() << "the full disk is a POSIX file size limit, which Windows lacks";
    }
    test::TempDir dir;
    const std::vector<std::string> images = WriteImages(dir, 4, 128);
    const std::string target = dir.WriteText("out.txd", "old");
    const ProcessOutcome outcome = Spawn(Concat({"build", "-o", target}, images), {.FileSize = uint64_t{16} << 10});
    EXPECT_EQ(outcome.ExitCode, 3);
    EXPECT_NE(outcome.Err.find("Cannot write file"), std::string::npos) << outcome.Err;
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, images.size() + 1) << "a temporary file was left behind";
}

#ifndef _WIN32
// True when every other user may run the program, so that a test can run it as another user.
bool OthersCanRunTheProgram() {
    std::filesystem::path path = std::filesystem::absolute(VELLUMCRAFT_CLI);
    for (; path != path.root_path(); path = path.parent_path()) {
        if ((std::filesystem::status(path).permissions() & std::filesystem::perms::others_exec) ==
            std::filesystem::perms::none) {
            return false;
        }
    }
    return true;
}
#endif

TEST(CliRobustness, AReadOnlyFolderGivesAClearErrorAndKeepsTheOldFile) {
#ifdef _WIN32
    GTEST_SKIP() << "a folder's rights on Windows are access lists, which Wine does not enforce";
#else
    constexpr uid_t kNobody = 65534;
    const bool root = ::geteuid() == 0;
    if (root && !OthersCanRunTheProgram()) {
        GTEST_SKIP() << "root writes anywhere, and another user cannot reach " << VELLUMCRAFT_CLI;
    }
    test::TempDir dir;
    using std::filesystem::perms;
    std::filesystem::permissions(
        dir.Path(), perms::owner_all | perms::group_read | perms::group_exec | perms::others_read | perms::others_exec);
    std::vector<std::string> images = WriteImages(dir, 2, 64);
    for (const std::string& image : images) {
        std::filesystem::permissions(image,
                                     perms::owner_read | perms::owner_write | perms::group_read | perms::others_read);
    }
    std::filesystem::create_directory(dir.File("locked"));
    const std::string target = dir.WriteText("locked/out.txd", "old");
    std::filesystem::permissions(dir.File("locked"), perms::owner_read | perms::owner_exec | perms::group_read |
                                                         perms::group_exec | perms::others_read | perms::others_exec);

    const ProcessOutcome outcome =
        Spawn(Concat({"build", "-o", target}, images), {.User = root ? std::optional(kNobody) : std::nullopt});
    std::filesystem::permissions(dir.File("locked"), perms::owner_all);
    EXPECT_EQ(outcome.ExitCode, 3) << outcome.Err;
    EXPECT_NE(outcome.Err.find("Cannot create file"), std::string::npos) << outcome.Err;
    EXPECT_NE(outcome.Err.find("Permission denied"), std::string::npos) << outcome.Err;
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("locked")), {}), 1);
#endif
}

}  // namespace
}  // namespace vc
