// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli_fixture.h"
#include "image_files.h"
#include "image_set.h"
#include "img_files.h"
#include "io/file_io.h"
#include "io/program_version.h"
#include "model_chunks.h"
#include "process_runner.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"
#include "terminal_progress.h"
#include "txd_chunks.h"

namespace vc {
namespace {

TEST_F(CliTest, BuildWritesTheDictionaryAndPrintsTheResult) {
    const std::string out = dir.File("cars.txd");
    const CliRun run = Run({"build", "-o", out, Image("a.bmp", 64, 64), Image("b.bmp", 4, 4)});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Out, "2 of 2 textures assembled sucessfully to cars.txd!\nSize of file: 6.33 KB\n");
    EXPECT_EQ(run.Err, "");
    EXPECT_EQ(std::filesystem::file_size(out), 5316u + 1168u);
}

TEST_F(CliTest, RefusedInputsAreReportedAndTheRestIsStillWritten) {
    const std::string out = dir.File("out.txd");
    const CliRun run = Run({"build", "-o", out, Image("odd.bmp", 6, 6), Image("b.bmp", 4, 4), dir.File("x.gif")});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err,
              "Some of the files caused errors and could not be added:\n"
              "\n=> \"odd.bmp\":\n\tImage dimensions (6×6) aren't divisible by 4."
              "\n\tImage dimensions (6×6) aren't a power of 2 (see readme)."
              "\n\n=> \"x.gif\":\n\tFile does not exist."
              "\n\tFile extension .gif is not supported. (*.bmp; *.jpg; *.jpe; *.jpeg; *.txt)\n");
    EXPECT_EQ(run.Out, "1 of 1 textures assembled sucessfully to out.txd!\nSize of file: 1.21 KB\n");
    EXPECT_TRUE(std::filesystem::exists(out));
}

// An entry the build itself leaves out (its name, cut to 31 bytes, is that of a texture before it)
// is reported under the build's heading and ends the run with status 1.
TEST_F(CliTest, AnEntryLeftOutAtBuildTimeGivesStatus1) {
    const std::string stem(31, 'n');
    const std::string out = dir.File("out.txd");
    const CliRun run = Run({"build", "-o", out, Image(stem + "1.bmp", 4, 4), Image(stem + "2.bmp", 4, 4)});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Err, "Some textures could not be assembled as listed:\n\n=> \"" + stem +
                           "1.bmp\":\n\tTexture name \"" + stem + "1\" is cut to 31 bytes: \"" + stem + "\".\n\n=> \"" +
                           stem + "2.bmp\":\n\tTexture name \"" + stem + "2\" cut to 31 bytes is \"" + stem +
                           "\", the name of a texture before it; the texture is left out.\n");
    EXPECT_EQ(run.Out.substr(0, 6), "1 of 2");
}

TEST_F(CliTest, NothingAssembledWritesNothingAndKeepsTheOldFile) {
    const std::string out = dir.WriteText("out.txd", "old");
    const CliRun run = Run({"build", "-o", out, Image("odd.bmp", 6, 6)});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_NE(run.Err.find("no texture could be assembled"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Out, "");
    EXPECT_EQ(test::ReadText(out), "old");
}

TEST_F(CliTest, DamagedInputEndsTheRunWithStatus3AndWritesNothing) {
    std::vector<uint8_t> damaged = test::MakePalettedBmp(16, 16, test::GreyPalette(4), [](int, int) { return 0; });
    damaged.resize(100);
    const std::string out = dir.WriteText("out.txd", "old");
    const CliRun run = Run({"build", "-o", out, Image("a.bmp", 4, 4), dir.Write("bad.bmp", damaged)});
    EXPECT_EQ(run.ExitCode, 3);
    EXPECT_NE(run.Err.find("bad.bmp\": Bitmap image is not valid"), std::string::npos) << run.Err;
    EXPECT_EQ(test::ReadText(out), "old");
}

// Workers change neither the dictionary nor a word of what the run says, also when an input that
// only the build reads in full turns out damaged halfway through the list.
TEST_F(CliTest, TheNumberOfJobsChangesNothingThatIsWrittenOrSaid) {
    const std::string list = test::WriteImageSetWithMasks(dir.File(""), 12, 32);
    std::vector<uint8_t> damaged = test::MakeJpeg(32, 32, test::JpegKind::Colour, [](int x, int y) {
        return RgbColour{static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 8), 0};
    });
    damaged.resize(damaged.size() / 2);
    const std::vector<std::string> inputs = {list, Image("odd.bmp", 6, 6), Image("b.bmp", 4, 4)};
    const std::vector<std::string> damagedInputs = {list, dir.Write("bad.jpg", damaged), Image("c.bmp", 8, 8)};
    for (const std::vector<std::string>* run : {&inputs, &damagedInputs}) {
        const std::vector<std::string> base = {"build", "--format", "PAL8", "--mipmaps", "-o"};
        const auto build = [&](const std::string& jobs) {
            // The same name in a folder of its own, since the result line names the file.
            std::filesystem::create_directories(dir.File(jobs));
            const std::string out = dir.WriteText(jobs + "/out.txd", "old");
            std::vector<std::string> arguments = base;
            arguments.push_back(out);
            arguments.insert(arguments.end(), {"--jobs", jobs});
            arguments.insert(arguments.end(), run->begin(), run->end());
            const CliRun result = Run(arguments);
            return std::pair{result, test::ReadBytes(out)};
        };
        const auto [single, singleBytes] = build("1");
        EXPECT_EQ(single.ExitCode, run == &inputs ? 1 : 3) << single.Err;
        for (const std::string jobs : {"2", "3"}) {
            const auto [parallel, parallelBytes] = build(jobs);
            EXPECT_EQ(parallel.ExitCode, single.ExitCode) << jobs;
            EXPECT_EQ(parallel.Out, single.Out) << jobs;
            EXPECT_EQ(parallel.Err, single.Err) << jobs;
            EXPECT_EQ(parallelBytes, singleBytes) << jobs;
        }
    }
}

TEST_F(CliTest, OptionsChooseVersionFlagAndSizeRule) {
    const std::string out = dir.File("o.txd");
    const std::string odd = Image("odd.bmp", 12, 20);
    EXPECT_EQ(Run({"build", "-o", out, odd}).ExitCode, 1);
    EXPECT_EQ(Run({"build", "--no-pow2", "--rw-version", "0x1003", "--flag", "0x1106", "-o", out, odd}).ExitCode, 0);
    const CliRun inspect = Run({"inspect", out});
    EXPECT_EQ(inspect.ExitCode, 0);
    EXPECT_EQ(inspect.Out,
              "name\tmask\tsize\tdepth\traster\talpha\tflags\tplatform\tformat\tlevels\n"
              "odd\t\t12 × 20\t8\t0x2600\t0\t0x00001106\tD3D8\tPAL8\t1\n"
              "1 texture, version stamp 0x1003FFFF (RenderWare 3.4.0.3), device id 0\n");
}

// Names come from files anyone may craft: control characters in them are shown escaped, so that a
// name can neither add a line to the listing nor send the terminal an escape sequence.
TEST_F(CliTest, InspectAndExtractShowControlCharactersInNamesEscaped) {
    using namespace test;
    const Bytes native = TextureNative({.Name = "a\nb\tc\x1B[2J",
                                        .MaskName = "m\r",
                                        .RasterFormat = 0x0600,
                                        .Width = 4,
                                        .Height = 4,
                                        .LevelPixels = {PatternBytes(64, 1)}});
    const std::string txd = dir.Write("names.txd", Dictionary({native}));
    EXPECT_EQ(Run({"inspect", txd}).Out,
              "name\tmask\tsize\tdepth\traster\talpha\tflags\tplatform\tformat\tlevels\n"
              "a\\nb\\tc\\x1B[2J\tm\\r\t4 × 4\t32\t0x0600\t0\t0x00001106\tD3D8\t888\t1\n"
              "1 texture, version stamp 0x0C02FFFF (RenderWare 3.3.0.2), device id 0\n");
    const CliRun extract = Run({"extract", txd, "-o", dir.File("out")});
    EXPECT_EQ(extract.Out.substr(0, extract.Out.find('\n') + 1), "a\\nb\\tc\\x1B[2J\t4 × 4\t888\t1 level\tDDS file\n");
}

