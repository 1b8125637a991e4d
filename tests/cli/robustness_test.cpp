#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "image_files.h"
#include "model_chunks.h"
#include "temp_dir.h"
#include "txd/txd_reader.h"

namespace vc {
namespace {

struct Limits {
    std::optional<rlim_t> AddressSpace;
    std::optional<rlim_t> FileSize;
    std::optional<uid_t> User;  // runs as this user and its group: no folder keeps root out
};

struct Outcome {
    int ExitCode = -1;  // -1 when a signal ended the run
    int Signal = 0;
    std::string Err;
};

// Runs the command line in a child process under the given limits, and kills it after killAfter
// when that is given.
Outcome Spawn(const std::vector<std::string>& arguments, const test::TempDir& dir, const Limits& limits = {},
              std::optional<std::chrono::microseconds> killAfter = std::nullopt) {
    const std::string errPath = dir.File("stderr.txt");
    const pid_t child = ::fork();
    if (child == 0) {
        FILE* err = std::freopen(errPath.c_str(), "w", stderr);
        FILE* out = std::freopen("/dev/null", "w", stdout);
        if (err == nullptr || out == nullptr) {
            ::_exit(120);
        }
        ::signal(SIGXFSZ, SIG_IGN);  // an oversized write fails with EFBIG instead
        if (limits.AddressSpace) {
            const rlimit limit{*limits.AddressSpace, *limits.AddressSpace};
            ::setrlimit(RLIMIT_AS, &limit);
        }
        if (limits.FileSize) {
            const rlimit limit{*limits.FileSize, *limits.FileSize};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (limits.User && (::setgid(*limits.User) != 0 || ::setuid(*limits.User) != 0)) {
            ::_exit(122);
        }
        std::vector<char*> argv{const_cast<char*>(VELLUMCRAFT_CLI)};
        for (const std::string& argument : arguments) {
            argv.push_back(const_cast<char*>(argument.c_str()));
        }
        argv.push_back(nullptr);
        ::execv(VELLUMCRAFT_CLI, argv.data());
        ::_exit(121);
    }
    if (killAfter) {
        std::this_thread::sleep_for(*killAfter);
        ::kill(child, SIGKILL);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    const std::vector<uint8_t> err = test::ReadBytes(errPath);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, WIFSIGNALED(status) ? WTERMSIG(status) : 0,
            std::string(err.begin(), err.end())};
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
    test::TempDir dir;
    const Limits limits{.AddressSpace = rlim_t{512} << 20};
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
    const std::vector<std::string> images = {std::string(BMPSUITE_DIR) + "/b/reallybig.bmp",
                                             dir.Write("rle.bmp", rleBomb), dir.Write("claim.jpg", jpegClaim)};
    const Limits tight{.AddressSpace = rlim_t{96} << 20};
    for (const std::string& image : images) {
        const Outcome outcome = Spawn({"build", "-o", dir.File("out.txd"), image}, dir, tight);
        EXPECT_EQ(outcome.Signal, 0) << image;
        EXPECT_TRUE(outcome.ExitCode == 1 || outcome.ExitCode == 3) << image << ": " << outcome.ExitCode;
        EXPECT_NE(outcome.Err, "") << image;
    }
    // A genuine 64 MB texture still fits, since the dictionary goes to disk texture by texture.
    const std::string big = dir.Write("big.jpg", test::MakeJpeg(4096, 4096, test::JpegKind::Colour, [](int x, int y) {
                                          return RgbColour{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 0};
                                      }));
    const Outcome built = Spawn({"build", "-o", dir.File("big.txd"), big}, dir, tight);
    EXPECT_EQ(built.ExitCode, 0) << built.Err;
    const TxdContents contents = ReadTxd(test::ReadBytes(dir.File("big.txd")));
    ASSERT_EQ(contents.Textures.size(), 1u);
    EXPECT_EQ(contents.Textures[0].Width, 4096);
    EXPECT_EQ(contents.Textures[0].Height, 4096);
    using namespace test;
    Bytes deep = Texture({"deep"});
    for (int level = 0; level < 40; ++level) {
        deep = Chunk(3, deep);
    }
    const std::string models[] = {dir.Write("deep.dff", deep),
                                  dir.Write("huge.dff", Join({Header(16, 0xFFFFFFFF), Header(6, 0xFFFFFFFF)}))};
    for (const std::string& model : models) {
        const Outcome outcome = Spawn({"check", model}, dir, limits);
        EXPECT_EQ(outcome.Signal, 0) << model;
        EXPECT_TRUE(outcome.ExitCode == 0 || outcome.ExitCode == 1) << model << ": " << outcome.Err;
    }
    const Outcome inspect =
        Spawn({"inspect", dir.Write("huge.txd", Join({Header(22, 0xFFFFFFFF), Header(1, 4)}))}, dir, limits);
    EXPECT_EQ(inspect.ExitCode, 1);
}

// A build killed at any moment leaves the old dictionary or the complete new one, never a part.
TEST(CliRobustness, KilledWritesLeaveTheOldFileOrTheWholeNewOne) {
    test::TempDir dir;
    const std::vector<std::string> images = WriteImages(dir, 12, 256);
    const std::string reference = dir.File("reference.txd");
    const auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(Spawn(Concat({"build", "-o", reference}, images), dir).ExitCode, 0);
    const auto duration =
        std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now() - start);
    const std::vector<uint8_t> expected = test::ReadBytes(reference);
    const std::string list = dir.File("list.txt");
    ASSERT_EQ(Spawn(Concat({"list", "-o", list}, images), dir).ExitCode, 0);
    const std::vector<uint8_t> expectedList = test::ReadBytes(list);

    std::mt19937 random(11);
    const std::vector<uint8_t> old = {'o', 'l', 'd'};
    int killedMidway = 0;
    for (int round = 0; round < 24; ++round) {
        const bool dictionary = round % 2 == 0;
        const std::string target = dictionary ? dir.Write("out.txd", old) : dir.Write("out.txt", old);
        const auto delay = std::chrono::microseconds(random() % static_cast<uint64_t>(duration.count() * 3 / 2 + 1));
        const Outcome outcome = Spawn(Concat({dictionary ? "build" : "list", "-o", target}, images), dir, {}, delay);
        const std::vector<uint8_t> content = test::ReadBytes(target);
        EXPECT_TRUE(content == old || content == (dictionary ? expected : expectedList)) << "round " << round;
        killedMidway += outcome.Signal == SIGKILL && content == old ? 1 : 0;
    }
    EXPECT_GT(killedMidway, 0) << "no run was killed before it finished: the test proved nothing";
}

TEST(CliRobustness, AFullDiskGivesAClearErrorAndKeepsTheOldFile) {
    test::TempDir dir;
    const std::vector<std::string> images = WriteImages(dir, 4, 128);
    const std::string target = dir.WriteText("out.txd", "old");
    const Outcome outcome = Spawn(Concat({"build", "-o", target}, images), dir, {.FileSize = rlim_t{16} << 10});
    EXPECT_EQ(outcome.ExitCode, 3);
    EXPECT_NE(outcome.Err.find("Cannot write file"), std::string::npos) << outcome.Err;
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    size_t files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        ++files;
    }
    EXPECT_EQ(files, images.size() + 2) << "a temporary file was left behind";  // images, out.txd, stderr.txt
}

TEST(CliRobustness, BuildThroughALinkWritesTheLinkedDictionaryAndKeepsTheLink) {
    test::TempDir dir;
    const std::vector<std::string> images = WriteImages(dir, 1, 16);
    std::filesystem::create_directory(dir.File("real"));
    const std::string real = dir.WriteText("real/out.txd", "old");
    std::filesystem::create_symlink("real/out.txd", dir.File("link.txd"));
    const Outcome outcome = Spawn(Concat({"build", "-o", dir.File("link.txd")}, images), dir);
    EXPECT_EQ(outcome.ExitCode, 0) << outcome.Err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.File("link.txd"))) << "the link was replaced by a file";
    EXPECT_EQ(ReadTxd(test::ReadBytes(real)).Textures.size(), 1u);
}

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

TEST(CliRobustness, AReadOnlyFolderGivesAClearErrorAndKeepsTheOldFile) {
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

    const Outcome outcome =
        Spawn(Concat({"build", "-o", target}, images), dir, {.User = root ? std::optional(kNobody) : std::nullopt});
    std::filesystem::permissions(dir.File("locked"), perms::owner_all);
    EXPECT_EQ(outcome.ExitCode, 3) << outcome.Err;
    EXPECT_NE(outcome.Err.find("Cannot create file"), std::string::npos) << outcome.Err;
    EXPECT_NE(outcome.Err.find("Permission denied"), std::string::npos) << outcome.Err;
    EXPECT_EQ(test::ReadBytes(target), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.File("locked")), {}), 1);
}

}  // namespace
}  // namespace vc
