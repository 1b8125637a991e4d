// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cli_fixture.h"
#include "img_files.h"
#include "io/file_io.h"

namespace vc {
namespace {

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size()) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// Every file under a folder by its path there, with its contents, which name the folder as OUT.
std::map<std::string, std::string> FilesUnder(const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& file : std::filesystem::recursive_directory_iterator(ToFsPath(folder))) {
        if (file.is_regular_file()) {
            files[file.path().lexically_relative(ToFsPath(folder)).generic_string()] =
                Replaced(test::ReadText(FromFsPath(file.path())), folder, "OUT");
        }
    }
    return files;
}

// A terminal's stderr without the progress line's writes: what is left is what a file would get.
std::string WithoutProgress(const std::string& err, const std::string& command) {
    constexpr std::string_view kClearLine = "\r\x1B[K";
    std::string kept;
    size_t at = 0;
    for (size_t clear; (clear = err.find(kClearLine, at)) != std::string::npos;) {
        kept += err.substr(at, clear - at);
        at = clear + kClearLine.size();
        if (err.compare(at, command.size() + 1, command + " ") == 0) {
            at = std::min(err.find_first_of("\r\n", at), err.size());
        }
    }
    return kept + err.substr(at);
}

// A batch over an archive's dictionaries (a damaged one among them) says and writes the same for any
// number of jobs, reports the damaged one and does the others, and on a terminal shows its
// progress on stderr only.
TEST_F(CliTest, BatchesOfAnArchivesDictionariesAreTheSameForAnyNumberOfJobs) {
    std::vector<test::ImgFile> entries;
    for (int i = 0; i < 6; ++i) {
        const std::string name = "car" + std::to_string(i) + ".txd";
        const CliRun built = Run({"build", "-o", dir.File(name), Image("wheel.bmp", 4 << i % 3, 4),
                                  Image("rim" + std::to_string(i) + ".bmp", 8, 4 << i % 2)});
        ASSERT_EQ(built.ExitCode, 0) << built.Err;
        entries.push_back({name, test::ReadBytes(dir.File(name))});
    }
    entries.insert(entries.begin() + 3, {"broken.txd", test::Bytes(100, 0x33)});
    const std::string archive = dir.Write("gta3.img", test::MakeImgArchive(ImgVersion::V2, entries).Img);

    const struct {
        std::vector<std::string> Arguments;  // OUT stands for the run's own folder
        int ExitCode;
    } batches[] = {
        {{"extract", archive + ":*.txd", "-o", "OUT"}, 1},
        {{"inspect", archive + ":*.txd"}, 1},
        {{"inspect", "--json", archive + ":*.txd"}, 1},
        {{"verify", archive + ":*.txd"}, 1},
    };
    for (const auto& batch : batches) {
        const std::string& command = batch.Arguments[0];
        SCOPED_TRACE(batch.Arguments[1]);
        const auto runWith = [&](const std::string& jobs, bool terminal) {
            std::vector<std::string> arguments;
            for (const std::string& argument : batch.Arguments) {
                arguments.push_back(argument == "OUT" ? dir.File("out-" + command + jobs) : argument);
            }
            arguments.insert(arguments.end(), {"--jobs", jobs});
            return Run(arguments, terminal);
        };
        const CliRun single = runWith("1", false);
        EXPECT_EQ(single.ExitCode, batch.ExitCode) << single.Err;
        EXPECT_NE((single.Out + single.Err).find("broken.txd"), std::string::npos) << single.Out << single.Err;
        EXPECT_EQ(single.Err.find('\r'), std::string::npos);
        for (const std::string jobs : {"2", "3"}) {
            const CliRun parallel = runWith(jobs, jobs == "3");
            EXPECT_EQ(parallel.ExitCode, single.ExitCode) << jobs;
            EXPECT_EQ(Replaced(parallel.Out, "out-extract" + jobs, "out-extract1"), single.Out) << jobs;
            EXPECT_EQ(WithoutProgress(parallel.Err, command), single.Err) << jobs;
            if (command == "extract") {
                EXPECT_TRUE(FilesUnder(dir.File("out-extract" + jobs)) == FilesUnder(dir.File("out-extract1")));
            }
        }
        const CliRun terminal = runWith("2", true);
        EXPECT_NE(terminal.Err.find("\r\x1B[K" + command + " 0/7 " + archive + ":car0.txd"), std::string::npos)
            << terminal.Err;
        EXPECT_EQ(terminal.Err.substr(terminal.Err.size() - 4), "\r\x1B[K") << "the line is gone at the end";
    }
    // Six folders of six good dictionaries, each with its images and a list named after the entry.
    const std::map<std::string, std::string> extracted = FilesUnder(dir.File("out-extract1"));
    EXPECT_EQ(extracted.size(), 6u * 3);
    EXPECT_TRUE(extracted.contains("car5/car5.txt"));
}