// The output options are defaults: a list entry's own choices stand, the rest take them.
TEST_F(CliTest, FormatMipmapsAndFilterApplyToEntriesThatChooseNone) {
    const std::string a = Image("a.bmp", 8, 8);
    const std::string own =
        dir.WriteText("own.txt", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + Image("b.bmp", 4, 4) +
                                     "\r\nformat=565\r\nflags=0x2202\r\n");
    const std::string list = dir.File("set.txt");
    EXPECT_EQ(Run({"list", "-o", list, "--format", "dxt1", "--mipmaps", "--filter", "trilinear", a, own}).ExitCode, 0);
    EXPECT_EQ(test::ReadText(list),
              "[TXDList]\r\ncount=2\r\napp=Vellumcraft 1.1\r\n"
              "[Texture1]\r\nname=a\r\npath=" +
                  a +
                  "\r\nformat=DXT1\r\nmipmaps=1\r\nflags=0x1106\r\n"
                  "[Texture2]\r\nname=b\r\npath=" +
                  dir.File("b.bmp") + "\r\nformat=565\r\nmipmaps=1\r\nflags=0x2202\r\n");

    const std::string out = dir.File("o.txd");
    EXPECT_EQ(Run({"build", "-o", out, "--format", "DXT3", "--mipmaps", own, a}).ExitCode, 0);
    EXPECT_EQ(Run({"inspect", out}).Out,
              "name\tmask\tsize\tdepth\traster\talpha\tflags\tplatform\tformat\tlevels\n"
              "b\t\t4 × 4\t16\t0x8200\t0\t0x00002202\tD3D8\t565\t3\n"
              "a\t\t8 × 8\t16\t0x8300\t0\t0x00001106\tD3D8\tDXT3\t4\n"
              "2 textures, version stamp 0x0C02FFFF (RenderWare 3.3.0.2), device id 0\n");
}

TEST_F(CliTest, BadUsageGivesStatus2) {
    const std::string image = Image("a.bmp", 4, 4);
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {},
             {"build", image},
             {"build", "-o", dir.File("o.txd")},
             {"build", "-o", dir.File("o.txd"), "--rw-version", "0x0900", image},
             {"build", "-o", dir.File("o.txd"), "--flag", image},
             {"build", "-o", dir.File("o.txd"), "--format", "DXT2", image},
             {"list", "-o", dir.File("o.txt"), "--filter", "bilinear", image},
             {"build", "-o", dir.File("o.txd"), "--format", "DXT1", "--dxt-quality", "medium", image},
             {"inspect"},
         }) {
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.ExitCode, 2) << testing::PrintToString(arguments);
        EXPECT_NE(run.Err, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.txd")));
    EXPECT_FALSE(std::filesystem::exists(dir.File("o.txt")));
}

// Every command answers --help and -h with its usage, its options and -h itself, and reports bad
// usage in one shape that points to its help.
TEST_F(CliTest, HelpAndUsageErrorsHaveOneShapeForEveryCommand) {
    const CliRun program = Run({"--help"});
    EXPECT_EQ(program.ExitCode, 0);
    EXPECT_EQ(program.Out.rfind("Usage: vellumcraft-cli COMMAND [ARGUMENT...]\n", 0), 0u) << program.Out;
    for (const std::string command : {"build", "build-tree", "list", "inspect", "verify", "extract", "check", "img"}) {
        EXPECT_NE(program.Out.find("\n  " + command + " "), std::string::npos) << command;
        for (const char* help : {"--help", "-h"}) {
            const CliRun run = Run({command, help});
            EXPECT_EQ(run.ExitCode, 0) << command;
            EXPECT_EQ(run.Out.rfind("Usage: vellumcraft-cli " + command + " ", 0), 0u) << run.Out;
            EXPECT_NE(run.Out.find("\n  -h, --help "), std::string::npos) << run.Out;
            EXPECT_NE(run.Out.find("\nExit status: 0 "), std::string::npos) << run.Out;
        }
        const CliRun bogus = Run({command, "--bogus", "x"});
        EXPECT_EQ(bogus.ExitCode, 2);
        EXPECT_EQ(bogus.Out, "");
        EXPECT_EQ(bogus.Err,
                  "vellumcraft-cli: unknown option --bogus\nTry 'vellumcraft-cli " + command + " --help'.\n");
    }
    const std::string buildHelp = Run({"build", "--help"}).Out;
    EXPECT_NE(buildHelp.find("\n  --rw-version VERSION   0x0800, 0x0C02 (default) or 0x1003\n"), std::string::npos);
    EXPECT_NE(buildHelp.find("\n  --dxt-quality QUALITY  best (default;"), std::string::npos);
    EXPECT_EQ(Run({"frobnicate"}).Err,
              "vellumcraft-cli: unknown command 'frobnicate'\nTry 'vellumcraft-cli --help'.\n");
    EXPECT_EQ(Run({"check", "--log"}).Err,
              "vellumcraft-cli: --log needs a value (FILE)\nTry 'vellumcraft-cli check --help'.\n");
    EXPECT_EQ(Run({"build", "--no-pow2=1", "-o", "x.txd", "a.bmp"}).Err,
              "vellumcraft-cli: --no-pow2 takes no value\nTry 'vellumcraft-cli build --help'.\n");
}

TEST_F(CliTest, OptionsTakeTheirValueJoinedOrSeparateAndTwoDashesEndThem) {
    const std::string image = Image("-a.bmp", 12, 12);
    const CliRun joined = Run({"build", "--output=" + dir.File("j.txd"), "--rw-version=0x0800", "--no-pow2", image});
    EXPECT_EQ(joined.ExitCode, 0) << joined.Err;
    const CliRun inspect = Run({"inspect", dir.File("j.txd")});
    EXPECT_NE(inspect.Out.find("version stamp 0x0800FFFF"), std::string::npos) << inspect.Out;
    // After "--", a file whose name starts with a dash is an input, not an option.
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.Path());
    const CliRun dashed = Run({"list", "-o", "l.txt", "--no-pow2", "--", "-a.bmp"});
    std::filesystem::current_path(previous);
    EXPECT_EQ(dashed.ExitCode, 0) << dashed.Err;
    EXPECT_EQ(dashed.Out, "1 texture listed in l.txt\n");
}

// The statuses reach the shell unchanged, and results and problems go to their own streams.
TEST_F(CliTest, TheProgramEndsWithTheStatusOfItsRun) {
    const std::string out = dir.File("out.txd");
    const test::ProcessOutcome built = test::RunProcess(VELLUMCRAFT_CLI, {"build", "-o", out, Image("a.bmp", 4, 4)});
    EXPECT_EQ(built.ExitCode, 0);
    EXPECT_EQ(built.Out,
              test::SpawnedText("1 of 1 textures assembled sucessfully to out.txd!\nSize of file: 1.21 KB\n"));
    EXPECT_EQ(built.Err, "");
    const test::ProcessOutcome refused = test::RunProcess(
        VELLUMCRAFT_CLI, {"list", "-o", dir.File("l.txt"), Image("a.bmp", 4, 4), Image("o.bmp", 6, 6)});
    EXPECT_EQ(refused.ExitCode, 1);
    EXPECT_NE(refused.Err, "");
    EXPECT_EQ(test::RunProcess(VELLUMCRAFT_CLI, {}).ExitCode, 2);
    const test::ProcessOutcome unreadable = test::RunProcess(VELLUMCRAFT_CLI, {"inspect", dir.File("none.txd")});
    EXPECT_EQ(unreadable.ExitCode, 3);
    EXPECT_EQ(unreadable.Out, "");
    EXPECT_EQ(test::RunProcess(VELLUMCRAFT_CLI, {"--version"}).Out,
              test::SpawnedText("vellumcraft-cli " + std::string(kProgramVersion) + "\n"));
}

