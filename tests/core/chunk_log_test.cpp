// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <string>

#include "io/local_date_time.h"
#include "model_chunks.h"
#include "rw/chunk_log.h"
#include "rw/chunk_names.h"
#include "rw/chunk_walk.h"
#include "scoped_environment.h"
#include "temp_dir.h"

namespace vc {
namespace {

using test::Bytes;
using test::Chunk;
using test::Header;
using test::Join;
using test::Texture;

std::string LogOf(const Bytes& model, std::string_view path = "C:\\models\\car.dff") {
    ChunkLog log("07.12.2026 20:23:04", path, model.size(), NumberFormat{});
    const ModelScan scan = ScanModel(model, &log);
    log.AppendixLine(static_cast<int64_t>(model.size()) - static_cast<int64_t>(scan.EndPosition));
    return log.Text();
}

TEST(ChunkLog, ListsEveryChunkReadWithItsNamesAndTheAppendix) {
    const Bytes model =
        Chunk(16, Join({Chunk(1, Bytes(4)), Chunk(7, Texture({"wheel", ""})), Chunk(0x1234, Bytes(8), 0x0800FFFF)}));
    EXPECT_EQ(LogOf(model),
              "Created on 07.12.2026 20:23:04 by Vellumcraft 1.1\r\n"
              "\r\n"
              "CAR.DFF (136 Bytes / 0.13 KB)\r\n"
              "  :\r\n"
              "  :. Clump [16] (size: 124; offset: 12)\r\n"
              "  :    :. Data [1] (size: 4; offset: 24)\r\n"
              "  :    :. Material [7] (size: 76; offset: 40)\r\n"
              "  :    :    :. Texture [6] (size: 64; offset: 52)\r\n"
              "  :    :    :    :. Data [1] (size: 4; offset: 64)\r\n"
              "  :    :    :    :. String [2] (size: 8; offset: 80)\r\n"
              "  :    :    :    :    :. > wheel\r\n"
              "  :    :    :    :. String [2] (size: 4; offset: 100)\r\n"
              "  :    :    :    :    :. > \r\n"
              "  :    :    :    :. Extension [3] (size: 0; offset: 116)\r\n"
              "  :    :. UNKNOWN [4660] (size: 8; offset: 128) - ERROR!\r\n"
              "  :. Appendix (size: 0)\r\n");
}

// The textures of a San Andreas object's breakable pieces are named under its chunk, as a
// texture's names are.
TEST(ChunkLog, NamesTheTexturesOfBreakablePieces) {
    const Bytes model = Chunk(16, Chunk(0x0253F2FD, test::BreakablePayload({{"glass", "glassm"}, {"frame", ""}})));
    const std::string log = LogOf(model);
    EXPECT_NE(log.find("  :    :. UNKNOWN [39056125] (size: 288; offset: 24)\r\n"
                       "  :    :    :. > glass\r\n"
                       "  :    :    :. > glassm\r\n"
                       "  :    :    :. > frame\r\n"
                       "  :. Appendix"),
              std::string::npos)
        << log;
}

TEST(ChunkLog, AppendixCountsWhatFollowsTheFirstChunkAndGoesNegativeWhenItOverruns) {
    const Bytes chunk = Chunk(16, Bytes(8));
    EXPECT_NE(LogOf(Join({chunk, Bytes(5)})).find("  :. Appendix (size: 5)\r\n"), std::string::npos);
    EXPECT_NE(LogOf(Header(16, 100)).find("  :. Appendix (size: -100)\r\n"), std::string::npos);
    EXPECT_NE(LogOf(Bytes(7)).find("Bytes / 0.01 KB)\r\n  :\r\n  :. Appendix (size: 7)\r\n"), std::string::npos);
}

TEST(ChunkLog, SizeLineUsesThePatternWithOneOrTwoDecimals) {
    const auto sizeLine = [](uint64_t size) {
        const std::string text = ChunkLog("now", "/m/Car.Dff", size, NumberFormat{}).Text();
        return text.substr(text.find("CAR.DFF"), text.find(")\r\n  :") - text.find("CAR.DFF") + 1);
    };
    EXPECT_EQ(sizeLine(1536), "CAR.DFF (1536 Bytes / 1.5 KB)");
    EXPECT_EQ(sizeLine(1000), "CAR.DFF (1000 Bytes / 0.98 KB)");
    EXPECT_EQ(sizeLine(2048), "CAR.DFF (2048 Bytes / 2.0 KB)");
    const std::string german = ChunkLog("now", "x.dff", 1536, NumberFormat{".", ","}).Text();
    EXPECT_NE(german.find("(1536 Bytes / 1,5 KB)"), std::string::npos);
}

TEST(ChunkLog, MarksChunksThatAreTooDeepToEnter) {
    Bytes nested = Texture({"deep"});
    for (int level = 0; level < 15; ++level) {
        nested = Chunk(3, nested);
    }
    const std::string log = LogOf(nested);
    // The fifteenth Extension stands at depth 14: its children would need a sixteenth level.
    EXPECT_NE(log.find(LogIndent(14) + "Extension [3] (size: 60; offset: 180) - TOO DEEP, not read\r\n"),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Texture [6]"), std::string::npos);
}

TEST(ChunkLog, IsSavedInWindows1252) {
    const test::TempDir dir;
    ChunkLog log("now", "/m/x.dff", 0, NumberFormat{});
    log.NameLine(0, "café");
    log.Save(dir.File("log.txt"));
    EXPECT_NE(test::ReadText(dir.File("log.txt")).find("> caf\xE9\r\n"), std::string::npos);
}

TEST(ChunkLog, LocalTimeFollowsTheLocaleShortDateAndLongTime) {
    test::ScopedEnvironment zone("TZ", "UTC");
    ::tzset();
    const auto when = std::chrono::system_clock::from_time_t(1796674984);  // 2026-12-07 20:23:04 UTC
#ifdef _WIN32
    EXPECT_EQ(LocalDateTimeText(when, L"en-US"), "12/7/2026 8:23:04 PM");
    // Windows writes the German day and month with two digits, Wine with as many as they need.
    const std::string german = LocalDateTimeText(when, L"de-DE");
    EXPECT_TRUE(std::regex_match(german, std::regex(R"(0?7\.12\.2026 20:23:04)"))) << german;
#else
    test::ScopedEnvironment locale("LC_ALL", "C");
    EXPECT_EQ(LocalDateTimeText(when), "12/07/26 20:23:04");
#endif
}

}  // namespace
}  // namespace vc