// Two dictionaries that would be taken apart into one folder are refused before either is.
TEST_F(CliTest, ExtractRefusesTwoDictionariesForOneFolder) {
    ASSERT_EQ(Run({"build", "-o", dir.File("car.txd"), Image("wheel.bmp", 4, 4)}).ExitCode, 0);
    std::filesystem::create_directory(ToFsPath(dir.File("other")));
    std::filesystem::copy_file(ToFsPath(dir.File("car.txd")), ToFsPath(dir.File("other/CAR.txd")));
    const CliRun run = Run({"extract", dir.File("car.txd"), dir.File("other/CAR.txd"), "-o", dir.File("out")});
    EXPECT_EQ(run.ExitCode, 2);
    EXPECT_EQ(run.Err.find("vellumcraft-cli: two of the dictionaries would be extracted into " + dir.File("out/CAR")),
              0u)
        << run.Err;
    EXPECT_FALSE(std::filesystem::exists(ToFsPath(dir.File("out"))));
    // Beside themselves they go into folders of their own.
    EXPECT_EQ(Run({"extract", dir.File("car.txd"), dir.File("other/CAR.txd")}).ExitCode, 0);
    EXPECT_TRUE(std::filesystem::exists(ToFsPath(dir.File("other/CAR/wheel.bmp"))));
}

// A dictionary that cannot be put in place (a folder holds its name) is reported as not written,
// and the folders after it are built, for any number of jobs.
TEST_F(CliTest, BuildTreeReportsADictionaryThatCannotBePutInPlace) {
    for (const char* folder : {"src/a", "src/b", "src/c"}) {
        std::filesystem::create_directories(ToFsPath(dir.File(folder)));
        Image(std::string(folder) + "/wheel.bmp", 4, 4);
    }
    for (const std::string jobs : {"1", "2"}) {
        std::filesystem::create_directories(ToFsPath(dir.File("out" + jobs + "/b.txd/taken")));
        const CliRun run = Run({"build-tree", dir.File("src"), "-o", dir.File("out" + jobs), "--jobs", jobs});
        EXPECT_EQ(run.ExitCode, 1) << jobs;
        EXPECT_EQ(run.Out,
                  "a: 1 of 1 textures assembled sucessfully to a.txd!\nSize of file: 1.21 KB\n"
                  "b: not written\n"
                  "c: 1 of 1 textures assembled sucessfully to c.txd!\nSize of file: 1.21 KB\n"
                  "2 of 3 folders built into " +
                      dir.File("out" + jobs) + "; 1 with inputs refused or left out\n")
            << jobs;
        EXPECT_EQ(run.Err.rfind("vellumcraft-cli: b: Cannot replace file", 0), 0u) << run.Err;
        EXPECT_TRUE(std::filesystem::exists(ToFsPath(dir.File("out" + jobs + "/c.txd"))));
        // Nothing is left beside the folder that took the name.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ToFsPath(dir.File("out" + jobs))),
                                std::filesystem::directory_iterator()),
                  3);
    }
}

// img extract on a terminal shows its progress on stderr and takes it away before a bad entry is
// named; stdout and what stderr says besides are as without a terminal.
TEST_F(CliTest, ImgExtractShowsItsProgressOnATerminalOnly) {
    const std::string archive = dir.Write(
        "gta3.img",
        test::MakeImgArchive(ImgVersion::V2, {{"car.txd", test::Bytes(10, 1)}, {"bus.txd", test::Bytes(10, 2)}}).Img);
    // A third record that lies past the archive's end.
    test::Bytes img = test::ReadBytes(archive);
    img[4] = 3;
    const test::Bytes bad = test::ImgRecordBytes(ImgVersion::V2, {"far.txd", 400, 1});
    std::copy(bad.begin(), bad.end(), img.begin() + 8 + 2 * 32);
    dir.Write("gta3.img", img);
    const CliRun plain = Run({"img", "extract", archive, "-o", dir.File("plain")});
    const CliRun terminal = Run({"img", "extract", archive, "-o", dir.File("plain")}, true);
    EXPECT_EQ(plain.ExitCode, 1);
    EXPECT_EQ(terminal.ExitCode, 1);
    EXPECT_EQ(terminal.Out, plain.Out);
    EXPECT_EQ(plain.Err.find('\r'), std::string::npos);
    EXPECT_NE(plain.Err.find("far.txd"), std::string::npos) << plain.Err;
    EXPECT_EQ(WithoutProgress(terminal.Err, "img extract"), plain.Err);
    EXPECT_NE(terminal.Err.find("\r\x1B[Kimg extract 1/3 bus.txd\r\x1B[K"), std::string::npos) << terminal.Err;
}

}  // namespace
}  // namespace vc