// Names outside ASCII reach the program whole, however the platform passes arguments (Windows hands
// main the ANSI code page, which has no Japanese), and its output names them in UTF-8.
TEST_F(CliTest, NamesOutsideAsciiReachTheProgramWhole) {
    const std::string japanese = "\xE3\x83\x86\xE3\x82\xAF\xE3\x82\xB9\xE3\x83\x81\xE3\x83\xA3";
    const std::string out = dir.File(japanese + ".txd");
    const test::ProcessOutcome built =
        test::RunProcess(VELLUMCRAFT_CLI, {"build", "-o", out, Image("caf\xC3\xA9.bmp", 4, 4)});
    EXPECT_EQ(built.ExitCode, 0) << built.Err;
    EXPECT_EQ(built.Out, test::SpawnedText("1 of 1 textures assembled sucessfully to " + japanese +
                                           ".txd!\nSize of file: 1.21 KB\n"));
    EXPECT_TRUE(IsExistingFile(out));
}

// cmd.exe and PowerShell pass wildcards on as typed: the program expands those in file names itself,
// in name order, and takes one that matches nothing as the name it is.
TEST_F(CliTest, WildcardsInFileNamesStandForTheFilesTheyMatch) {
#ifndef _WIN32
    GTEST_SKIP() << "POSIX shells expand wildcards before the program starts";
#endif
    Image("b.bmp", 4, 4);
    Image("a.bmp", 4, 4);
    Image("c.bmp.old", 4, 4);
    std::filesystem::create_directory(ToFsPath(dir.File("d.bmp")));
    const test::ProcessOutcome listed =
        test::RunProcess(VELLUMCRAFT_CLI, {"list", "-o", dir.File("l.txt"), dir.File("*.bmp"), dir.File("none?.bmp")});
    EXPECT_EQ(listed.ExitCode, 1);
    EXPECT_NE(listed.Err.find("\"none?.bmp\":"), std::string::npos) << listed.Err;
    const std::string list = test::ReadText(dir.File("l.txt"));
    const size_t a = list.find("path=" + dir.File("a.bmp") + "\r\n");
    const size_t b = list.find("path=" + dir.File("b.bmp") + "\r\n");
    EXPECT_NE(a, std::string::npos) << list;
    EXPECT_NE(b, std::string::npos) << list;
    EXPECT_LT(a, b) << list;
    EXPECT_EQ(list.find("c.bmp.old"), std::string::npos) << list;
    EXPECT_NE(list.find("count=2\r\n"), std::string::npos) << list;
}

TEST_F(CliTest, ListCollectsOnceAndBuildTakesTheListLikeTheImages) {
    const std::string a = Image("a.bmp", 8, 8);
    const std::string b = Image("b.bmp", 4, 4);
    const std::string list = dir.File("set.txt");
    const CliRun listed = Run({"list", "-o", list, a, b, Image("odd.bmp", 6, 6)});
    EXPECT_EQ(listed.ExitCode, 1);
    EXPECT_EQ(listed.Out, "2 textures listed in " + list + "\n");
    EXPECT_EQ(listed.Err.rfind("Some of the files caused errors and could not be added:\n\n=> \"odd.bmp\":", 0), 0u);
    EXPECT_EQ(test::ReadText(list), "[TXDList]\r\ncount=2\r\napp=Vellumcraft 1.1\r\n[Texture1]\r\nname=a\r\npath=" + a +
                                        "\r\n[Texture2]\r\nname=b\r\npath=" + b + "\r\n");

    EXPECT_EQ(Run({"build", "-o", dir.File("direct.txd"), a, b}).ExitCode, 0);
    const CliRun fromList = Run({"build", "-o", dir.File("listed.txd"), list, a});
    EXPECT_EQ(fromList.ExitCode, 0);  // a is already in the list: skipped silently
    EXPECT_EQ(test::ReadBytes(dir.File("listed.txd")), test::ReadBytes(dir.File("direct.txd")));

    // Inputs named relative to the working folder are listed by where they are (where the test's
    // folder can be named relative to the working folder at all: on Windows it may be on another drive).
    if (const std::string relative = std::filesystem::relative(b).string(); !relative.empty()) {
        EXPECT_EQ(Run({"list", "-o", dir.File("relative.txt"), relative}).ExitCode, 0);
        EXPECT_NE(test::ReadText(dir.File("relative.txt")).find("\r\npath=" + b + "\r\n"), std::string::npos);
    }

    // A list collected again from a list that keeps a stamp keeps it too.
    const std::string kept = dir.WriteText("kept.txt",
                                           "[TXDList]\r\ncount=1\r\nrwversion=0x1803FFFF\r\n[Texture1]\r\n"
                                           "path=" +
                                               a + "\r\n");
    EXPECT_EQ(Run({"list", "-o", dir.File("again.txt"), kept}).ExitCode, 0);
    EXPECT_NE(test::ReadText(dir.File("again.txt")).find("\r\nrwversion=0x1803FFFF\r\n"), std::string::npos);
    EXPECT_EQ(Run({"build", "-o", dir.File("sa.txd"), dir.File("again.txt")}).ExitCode, 0);
    EXPECT_NE(Run({"inspect", dir.File("sa.txd")}).Out.find("version stamp 0x1803FFFF"), std::string::npos);
}

// Folders deeper than Windows' old limit of 260 characters work in every command; on Windows they
// are named with the "\\?\" prefix, which lifts the limit wherever the program passes names on whole.
TEST_F(CliTest, PathsBeyondTheOldWindowsLimitWorkInEveryCommand) {
    std::filesystem::path deep = dir.Path();
    while (deep.native().size() <= 300) {
        deep /= "a folder with a rather long name";
    }
    std::filesystem::create_directories(deep);
    const std::string image = Image("a.bmp", 8, 8);
    std::filesystem::copy_file(ToFsPath(image), deep / "a.bmp");
    ASSERT_EQ(Run({"build", "-o", dir.File("direct.txd"), image}).ExitCode, 0);
#ifdef _WIN32
    const std::string folder = "\\\\?\\" + FromFsPath(deep) + "\\";
#else
    const std::string folder = FromFsPath(deep) + "/";
#endif
    const std::vector<std::vector<std::string>> runs = {
        {"list", "-o", folder + "set.txt", folder + "a.bmp"},
        {"build", "-o", folder + "out.txd", folder + "set.txt"},
        {"inspect", folder + "out.txd"},
        {"extract", folder + "out.txd", "-o", folder + "parts"},
        {"build", "-o", folder + "again.txd", folder + "parts" + folder.back() + "out.txt"},
    };
    for (const std::vector<std::string>& arguments : runs) {
        const test::ProcessOutcome run = test::RunProcess(VELLUMCRAFT_CLI, arguments);
        EXPECT_EQ(run.ExitCode, 0) << arguments[0] << ": " << run.Err;
    }
    EXPECT_EQ(test::ReadBytes(FromFsPath(deep / "out.txd")), test::ReadBytes(dir.File("direct.txd")));
    EXPECT_EQ(test::ReadBytes(FromFsPath(deep / "again.txd")), test::ReadBytes(dir.File("direct.txd")));
}

