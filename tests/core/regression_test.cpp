// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "io/error.h"
#include "io/file_io.h"
#include "io/number_format.h"
#include "ops/txd_extraction.h"
#include "pixels/image_decoder.h"
#include "rw/chunk_log.h"
#include "rw/chunk_walk.h"
#include "texlist/texture_list_file.h"

// Every file in tests/regress once broke a reader. Each is read again here by the reader it broke,
// and must give the outcome it gives since the fix. A file is named after the fuzz target of its
// reader, so that it also seeds that target.

namespace vc {
namespace {

enum class Reader { Bmp, Jpeg, List, Model, Dictionary };

struct Regression {
    std::string_view File;
    Reader Reads;
    std::string_view Outcome;  // the error message, or what was read
    std::string_view Fixed;    // what the file did before
};

// clang-format off
const Regression kRegressions[] = {
    {"jpeg-arithmetic-grey-tail.jpg", Reader::Jpeg,
     "JPEG image uses arithmetic coding, which is not supported",
     "104 arithmetic-coded bytes claiming 65288 × 65281 pixels decoded into gigabytes of grey (found by fuzzing)"},
    {"list-huge-count-few-sections.txt", Reader::List,
     "1 sections listed",
     "a count of 99999999 with one section made the import look up every number up to it, for minutes "
     "(found by fuzzing)"},
    {"dff-overlapping-chunks.dff", Reader::Model,
     "0 textures, walk stopped",
     "chunks overrunning their parents made every level read the same headers again: these 25 headers were "
     "read 6,600 times, and a few kilobytes like them never finished"},
    {"txd-more-levels-than-the-chain.txd", Reader::Dictionary,
     "12 textures, 7 extracted",
     "a 6 × 4 texture with 4 levels among them was read, and extraction's DDS writer refused it with an exception no "
     "caller expected, which ended the program (found by fuzzing)"},
};
// clang-format on

std::string_view FuzzTarget(Reader reader) {
    switch (reader) {
        case Reader::Bmp:
            return "bmp";
        case Reader::Jpeg:
            return "jpeg";
        case Reader::List:
            return "list";
        case Reader::Model:
            return "dff";
        case Reader::Dictionary:
            return "txd";
    }
    return {};
}

// Reads an image the whole way intake can: headers, the integrity pass, and the pixels.
std::string ImageOutcome(std::unique_ptr<ImageDecoder> (*open)(std::span<const uint8_t>),
                         const std::vector<uint8_t>& file) {
    const auto decoder = open(file);
    decoder->Verify();
    const BitmapInfo& info = decoder->Info();
    if ((info.BitsPerPixel <= 8 || info.BitsPerPixel == 24) && info.Width > 0 && info.Height > 0) {
        decoder->LoadPixels();
    }
    return std::to_string(info.Width) + "×" + std::to_string(info.Height) + ", " + std::to_string(info.BitsPerPixel) +
           " bits";
}

std::string ModelOutcome(const std::vector<uint8_t>& model) {
    ChunkLog log("now", "regression.dff", model.size(), NumberFormat{});
    const ModelScan scan = ScanModel(model, &log);
    const bool stopped = log.Text().find("Walk stopped") != std::string::npos;
    return std::to_string(scan.ScanList.size()) + " textures" + (stopped ? ", walk stopped" : "");
}

// Reads a dictionary and takes it apart, as opening it does, keeping none of the files.
std::string DictionaryOutcome(const std::vector<uint8_t>& dictionary) {
    class Discard final : public ExtractionSink {
        void Write(std::string_view, std::span<const uint8_t>) override {}
    } discard;
    const ExtractionResult result = ExtractTxd(dictionary, "regression", "/extracted", discard);
    return std::to_string(result.Textures.size()) + " textures, " +
           std::to_string(result.Textures.size() - result.Failed) + " extracted";
}

// What the reader made of the file, as one line.
std::string Outcome(Reader reader, const std::string& path) {
    try {
        switch (reader) {
            case Reader::Bmp:
                return ImageOutcome(OpenBmp, ReadWholeFile(path));
            case Reader::Jpeg:
                return ImageOutcome(OpenJpeg, ReadWholeFile(path));
            case Reader::List:
                return std::to_string(ParseTextureList(ReadWholeFile(path)).size()) + " sections listed";
            case Reader::Model:
                return ModelOutcome(ReadWholeFile(path));
            case Reader::Dictionary:
                return DictionaryOutcome(ReadWholeFile(path));
        }
    } catch (const Error& error) {
        return error.what();
    }
    return {};
}

std::string RegressPath(std::string_view file) {
    return std::string(VELLUMCRAFT_REGRESS_DIR) + "/" + std::string(file);
}

TEST(Regressions, EveryKeptFileGivesTheOutcomeItGivesSinceItsFix) {
    for (const Regression& regression : kRegressions) {
        SCOPED_TRACE(std::string(regression.File) + ": " + std::string(regression.Fixed));
        EXPECT_EQ(Outcome(regression.Reads, RegressPath(regression.File)), regression.Outcome);
    }
}

// A file without a row would be kept but never read; its name must also lead it to its fuzz target.
TEST(Regressions, EveryFileHasARowAndIsNamedForItsFuzzTarget) {
    std::set<std::string> rows;
    for (const Regression& regression : kRegressions) {
        rows.insert(std::string(regression.File));
        EXPECT_TRUE(regression.File.starts_with(std::string(FuzzTarget(regression.Reads)) + "-")) << regression.File;
        EXPECT_TRUE(std::filesystem::is_regular_file(RegressPath(regression.File))) << regression.File;
    }
    for (const auto& entry : std::filesystem::directory_iterator(VELLUMCRAFT_REGRESS_DIR)) {
        EXPECT_EQ(rows.count(entry.path().filename().string()), 1u) << entry.path() << " has no row";
    }
}

}  // namespace
}  // namespace vc
