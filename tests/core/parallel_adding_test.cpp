// SPDX-License-Identifier: GPL-3.0-or-later
// Adding files and importing lists on several workers must leave the list, the problem report and
// the progress exactly as one thread does, and fail at the same file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "image_files.h"
#include "image_set.h"
#include "io/error.h"
#include "ops/list_import.h"
#include "ops/workspace.h"
#include "temp_dir.h"

namespace vc {
namespace {

class ParallelAddingTest : public testing::Test {
  protected:
    struct Run {
        TextureList Entries;
        std::string Problems;
        std::vector<std::string> Progress;
        std::optional<std::string> Failure;

        bool operator==(const Run&) const = default;
    };
    Run Add(unsigned jobs, const std::vector<std::string>& paths) const {
        Workspace workspace;
        workspace.Jobs = jobs;
        Run run;
        try {
            AddFiles(workspace, paths, true, [&](size_t done, size_t total, std::string_view path) {
                run.Progress.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + std::string(path));
            });
        } catch (const Error& error) {
            run.Failure = error.what();
        }
        run.Entries = workspace.TexList;
        run.Problems = workspace.Intake.ProblemText;
        return run;
    }
    std::string Damaged(const std::string& name) const {
        std::vector<uint8_t> bytes = test::MakeJpeg(16, 16, test::JpegKind::Grey, [](int x, int y) {
            return RgbColour{0, static_cast<uint8_t>(x * y), 0};
        });
        bytes.resize(bytes.size() / 2);
        return dir.Write(name, bytes);
    }
    std::string Odd(const std::string& name) const {
        return dir.Write(name, test::MakeTrueColourBmp(12, 8, [](int, int) { return RgbColour{1, 2, 3}; }));
    }

    test::TempDir dir;
};

TEST_F(ParallelAddingTest, AnyNumberOfWorkersAddsWhatOneThreadAdds) {
    const std::vector<std::string> images = test::WriteImageSet(dir.File(""), 12, 16);
    // Paths given twice, blank and missing, and a list naming some of the images again, a refused
    // one, an alpha image of another size and an output key that cannot be read.
    const std::string list = dir.WriteText(
        "list.txt",
        "[TXDList]\r\ncount=5\r\n[Texture1]\r\npath=" + images[2] + "\r\n[Texture2]\r\npath=" + Odd("odd.bmp") +
            "\r\n[Texture3]\r\nname=other\r\npath=" + images[7] + "\r\nalpha=" + images[3] +
            "\r\n[Texture4]\r\nname=masked\r\npath=" + images[6] + "\r\nalphapath=" +
            dir.Write("tiny.bmp", test::MakePalettedBmp(4, 4, test::GreyPalette(2), [](int, int) { return 1; })) +
            "\r\n[Texture5]\r\nname=again\r\npath=" + images[9] + "\r\nformat=DXT9\r\n");
    std::vector<std::string> paths(images.begin(), images.begin() + 6);
    paths.insert(paths.end(), {images[0], dir.File("gone.bmp"), "  ", list, images[8], images[7], images[11]});
    paths.insert(paths.end(), {Odd("odd2.bmp"), images[10]});

    const Run single = Add(1, paths);
    ASSERT_EQ(single.Failure, std::nullopt);
    ASSERT_EQ(single.Entries.size(), 12u);
    ASSERT_NE(single.Problems.find("gone.bmp"), std::string::npos);
    ASSERT_NE(single.Problems.find("already exists"), std::string::npos);
    ASSERT_NE(single.Problems.find("alpha dismissed"), std::string::npos);
    ASSERT_NE(single.Problems.find("DXT9"), std::string::npos);
    for (const unsigned jobs : {2u, 3u, 7u}) {
        EXPECT_TRUE(Add(jobs, paths) == single) << jobs << " workers";
    }

    // A damaged image not yet listed ends the batch at its place.
    paths.insert(paths.begin() + 9, Damaged("damaged.jpg"));
    const Run failing = Add(1, paths);
    ASSERT_NE(failing.Failure, std::nullopt);
    ASSERT_EQ(failing.Entries.size(), 6u);
    for (const unsigned jobs : {2u, 3u}) {
        EXPECT_TRUE(Add(jobs, paths) == failing) << jobs << " workers";
    }
}

TEST_F(ParallelAddingTest, AListIsImportedTheSameOnAnyNumberOfWorkers) {
    const std::string list = test::WriteImageSetWithMasks(dir.File(""), 24, 16);
    const auto import = [&](unsigned jobs) {
        Workspace workspace;
        workspace.Jobs = jobs;
        std::vector<std::string> progress;
        const size_t added = ImportTextureList(workspace, list, true, [&](size_t done, size_t, std::string_view path) {
            progress.push_back(std::to_string(done) + std::string(path));
        });
        return std::tuple{added, workspace.TexList, workspace.Intake.ProblemText, progress};
    };
    const auto single = import(1);
    ASSERT_EQ(std::get<0>(single), 24u);
    EXPECT_EQ(import(2), single);
    EXPECT_EQ(import(4), single);
}

}  // namespace
}  // namespace vc