// --game picks the platform and stamp on build and list; a list keeps its game for later builds
// unless the command line asks for another.
TEST_F(CliTest, GameChoosesPlatformAndStampAndTheListKeepsIt) {
    const std::string image = Image("a.bmp", 4, 4);
    const auto platformAndStamp = [&](const std::string& file) {
        const std::string out = Run({"inspect", file}).Out;
        const size_t row = out.find('\n') + 1;
        return out.substr(out.find("\tD3D", row) + 1, 4) + " " + out.substr(out.find("stamp ") + 6, 10);
    };
    struct Case {
        std::vector<std::string> Arguments;
        std::string Written;
    };
    const std::string list = dir.File("vc.txt");
    ASSERT_EQ(Run({"list", "--game", "vc", "-o", list, image}).ExitCode, 0);
    EXPECT_NE(test::ReadText(list).find("\r\ngame=vc\r\n"), std::string::npos) << test::ReadText(list);
    const Case cases[] = {
        {{"--game", "sa", image}, "D3D9 0x1803FFFF"},
        {{"--game=VC", image}, "D3D8 0x1003FFFF"},
        {{"--game", "iii", image}, "D3D8 0x0C02FFFF"},
        {{image}, "D3D8 0x0C02FFFF"},
        {{list}, "D3D8 0x1003FFFF"},
        {{"--game", "sa", list}, "D3D9 0x1803FFFF"},
        {{"--rw-version", "0x0800", list}, "D3D8 0x0800FFFF"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"build", "-o", dir.File("out.txd")};
        arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.ExitCode, 0) << run.Err;
        EXPECT_EQ(platformAndStamp(dir.File("out.txd")), c.Written) << c.Arguments.front();
    }
    for (const auto& [arguments, message] :
         {std::pair{std::vector<std::string>{"--game", "gta4"}, "--game takes iii, vc or sa"},
          std::pair{std::vector<std::string>{"--game", "sa", "--rw-version", "0x1003"},
                    "--game and --rw-version cannot be given together: the game sets the stamp"}}) {
        std::vector<std::string> all = {"build", "-o", dir.File("bad.txd")};
        all.insert(all.end(), arguments.begin(), arguments.end());
        all.push_back(image);
        const CliRun run = Run(all);
        EXPECT_EQ(run.ExitCode, 2);
        EXPECT_NE(run.Err.find(message), std::string::npos) << run.Err;
    }
}

// verify tells the game by the stamp and platform unless --game names it, lists each rule broken
// with its severity, and fails when something will not load or will look wrong.
TEST_F(CliTest, VerifySaysPerTextureWhatTheGameWillMakeOfIt) {
    const std::string sanAndreas = std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/san-andreas-direct3d9.txd";
    const std::string gta3 = std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/stamp-3.2.0.0.txd";
    ASSERT_EQ(Run({"build", "--game", "sa", "--mipmaps", "--format", "DXT1", "-o", dir.File("clean.txd"),
                   Image("a.bmp", 16, 16)})
                  .ExitCode,
              0);
    dir.WriteText("not.txd", "not a dictionary");
    struct Case {
        std::vector<std::string> Arguments;
        int ExitCode;
        std::vector<std::string> Lines;  // each found in the output
    };
    const Case cases[] = {
        {{sanAndreas},
         1,
         {"san-andreas-direct3d9.txd for San Andreas (told by its stamp and platform):\n",
          "  road: will look wrong: Its compressed levels below 4 × 4 (2 × 2, 1 × 1) are not filled",
          "[small-dxt-levels]\n", "  sign: worth knowing: It is paletted;",
          "  0 will not load, 2 will look wrong, 1 worth knowing\n"}},
        {{dir.File("clean.txd")},
         0,
         {"clean.txd for San Andreas (told by its stamp and platform):\n  nothing to report\n"}},
        {{gta3}, 0, {"stamp-3.2.0.0.txd for GTA III (told by its stamp and platform):\n  nothing to report\n"}},
        {{"--game", "vc", gta3}, 0, {"stamp-3.2.0.0.txd for Vice City:\n  nothing to report\n"}},
        {{"--game", "iii", sanAndreas},
         1,
         {"san-andreas-direct3d9.txd for GTA III:\n",
          "  the dictionary: will not load: The dictionary is stamped RenderWare 3.6.0.3, newer than GTA III's "
          "3.3.0.2: the game refuses it. [stamp]\n",
          "  road: will not load: GTA III reads only Direct3D 8 textures; this one is of platform 9. [platform]\n"}},
        {{dir.File("not.txd"), dir.File("clean.txd")},
         1,
         {"not.txd, which is no dictionary:\n  the dictionary: will not load:", "[damaged]\n",
          "clean.txd for San Andreas"}},
        {{"--json", dir.File("not.txd")}, 1, {"\", \"game\": null, \"guessed\": true, \"fails\": true"}},
        {{"--game", "vc", dir.File("not.txd")}, 1, {"not.txd for Vice City:\n  the dictionary: will not load:"}},
        {{"--json", gta3, sanAndreas},
         1,
         {"{\"dictionaries\": [\n  {\"file\": \"" + gta3 +
              "\", \"game\": \"iii\", \"guessed\": true, \"fails\": false, \"findings\": []},\n",
          "\"game\": \"sa\", \"guessed\": true, \"fails\": true, \"findings\": [\n    {\"texture\": \"road\", "
          "\"index\": 0, "
          "\"rule\": \"small-dxt-levels\", \"severity\": \"will look wrong\", \"reason\": \"Its compressed levels"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> arguments = {"verify"};
        arguments.insert(arguments.end(), c.Arguments.begin(), c.Arguments.end());
        const CliRun run = Run(arguments);
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Arguments.back() << run.Err;
        for (const std::string& line : c.Lines) {
            EXPECT_NE(run.Out.find(line), std::string::npos) << line << "\n--- in ---\n" << run.Out;
        }
    }
    EXPECT_EQ(Run({"verify", dir.File("missing.txd")}).ExitCode, 3);
}

// A build writes what it is asked to, and warns of what the game will not load or will draw wrong.
TEST_F(CliTest, BuildWarnsOfWhatTheGameWillNotTakeAndWritesItAllTheSame) {
    const std::string wide =
        dir.Write("wide.bmp", test::MakePalettedBmp(12, 4, test::GreyPalette(8), [](int, int) { return 2; }));
    const CliRun run =
        Run({"build", "--no-pow2", "--game", "vc", "-o", dir.File("out.txd"), wide, Image("b.bmp", 4, 4)});
    EXPECT_EQ(run.ExitCode, 0);
    EXPECT_EQ(run.Err,
              "vellumcraft-cli: warning: Vice City will not take every texture as written:\n"
              "  wide: will look wrong: Its sides, 12 × 4, are not powers of two; graphics cards of the game's "
              "time refuse such textures, and the game draws them white. [power-of-two]\n");
    EXPECT_EQ(ReadTxd(test::ReadBytes(dir.File("out.txd"))).Textures.size(), 2u);
    EXPECT_EQ(Run({"build", "-o", dir.File("clean.txd"), Image("c.bmp", 4, 4)}).Err, "");
}

TEST_F(CliTest, ListFileThatCannotBeReadIsAnErrorNotAnEmptyList) {
    const std::string out = dir.WriteText("out.txd", "old");
    for (const char* command : {"build", "list"}) {
        const CliRun run = Run({command, "-o", out, Image("a.bmp", 4, 4), dir.File("missing.txt")});
        EXPECT_EQ(run.ExitCode, 3) << command;
        EXPECT_NE(run.Err.find("missing.txt"), std::string::npos) << run.Err;
    }
    EXPECT_EQ(test::ReadText(out), "old");
}

TEST_F(CliTest, ListWithNothingToWriteWritesNothing) {
    const CliRun run = Run({"list", "-o", dir.File("l.txt"), Image("odd.bmp", 6, 6)});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_FALSE(std::filesystem::exists(dir.File("l.txt")));
    EXPECT_EQ(Run({"list", "-o", dir.File("l.txt"), "--flag", "0x1101", Image("a.bmp", 4, 4)}).ExitCode, 2);
}

TEST_F(CliTest, CheckListsTheModelsTexturesAgainstTheInputs) {
    using namespace test;
    const std::string model =
        dir.Write("car.dff", Chunk(16, Join({Chunk(7, Texture({"wheel"})), Chunk(7, Texture({"rim", "rim_a"}))})));
    const std::string wheel = Image("wheel.bmp", 4, 4);
    const CliRun partly = Run({"check", model, wheel});
    EXPECT_EQ(partly.ExitCode, 1);
    EXPECT_EQ(partly.Out, "rim: missing, alpha rim_a: missing\nwheel: present\n1 textures are missing!\n");
    const CliRun tsv = Run({"check", "--tsv", model, wheel, Image("rim.bmp", 4, 4)});
    EXPECT_EQ(tsv.ExitCode, 1);
    EXPECT_EQ(tsv.Out, "rim\tpresent\trim_a\tmissing\nwheel\tpresent\t\t\n");

    const std::string list =
        dir.WriteText("l.txt", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + Image("rim.bmp", 4, 4) +
                                   "\r\nalpha=rim_a\r\nalphapath=" + Image("mask.bmp", 4, 4) + "\r\n");
    const CliRun complete = Run({"check", model, "--log", dir.File("log.txt"), wheel, list});
    EXPECT_EQ(complete.ExitCode, 0);
    EXPECT_EQ(complete.Out, "rim: present, alpha rim_a: present\nwheel: present\nAll textures are available.\n");
    const std::string log = test::ReadText(dir.File("log.txt"));
    EXPECT_NE(log.find("\r\nCAR.DFF ("), std::string::npos) << log;
    EXPECT_NE(log.find("> rim_a\r\n"), std::string::npos) << log;
}

// A dictionary counts as the list it was built from: its textures' names, and their mask names as
// alpha names where they have alpha.
TEST_F(CliTest, CheckTakesDictionariesAsListsOfTheirTextures) {
    using namespace test;
    const std::string model =
        dir.Write("car.dff", Chunk(16, Join({Chunk(7, Texture({"wheel"})), Chunk(7, Texture({"rim", "rim_a"})),
                                             Chunk(7, Texture({"door"}))})));
    const std::string list =
        dir.WriteText("l.txt", "[TXDList]\r\ncount=2\r\n[Texture1]\r\npath=" + Image("rim.bmp", 4, 4) +
                                   "\r\nalpha=rim_a\r\nalphapath=" + Image("mask.bmp", 4, 4) +
                                   "\r\n[Texture2]\r\npath=" + Image("wheel.bmp", 4, 4) + "\r\n");
    ASSERT_EQ(Run({"build", "-o", dir.File("car.TXD"), list}).ExitCode, 0);
    const CliRun partly = Run({"check", model, dir.File("car.TXD")});
    EXPECT_EQ(partly.ExitCode, 1) << partly.Err;
    EXPECT_EQ(partly.Out,
              "door: missing\nrim: present, alpha rim_a: present\nwheel: present\n1 textures are missing!\n");
    const CliRun complete = Run({"check", model, Image("door.bmp", 4, 4), dir.File("car.TXD")});
    EXPECT_EQ(complete.ExitCode, 0) << complete.Err;
    EXPECT_EQ(complete.Err, "");

    // A San Andreas model, whose breakable pieces name a texture of their own, against a San Andreas
    // dictionary.
    constexpr uint32_t kSanAndreas = 0x1803FFFF;
    const std::string saModel =
        dir.Write("sa.dff", Chunk(16,
                                  Join({Chunk(7, Texture({"wheel"}), kSanAndreas),
                                        Chunk(0x0253F2FD, BreakablePayload({{"glass", "glass_a"}}), kSanAndreas)}),
                                  kSanAndreas));
    ASSERT_EQ(Run({"build", "--game", "sa", "-o", dir.File("sa.txd"), list}).ExitCode, 0);
    const CliRun sa = Run({"check", saModel, dir.File("sa.txd")});
    EXPECT_EQ(sa.ExitCode, 1) << sa.Err;
    EXPECT_EQ(sa.Out, "glass: missing, alpha glass_a: missing\nwheel: present\n1 textures are missing!\n");

    const CliRun broken = Run({"check", model, dir.WriteText("broken.txd", "not a dictionary")});
    EXPECT_EQ(broken.ExitCode, 3);
    EXPECT_NE(broken.Err.find("Texture dictionary is not valid"), std::string::npos) << broken.Err;
}

// An archive lists every entry, the bad ones on stderr too, and gives the entries asked for by
// name or pattern, ignoring case; a bad entry is named with its reason and never written.
TEST_F(CliTest, ImgListsAndExtractsTheEntriesOfEitherVersion) {
    const test::Bytes txd(3000, 0x11);
    const test::Bytes dff(100, 0x22);
    for (const ImgVersion version : {ImgVersion::V1, ImgVersion::V2}) {
        const std::string v = version == ImgVersion::V1 ? "1" : "2";
        SCOPED_TRACE("version " + v);
        test::TempDir here;
        const test::ImgFiles files = test::MakeImgArchive(version, {{"car.txd", txd}, {"Car.dff", dff}});
        const std::string archive = here.Write("gta3.img", files.Img);
        if (version == ImgVersion::V1) {
            here.Write("gta3.dir", files.Dir);
        }
        const uint64_t first = version == ImgVersion::V2 ? 2048 : 0;
        const CliRun listed = Run({"img", "list", archive});
        EXPECT_EQ(listed.ExitCode, 0) << listed.Err;
        EXPECT_EQ(listed.Out, "name\tsize\toffset\ncar.txd\t4096\t" + std::to_string(first) + "\nCar.dff\t2048\t" +
                                  std::to_string(first + 4096) + "\n2 entries in gta3.img (version " + v + ")\n");
        const CliRun json = Run({"img", "list", "--json", archive});
        EXPECT_EQ(json.Out, "{\n  \"archive\": \"gta3.img\",\n  \"version\": " + v +
                                ",\n  \"damage\": null,\n  \"entries\": [\n    {\"name\": \"car.txd\", \"size\": 4096, "
                                "\"offset\": " +
                                std::to_string(first) +
                                ", \"problem\": null},\n    {\"name\": \"Car.dff\", \"size\": 2048, \"offset\": " +
                                std::to_string(first + 4096) + ", \"problem\": null}\n  ]\n}\n");

        const std::string out = here.File("out");
        const CliRun some = Run({"img", "extract", archive, "CAR.T?D", "*.none", "-o", out});
        EXPECT_EQ(some.ExitCode, 1);
        EXPECT_EQ(some.Err, "vellumcraft-cli: gta3.img holds no entry \"*.none\"\n");
        EXPECT_EQ(some.Out, "1 of 1 entries extracted to " + out + "\n");
        test::Bytes padded = txd;
        padded.resize(4096, 0);
        EXPECT_EQ(test::ReadBytes(here.File("out/car.txd")), padded);
        const CliRun all = Run({"img", "extract", archive});
        EXPECT_EQ(all.ExitCode, 0) << all.Err;
        EXPECT_EQ(test::ReadBytes(here.File("gta3/Car.dff")).size(), 2048u);
    }

    // A hostile record: its name climbs out of the folder, and it lies past the end.
    test::TempDir here;
    const std::string archive = here.Write(
        "bad.img", test::ImgDirectoryBytes(ImgVersion::V2, {{"good.txd", 1, 1}, {"../../evil.txd", 1, 900}}));
    std::filesystem::resize_file(ToFsPath(archive), 2 * 2048);
    const CliRun listed = Run({"img", "list", archive});
    EXPECT_EQ(listed.ExitCode, 1);
    EXPECT_EQ(listed.Err, "vellumcraft-cli: bad.img: \"../../evil.txd\": its name is no plain file name\n");
    const CliRun extracted = Run({"img", "extract", archive, "-o", here.File("x/y")});
    EXPECT_EQ(extracted.ExitCode, 1);
    EXPECT_EQ(extracted.Out, "1 of 2 entries extracted to " + here.File("x/y") + "\n");
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(here.File("evil.txd"))));
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(here.File("x/evil.txd"))));

    EXPECT_EQ(Run({"img", "list", here.WriteText("none.img", "not an archive")}).ExitCode, 3);
    EXPECT_EQ(Run({"inspect", archive + ":../../evil.txd"}).ExitCode, 3);  // a plain path, of no file
    EXPECT_EQ(Run({"img", "frob", archive}).ExitCode, 2);
    EXPECT_EQ(Run({"img"}).ExitCode, 2);
}

// build-tree makes a dictionary of every folder with images or lists, the same for any number of jobs.
TEST_F(CliTest, BuildTreeWritesAFolderOfFoldersAsDictionaries) {
    const auto image = [&](const std::string& path, int side) {
        std::filesystem::create_directories(ToFsPath(dir.File(path)).parent_path());
        return Image(path, side, side);
    };
    image("src/a.bmp", 8);
    image("src/cars/b.bmp", 4);
    image("src/cars/c.bmp", 16);
    const std::string d = image("src/cars/sports/d.bmp", 4);
    image("src/cars/sports/unlisted.bmp", 4);
    dir.WriteText("src/cars/sports/set.txt", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + d + "\r\n");
    std::filesystem::create_directories(ToFsPath(dir.File("src/empty")));
    image("src/bad/odd.bmp", 6);
    image("src/bad/e.bmp", 4);
    // A folder of refused images only, whose dictionary an earlier run left: it is not built now.
    image("src/allbad/odd.bmp", 6);
    for (const char* earlier : {"out1/allbad.txd", "out2/allbad.txd"}) {
        std::filesystem::create_directories(ToFsPath(dir.File(earlier)).parent_path());
        dir.WriteText(earlier, "from an earlier run");
    }
    std::vector<CliRun> runs;
    for (const std::string jobs : {"1", "2"}) {
        runs.push_back(Run({"build-tree", dir.File("src"), "-o", dir.File("out" + jobs), "--jobs", jobs}));
        const CliRun& run = runs.back();
        EXPECT_EQ(run.ExitCode, 1);
        EXPECT_NE(run.Out.find("bad: 1 of 1 textures assembled sucessfully to bad.txd!"), std::string::npos) << run.Out;
        EXPECT_NE(run.Out.find("cars/sports: 1 of 1 textures assembled sucessfully to sports.txd!"), std::string::npos)
            << run.Out;
        EXPECT_NE(run.Out.find("\n4 of 5 folders built into " + dir.File("out" + jobs) +
                               "; 2 with inputs refused or left out\n"),
                  std::string::npos)
            << run.Out;
        EXPECT_NE(run.Err.find("\"odd.bmp\""), std::string::npos) << run.Err;
        EXPECT_EQ(ReadTxd(test::ReadBytes(dir.File("out" + jobs + "/cars.txd"))).Textures.size(), 2u);
        EXPECT_EQ(ReadTxd(test::ReadBytes(dir.File("out" + jobs + "/src.txd"))).Textures.size(), 1u);
        EXPECT_FALSE(std::filesystem::exists(ToFsPath(dir.File("out" + jobs + "/empty.txd"))));
    }
    // On a terminal one line tells the progress and is gone before each folder's report.
    std::ostringstream out;
    std::ostringstream err;
    const std::vector<std::string> terminalArguments = {"build-tree", dir.File("src"), "-o", dir.File("out1")};
    const std::vector<std::string_view> terminalRun(terminalArguments.begin(), terminalArguments.end());
    EXPECT_EQ(cli::RunCli(terminalRun, out, err, true), 1);
    EXPECT_EQ(out.str(), runs[0].Out);
    EXPECT_EQ(err.str().rfind("\r\x1B[Kbuild-tree 0/5 allbad\r\x1B[K", 0), 0u) << err.str();
    EXPECT_NE(err.str().find("\r\x1B[Kbuild-tree 4/5 src\r\x1B[K"), std::string::npos) << err.str();
    EXPECT_EQ(runs[0].Err.find('\r'), std::string::npos);
    std::string second = runs[1].Out;
    for (size_t at; (at = second.find("out2")) != std::string::npos;) {
        second.replace(at, 4, "out1");
    }
    EXPECT_EQ(second, runs[0].Out);
    for (const char* name : {"src.txd", "cars.txd", "cars/sports.txd", "bad.txd"}) {
        EXPECT_EQ(test::ReadBytes(dir.File(std::string("out1/") + name)),
                  test::ReadBytes(dir.File(std::string("out2/") + name)))
            << name;
    }
    EXPECT_EQ(Run({"build-tree", dir.File("src")}).ExitCode, 2);
    EXPECT_EQ(Run({"build-tree", dir.File("src"), "-o", dir.File("o"), "--format", "DXT9"}).ExitCode, 2);
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(dir.File("o"))));
    EXPECT_EQ(Run({"build-tree", dir.File("none"), "-o", dir.File("o")}).ExitCode, 3);
}

// A long line is cut at a character's start, so that it never wraps and can be rewritten.
TEST(TerminalProgress, RewritesOneLineOnATerminalAndNothingElsewhere) {
    for (const bool terminal : {false, true}) {
        std::ostringstream out;
        std::ostringstream err;
        const cli::Streams streams{out, err, terminal};
        {
            cli::TerminalProgress progress(streams, "build-tree");
            progress.Report(0, 2, "cars");
            progress.Report(1, 2, std::string(59, 'x') + "\xC3\xA9\xC3\xA9\xC3\xA9");
        }
        // The cut falls before the second "é", not inside it.
        const std::string expected =
            "\r\x1B[Kbuild-tree 0/2 cars\r\x1B[Kbuild-tree 1/2 " + std::string(59, 'x') + "\xC3\xA9...\r\x1B[K";
        EXPECT_EQ(err.str(), terminal ? expected : "");
        EXPECT_EQ(out.str(), "");
    }
}

// put, remove and rebuild change an archive of either version; what was put comes out again.
TEST_F(CliTest, ImgPutsRemovesAndRebuilds) {
    for (const ImgVersion version : {ImgVersion::V1, ImgVersion::V2}) {
        SCOPED_TRACE(version == ImgVersion::V1 ? "version 1" : "version 2");
        test::TempDir here;
        const test::ImgFiles files = test::MakeImgArchive(version, {{"car.txd", test::Bytes(3000, 1)}});
        const std::string archive = here.Write("gta3.img", files.Img);
        if (version == ImgVersion::V1) {
            here.Write("gta3.dir", files.Dir);
        }
        const std::string bus = here.Write("BUS.TXD", test::Bytes(5000, 2));
        const std::string car = here.Write("car.txd", test::Bytes(10, 3));
        const CliRun put = Run({"img", "put", archive, bus, car});
        EXPECT_EQ(put.ExitCode, 0) << put.Err;
        EXPECT_EQ(put.Out, "2 entries put into gta3.img\n");
        const CliRun removed = Run({"img", "remove", archive, "car.TXD"});
        EXPECT_EQ(removed.ExitCode, 0) << removed.Err;
        EXPECT_EQ(Run({"img", "rebuild", archive}).Out, "gta3.img rebuilt\n");
        const CliRun listed = Run({"img", "list", archive});
        const uint64_t first = version == ImgVersion::V2 ? 2048 : 0;
        EXPECT_EQ(listed.Out, "name\tsize\toffset\nBUS.TXD\t6144\t" + std::to_string(first) +
                                  "\n1 entries in gta3.img (version " + (version == ImgVersion::V1 ? "1" : "2") +
                                  ")\n");
        ASSERT_EQ(Run({"img", "extract", archive, "-o", here.File("out")}).ExitCode, 0);
        test::Bytes padded(5000, 2);
        padded.resize(6144, 0);
        EXPECT_EQ(test::ReadBytes(here.File("out/BUS.TXD")), padded);

        const CliRun missing = Run({"img", "remove", archive, "none.txd"});
        EXPECT_EQ(missing.ExitCode, 3);
        EXPECT_EQ(missing.Err, "vellumcraft-cli: gta3.img: it holds no entry \"none.txd\"; nothing was changed\n");
        EXPECT_EQ(Run({"img", "put", archive}).ExitCode, 2);
    }
}

// ARCHIVE:NAME names an archive's entry wherever a dictionary or a model is read.
TEST_F(CliTest, DictionariesAndModelsAreReadFromInsideArchives) {
    const std::string list =
        dir.WriteText("l.txt", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + Image("wheel.bmp", 4, 4) + "\r\n");
    ASSERT_EQ(Run({"build", "-o", dir.File("car.txd"), list}).ExitCode, 0);
    const test::Bytes model = test::Chunk(16, test::Chunk(7, test::Texture({"wheel"})));
    const test::ImgFiles files =
        test::MakeImgArchive(ImgVersion::V1, {{"car.txd", test::ReadBytes(dir.File("car.txd"))}, {"car.dff", model}});
    dir.Write("gta3.dir", files.Dir);
    const std::string archive = dir.Write("gta3.img", files.Img);

    const CliRun inspected = Run({"inspect", archive + ":CAR.txd"});
    EXPECT_EQ(inspected.ExitCode, 0) << inspected.Err;
    EXPECT_NE(inspected.Out.find("wheel\t"), std::string::npos) << inspected.Out;
    const CliRun verified = Run({"verify", archive + ":car.txd"});
    EXPECT_EQ(verified.ExitCode, 0) << verified.Err;
    EXPECT_EQ(verified.Out.rfind("car.txd for GTA III", 0), 0u) << verified.Out;
    const CliRun checked = Run({"check", archive + ":car.dff", archive + ":car.txd"});
    EXPECT_EQ(checked.ExitCode, 0) << checked.Err;
    EXPECT_EQ(checked.Out, "wheel: present\nAll textures are available.\n");
    const CliRun extracted = Run({"extract", archive + ":car.txd"});
    EXPECT_EQ(extracted.ExitCode, 0) << extracted.Err;
    EXPECT_TRUE(std::filesystem::exists(ToFsPath(dir.File("car/wheel.bmp"))));
    // build -o ARCHIVE:NAME puts the dictionary into the archive.
    const CliRun built = Run({"build", "-o", archive + ":bus.txd", list});
    EXPECT_EQ(built.ExitCode, 0) << built.Err;
    EXPECT_EQ(built.Out.rfind("1 of 1 textures assembled sucessfully to bus.txd!", 0), 0u) << built.Out;
    EXPECT_EQ(Run({"inspect", archive + ":bus.txd"}).Out, inspected.Out);
    // Several dictionaries, or an archive's by a pattern.
    const CliRun both = Run({"inspect", archive + ":*.TXD"});
    EXPECT_EQ(both.ExitCode, 0) << both.Err;
    EXPECT_EQ(both.Out, archive + ":car.txd:\n" + inspected.Out + "\n" + archive + ":bus.txd:\n" + inspected.Out);
    const std::string broken = dir.WriteText("broken.txd", "no dictionary");
    const CliRun json = Run({"inspect", "--json", archive + ":car.txd", broken});
    EXPECT_EQ(json.ExitCode, 1);
    EXPECT_EQ(json.Out, "[\n" + Run({"inspect", "--json", archive + ":car.txd"}).Out + ",\nnull\n]\n");
    EXPECT_EQ(json.Err.rfind("vellumcraft-cli: \"broken.txd\": Texture dictionary is not valid", 0), 0u) << json.Err;
    const CliRun verifiedBoth = Run({"verify", archive + ":*.txd"});
    EXPECT_EQ(verifiedBoth.ExitCode, 0) << verifiedBoth.Err;
    EXPECT_NE(verifiedBoth.Out.find("\nbus.txd for GTA III"), std::string::npos) << verifiedBoth.Out;
    const CliRun extractedBoth = Run({"extract", archive + ":*.txd", broken, "-o", dir.File("all")});
    EXPECT_EQ(extractedBoth.ExitCode, 1);
    EXPECT_NE(extractedBoth.Err.find("\"broken.txd\""), std::string::npos) << extractedBoth.Err;
    for (const char* extractedImage : {"all/car/wheel.bmp", "all/bus/wheel.bmp"}) {
        EXPECT_TRUE(std::filesystem::exists(ToFsPath(dir.File(extractedImage)))) << extractedImage;
    }
    EXPECT_EQ(Run({"verify", archive + ":*.none"}).ExitCode, 3);

    const CliRun missing = Run({"inspect", archive + ":van.txd"});
    EXPECT_EQ(missing.ExitCode, 3);
    EXPECT_EQ(missing.Err, "vellumcraft-cli: gta3.img holds no entry \"van.txd\"\n");
}

TEST_F(CliTest, ExtractWritesImagesMasksAndAListThatBuildsTheSameDictionary) {
    const std::string list = dir.WriteText(
        "l.txt", "[TXDList]\r\ncount=3\r\n[Texture1]\r\npath=" + Image("rim.bmp", 8, 4) +
                     "\r\nalpha=rim_a\r\nalphapath=" + Image("mask.bmp", 8, 4) +
                     "\r\n[Texture2]\r\npath=" + Image("wheel.bmp", 4, 4) +
                     "\r\n[Texture3]\r\npath=" + Image("tyre.bmp", 8, 8) + "\r\nformat=DXT1\r\nmipmaps=1\r\n");
    ASSERT_EQ(Run({"build", "--rw-version", "0x0800", "-o", dir.File("car.txd"), list}).ExitCode, 0);
    std::filesystem::create_directory(dir.File("car"));
    const std::string kept = dir.WriteText("car/notes.txt", "mine");
    const CliRun run = Run({"extract", dir.File("car.txd")});
    EXPECT_EQ(run.ExitCode, 0) << run.Err;
    EXPECT_EQ(run.Out,
              "rim\t8 × 4\tPAL8\t1 level\tmask rim_a\nwheel\t4 × 4\tPAL8\t1 level\tno mask\n"
              "tyre\t8 × 8\tDXT1\t4 levels\tDDS file\n"
              "3 of 3 textures extracted to " +
                  dir.File("car") + ", listed in " + dir.File("car/car.txt") + "\n");
    EXPECT_EQ(test::ReadText(kept), "mine");
    // The list keeps the dictionary's stamp; one asked for wins.
    ASSERT_EQ(Run({"build", "-o", dir.File("again.txd"), dir.File("car/car.txt")}).ExitCode, 0);
    EXPECT_EQ(test::ReadBytes(dir.File("again.txd")), test::ReadBytes(dir.File("car.txd")));
    ASSERT_EQ(Run({"build", "--rw-version", "0x1003", "-o", dir.File("vc.txd"), dir.File("car/car.txt")}).ExitCode, 0);
    EXPECT_NE(Run({"inspect", dir.File("vc.txd")}).Out.find("version stamp 0x1003FFFF"), std::string::npos);

    EXPECT_EQ(Run({"extract", dir.File("car.txd"), "-o", dir.File("elsewhere")}).ExitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(dir.File("elsewhere/car.txt")));
    // One worker thread and two write the same files and print the same lines. The list names its
    // images by their paths, so both write into the same folder.
    const auto extractWith = [&](const std::string& jobs) {
        const CliRun jobsRun = Run({"extract", dir.File("car.txd"), "-o", dir.File("jobs"), "--jobs", jobs});
        EXPECT_EQ(jobsRun.ExitCode, 0) << jobsRun.Err;
        std::map<std::string, std::vector<uint8_t>> files;
        for (const auto& file : std::filesystem::directory_iterator(dir.File("jobs"))) {
            files[file.path().filename().string()] = test::ReadBytes(file.path().string());
        }
        return std::pair(jobsRun.Out, files);
    };
    const auto two = extractWith("2");
    EXPECT_EQ(two.second.size(), 5u);
    const auto one = extractWith("1");
    EXPECT_EQ(one.first, two.first);
    EXPECT_TRUE(one.second == two.second) << "the files differ";
    EXPECT_EQ(Run({"extract", dir.File("car.txd"), "--jobs", "0"}).ExitCode, 2);
    EXPECT_EQ(Run({"extract"}).ExitCode, 2);
    EXPECT_EQ(Run({"extract", dir.File("none.txd")}).ExitCode, 3);
    EXPECT_EQ(Run({"extract", dir.WriteText("bad.txd", "not a dictionary")}).ExitCode, 3);

    // A texture that cannot be taken apart (here: of no DXT form) is reported, and the run
    // ends with status 1 after extracting the rest.
    const test::Bytes good = test::TextureNative(
        {.Name = "good", .RasterFormat = 0x0600, .Width = 4, .Height = 4, .LevelPixels = {test::PatternBytes(64, 1)}});
    const test::Bytes odd = test::TextureNative({.Name = "odd", .Width = 4, .Height = 4, .CompressionOrFlags = 7});
    const CliRun partly = Run({"extract", dir.Write("mixed.txd", test::Dictionary({good, odd}))});
    EXPECT_EQ(partly.ExitCode, 1);
    EXPECT_NE(partly.Out.find("1 of 2 textures extracted"), std::string::npos) << partly.Out;
    EXPECT_NE(partly.Err.find("\"odd\" was not extracted"), std::string::npos) << partly.Err;
}

TEST_F(CliTest, CheckFailsOnUnreadableModelsAndBadUsage) {
    const CliRun missing = Run({"check", dir.File("none.dff")});
    EXPECT_EQ(missing.ExitCode, 3);
    EXPECT_NE(missing.Err.find("none.dff"), std::string::npos);
    EXPECT_EQ(Run({"check"}).ExitCode, 2);
    EXPECT_EQ(Run({"check", "--log"}).ExitCode, 2);

    // A file that is no model is an error, not a model without textures; a model cut short lists
    // what was read and says so.
    using test::Chunk;
    using test::Join;
    using test::Texture;
    const test::Bytes car = Chunk(16, Join({Chunk(7, Texture({"wheel"})), Chunk(7, Texture({"rim"}))}));
    struct Case {
        std::string Name;
        test::Bytes Model;
        int ExitCode;
        std::string Out;
        std::string Err;
    };
    const Case cases[] = {
        {"text.dff",
         {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', '!', '\n'},
         3,
         "",
         "\"text.dff\" is not a RenderWare model: it does not start with a clump."},
        {"tiny.dff", {0x10, 0, 0}, 3, "", "\"tiny.dff\" is not a RenderWare model: it does not start with a clump."},
        {"cut.dff", test::Bytes(car.begin(), car.end() - 20), 1, "wheel\tmissing\t",
         "The model \"cut.dff\" is cut short: its chunks declare " + std::to_string(car.size()) +
             " bytes, but the file has " + std::to_string(car.size() - 20) +
             ". The textures listed are those read before its end."},
    };
    for (const Case& c : cases) {
        const CliRun run = Run({"check", "--tsv", dir.Write(c.Name, c.Model)});
        EXPECT_EQ(run.ExitCode, c.ExitCode) << c.Name;
        if (c.Out.empty()) {
            EXPECT_EQ(run.Out, "") << c.Name;
        } else {
            EXPECT_NE(run.Out.find(c.Out), std::string::npos) << c.Name << ": " << run.Out;
        }
        EXPECT_NE(run.Err.find(c.Err), std::string::npos) << c.Name << ": " << run.Err;
    }
}

// A San Andreas dictionary: a DXT1 texture with its levels down to 1 × 1, and a texture of another
// platform, which is listed but cannot be read.
std::vector<uint8_t> SanAndreasDictionary(const std::string& name) {
    const test::NativeFields dxt{.Platform = 9,
                                 .Name = name,
                                 .MaskName = "rim_a",
                                 .RasterFormat = 0x8200,
                                 .AlphaOrD3dFormat = 0x31545844,  // "DXT1"
                                 .Width = 4,
                                 .Height = 4,
                                 .Depth = 16,
                                 .CompressionOrFlags = 0x09,  // alpha, compressed
                                 .LevelPixels = {test::Bytes(8), test::Bytes(8), test::Bytes(8)}};
    const test::NativeFields ps2{.Platform = 0x00325350};  // "PS2\0"
    return test::Dictionary({test::TextureNative(dxt, 0x1803FFFF), test::TextureNative(ps2, 0x1803FFFF)}, 2,
                            0x1803FFFF);
}

TEST_F(CliTest, InspectShowsPlatformFormatLevelsAndDeviceIdAndWhatCannotBeRead) {
    const std::string file = dir.Write("sa.txd", SanAndreasDictionary("rim"));
    const CliRun run = Run({"inspect", file});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out,
              "name\tmask\tsize\tdepth\traster\talpha\tflags\tplatform\tformat\tlevels\n"
              "rim\trim_a\t4 × 4\t16\t0x8200\t1\t0x00001106\tD3D9\tDXT1\t3\n"
              "\t\t0 × 0\t0\t0x0000\t0\t0x00000000\t3298128\t-\t0\n"
              "2 textures, version stamp 0x1803FFFF (RenderWare 3.6.0.3), device id 2\n");
    EXPECT_EQ(run.Err,
              "vellumcraft-cli: texture 2 \"\" cannot be read: Texture dictionary is not valid at byte 216 of 324: "
              "the texture is of platform 3298128 (0x00325350), not of Direct3D 8 (8) or Direct3D 9 (9)\n");
}

TEST_F(CliTest, InspectJsonGivesEveryFieldWithNamesEscaped) {
    // A quote, a backslash, a tab, a control character and "é" in Windows-1252.
    const std::string file = dir.Write("sa.txd", SanAndreasDictionary("r\"i\\m\t\x01\xE9"));
    const CliRun run = Run({"inspect", "--json", file});
    EXPECT_EQ(run.ExitCode, 1);
    EXPECT_EQ(run.Out,
              "{\n"
              "  \"versionStamp\": 402915327,\n"
              "  \"renderWareVersion\": \"3.6.0.3\",\n"
              "  \"build\": 65535,\n"
              "  \"deviceId\": 2,\n"
              "  \"textures\": [\n"
              "    {\"name\": \"r\\\"i\\\\m\\t\\u0001é\", \"mask\": \"rim_a\", \"offset\": 28, \"platform\": 9, "
              "\"format\": \"DXT1\", \"width\": 4, \"height\": 4, \"depth\": 16, \"levels\": 3, "
              "\"rasterFormat\": 33280, \"d3dFormat\": 827611204, \"d3dFlags\": 9, \"alpha\": true, \"flags\": 4358, "
              "\"problem\": null},\n"
              "    {\"name\": \"\", \"mask\": \"\", \"offset\": 188, \"platform\": 3298128, \"format\": null, "
              "\"width\": 0, \"height\": 0, \"depth\": 0, \"levels\": 0, \"rasterFormat\": 0, \"d3dFormat\": 0, "
              "\"d3dFlags\": 0, "
              "\"alpha\": false, \"flags\": 0, \"problem\": \"Texture dictionary is not valid at byte 216 of 324: "
              "the texture is of platform 3298128 (0x00325350), not of Direct3D 8 (8) or Direct3D 9 (9)\"}\n"
              "  ]\n"
              "}\n");
    const std::string empty = dir.Write("empty.txd", test::Dictionary({}));
    EXPECT_EQ(Run({"inspect", "--json", empty}).Out,
              "{\n  \"versionStamp\": 201523199,\n  \"renderWareVersion\": \"3.3.0.2\",\n  \"build\": 65535,\n"
              "  \"deviceId\": 0,\n  \"textures\": []\n}\n");
}

TEST_F(CliTest, InspectReportsMalformedAndUnreadableFiles) {
    const std::string broken = dir.WriteText("broken.txd", std::string("\x16\0\0\0\xFF\0\0\0\xFF\xFF\x02\x0C", 12));
    const CliRun malformed = Run({"inspect", broken});
    EXPECT_EQ(malformed.ExitCode, 1);
    EXPECT_EQ(malformed.Err,
              "vellumcraft-cli: Texture dictionary is not valid at byte 12 of 12: the texture dictionary chunk "
              "declares 255 bytes but only 0 follow\n");
    const CliRun missing = Run({"inspect", dir.File("none.txd")});
    EXPECT_EQ(missing.ExitCode, 3);
    EXPECT_NE(missing.Err.find("none.txd"), std::string::npos);
}

}  // namespace
}  // namespace vc
