// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "image_files.h"
#include "io/error.h"
#include "io/file_io.h"
#include "pixels/image_decoder.h"
#include "random_damage.h"
#include "thrown_error.h"

namespace vc {
namespace {

std::vector<uint8_t> Suite(const std::string& name) {
    return ReadWholeFile(std::string(BMPSUITE_DIR) + "/" + name);
}

DecodedPixels LoadSuite(const std::string& name) {
    const std::vector<uint8_t> file = Suite(name);
    return OpenBmp(file)->LoadPixels();
}

// Opens, verifies and, for paletted and 24-bit images, decodes: the whole path intake can take.
void ReadCompletely(std::span<const uint8_t> file) {
    const auto decoder = OpenBmp(file);
    decoder->Verify();
    const BitmapInfo& info = decoder->Info();
    if ((info.BitsPerPixel <= 8 || info.BitsPerPixel == 24) && info.Width > 0 && info.Height > 0) {
        decoder->LoadPixels();
    }
}

// Indices of 1, 2 and 4 bits come one a byte, the same whether stored plain or run-length encoded,
// and the same picture under another palette (black on green, not on white) gives the same indices.
TEST(BmpReader, IndicesOfFewerBitsComeOneAByte) {
    const std::vector<uint8_t> pal4 = LoadSuite("g/pal4.bmp").Raster;
    ASSERT_EQ(pal4.size(), size_t{127} * 64);
    EXPECT_EQ(LoadSuite("g/pal4rle.bmp").Raster, pal4);
    EXPECT_EQ(*std::max_element(pal4.begin(), pal4.end()), 11);
    const std::vector<uint8_t> pal1 = LoadSuite("g/pal1.bmp").Raster;
    EXPECT_EQ(LoadSuite("g/pal1bg.bmp").Raster, pal1);
    EXPECT_EQ(std::set<uint8_t>(pal1.begin(), pal1.end()), (std::set<uint8_t>{0, 1}));
    const std::vector<uint8_t> pal2 = LoadSuite("q/pal2.bmp").Raster;
    EXPECT_EQ(std::set<uint8_t>(pal2.begin(), pal2.end()), (std::set<uint8_t>{0, 1, 2, 3}));
}

TEST(BmpReader, ReportsSizeBitsAndPaletteOfEveryGoodForm) {
    struct Expected {
        std::string File;
        uint16_t Bits;
        bool HasPalette;
        size_t Entries;
    };
    const std::vector<Expected> cases = {
        {"g/pal1.bmp", 1, true, 2},
        {"g/pal4.bmp", 4, true, 12},
        {"g/pal4rle.bmp", 4, true, 12},
        {"g/pal8.bmp", 8, true, 252},
        {"g/pal8-0.bmp", 8, true, 256},
        {"g/pal8os2.bmp", 8, true, 256},
        {"g/pal8v5.bmp", 8, true, 252},
        {"g/rgb16.bmp", 16, false, 0},
        {"g/rgb16-565pal.bmp", 16, true, 256},
        {"g/rgb24.bmp", 24, false, 0},
        {"g/rgb24pal.bmp", 24, true, 256},
        {"g/rgb32bf.bmp", 32, false, 0},
        {"q/pal2.bmp", 2, true, 4},
        {"q/pal8oversizepal.bmp", 8, true, 256},
        {"q/rgba64.bmp", 64, false, 0},
        {"q/pal8os2sp.bmp", 8, true, 252},
    };
    for (const Expected& expected : cases) {
        SCOPED_TRACE(expected.File);
        const std::vector<uint8_t> file = Suite(expected.File);
        const auto decoder = OpenBmp(file);
        EXPECT_EQ(decoder->Info().Width, 127u);
        EXPECT_EQ(decoder->Info().Height, 64u);
        EXPECT_EQ(decoder->Info().BitsPerPixel, expected.Bits);
        EXPECT_EQ(decoder->Info().HasPalette, expected.HasPalette);
        EXPECT_EQ(decoder->Info().Palette.size(), expected.Entries);
        EXPECT_NO_THROW(decoder->Verify());
    }
}

TEST(BmpReader, EveryStorageFormOfTheSameImageDeliversTheSameRowsFromTheTop) {
    const DecodedPixels reference = LoadSuite("g/pal8.bmp");
    ASSERT_EQ(reference.Raster.size(), 127u * 64u);
    for (const char* name : {"g/pal8topdown.bmp", "g/pal8rle.bmp", "g/pal8v4.bmp", "g/pal8v5.bmp", "q/pal8offs.bmp",
                             "q/pal8os2v2-40sz.bmp"}) {
        SCOPED_TRACE(name);
        const DecodedPixels pixels = LoadSuite(name);
        EXPECT_EQ(pixels.Raster, reference.Raster);
        EXPECT_EQ(pixels.Palette, reference.Palette);
    }
    const DecodedPixels truecolour = LoadSuite("g/rgb24.bmp");
    ASSERT_EQ(truecolour.Raster.size(), 127u * 64u * 4u);
    EXPECT_EQ(LoadSuite("g/rgb24pal.bmp").Raster, truecolour.Raster);
}

TEST(BmpReader, AlphaMasksInEveryHeaderFormGiveTheSamePictureAndItsAlpha) {
    const DecodedPixels reference = LoadSuite("q/rgba32-1.bmp");
    ASSERT_EQ(reference.Alpha.size(), 127u * 64u);
    EXPECT_NE(std::count(reference.Alpha.begin(), reference.Alpha.end(), reference.Alpha[0]), 127 * 64);
    for (size_t i = 3; i < reference.Raster.size(); i += 4) {
        ASSERT_EQ(reference.Raster[i], 255) << "pixel " << i / 4;
    }
    // Channels in another order, the masks after a 40-byte header, and a 56-byte header.
    for (const char* name : {"q/rgba32-2.bmp", "q/rgba32abf.bmp", "q/rgba32h56.bmp"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = Suite(name);
        EXPECT_TRUE(OpenBmp(file)->Info().HasAlpha);
        const DecodedPixels pixels = LoadSuite(name);
        EXPECT_EQ(pixels.Raster, reference.Raster);
        EXPECT_EQ(pixels.Alpha, reference.Alpha);
    }
    // Channels of other widths are scaled to eight bits: four alpha bits come within 9 levels.
    const DecodedPixels narrow = LoadSuite("q/rgba32-81284.bmp");
    for (size_t i = 0; i < reference.Alpha.size(); ++i) {
        ASSERT_NEAR(narrow.Alpha[i], reference.Alpha[i], 9) << "pixel " << i;
    }
    // Without an alpha mask a 32-bit bitmap carries no alpha and is not decoded.
    const std::vector<uint8_t> opaque = Suite("g/rgb32bf.bmp");
    EXPECT_FALSE(OpenBmp(opaque)->Info().HasAlpha);
    EXPECT_EQ(test::ErrorText([&] { OpenBmp(opaque)->LoadPixels(); }),
              "Bitmap image with 32 bits per pixel cannot be loaded");
}

TEST(BmpReader, DecodesRowsTopDownInBlueGreenRedAlphaOrder) {
    for (const int height : {2, -2}) {
        test::BmpFields fields{.Width = 2, .Height = height, .BitsPerPixel = 24};
        // top row: red, green; bottom row: blue, white
        fields.Pixels = {0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255};
        const std::vector<uint8_t> file = test::MakeBmp(fields);
        const std::vector<uint8_t> expected = {0, 0, 255, 255, 0, 255, 0, 255, 255, 0, 0, 255, 255, 255, 255, 255};
        EXPECT_EQ(OpenBmp(file)->LoadPixels().Raster, expected) << "height " << height;
    }
}

TEST(BmpReader, ReadsTheOs2HeaderWithThreeByteColourEntries) {
    const test::BmpFields fields{
        .Width = 4, .Height = 1, .HeaderSize = 12, .Palette = {{10, 20, 30}, {40, 50, 60}}, .Pixels = {1, 0, 1, 1}};
    const std::vector<uint8_t> file = test::MakeBmp(fields);
    const auto decoder = OpenBmp(file);
    const DecodedPixels pixels = decoder->LoadPixels();
    EXPECT_EQ(pixels.Raster, fields.Pixels);
    ASSERT_EQ(pixels.Palette.size(), 2u);  // the table declares 256; the file holds two
    EXPECT_EQ(pixels.Palette[1], (RgbColour{40, 50, 60}));
}

TEST(BmpReader, HeadersAndFileSizeTellWhatTheWholeFileTells) {
    for (const char* name : {"g/pal8.bmp", "g/pal8os2.bmp", "g/rgb24pal.bmp", "g/pal4rle.bmp", "q/pal8offs.bmp",
                             "q/pal8oversizepal.bmp", "g/rgb16-565pal.bmp"}) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = Suite(name);
        const std::span<const uint8_t> start = std::span(file).first(std::min(file.size(), kBmpHeadersSize));
        const auto whole = OpenBmp(file);
        const auto headers = OpenBmpHeaders(start, file.size());
        EXPECT_EQ(headers->Info().Width, whole->Info().Width);
        EXPECT_EQ(headers->Info().BitsPerPixel, whole->Info().BitsPerPixel);
        EXPECT_EQ(headers->Info().HasPalette, whole->Info().HasPalette);
        EXPECT_EQ(headers->Info().Palette, whole->Info().Palette);
        // Pixels come only from a start that holds the whole file.
        if (start.size() < file.size()) {
            EXPECT_THROW(headers->LoadPixels(), Error);
        } else {
            EXPECT_EQ(headers->LoadPixels().Raster, whole->LoadPixels().Raster);
        }
    }
    const std::vector<uint8_t> shortFile = Suite("b/shortfile.bmp");
    EXPECT_THROW(OpenBmpHeaders(shortFile, shortFile.size()), Error);
    std::vector<uint8_t> cut = Suite("g/pal8.bmp");
    cut.resize(5000);
    EXPECT_THROW(OpenBmpHeaders(std::span(cut).first(kBmpHeadersSize), cut.size()), Error);
}

TEST(BmpReader, BadFilesThrowAClearMessage) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"b/badbitcount.bmp", "30000 bits per pixel are not supported"},
        {"b/badheadersize.bmp", "header size 66"},
        {"b/badplanes.bmp", "number of planes"},
        {"b/badwidth.bmp", "width -127 is negative"},
        {"b/reallybig.bmp", "pixel data ends at byte"},
        {"b/rletopdown.bmp", "top-down"},
        {"b/shortfile.bmp", "pixel data ends at byte 1086 but the file has 273 bytes"},
        {"b/badrle.bmp", "outside the 127×64 image"},
        {"b/badrle4.bmp", "outside the 127×64 image"},
        {"x/ba-bm.bmp", "signature \"BM\""},
        {"q/rgb24jpeg.bmp", "compression method 4"},
    };
    for (const auto& [name, reason] : cases) {
        SCOPED_TRACE(name);
        const std::vector<uint8_t> file = Suite(name);
        const std::string error = test::ErrorText([&] { ReadCompletely(file); });
        EXPECT_NE(error.find(reason), std::string::npos) << error;
        EXPECT_EQ(error.rfind("Bitmap image is not valid", 0), 0u) << error;
    }
}

// Every good file of the suite is read; the others are read or refused, and some are refused.
TEST(BmpReader, NoFileOfTheSuiteEndsOtherwiseThanReadOrError) {
    size_t read = 0;
    size_t refused = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(BMPSUITE_DIR)) {
        if (entry.path().extension() != ".bmp") {
            continue;
        }
        SCOPED_TRACE(entry.path().string());
        const bool good = entry.path().parent_path().filename() == "g";
        const std::vector<uint8_t> file = ReadWholeFile(entry.path().string());
        try {
            ReadCompletely(file);
            ++read;
        } catch (const Error& error) {
            ++refused;
            EXPECT_FALSE(good) << error.what();
        }
    }
    EXPECT_GT(read, 0u);
    EXPECT_GT(refused, 0u);
}

TEST(BmpReader, RunLengthDataClaimingFarMorePixelsThanItCanHoldIsRefusedUnread) {
    std::vector<uint8_t> file = Suite("g/pal8rle.bmp");
    file[18] = 0xFF, file[19] = 0xFF, file[20] = 0;  // width 65535
    file[22] = 0xFF, file[23] = 0xFF, file[24] = 0;  // height 65535
    EXPECT_THROW(OpenBmp(file), Error);
}

// Damaged headers and data must end in a result or an Error: never a crash, an overread or a
// runaway allocation (the sanitizer build checks the first two). Both ends must occur, or the
// damage proved nothing about one of them.
TEST(BmpReader, RandomlyDamagedFilesFailCleanly) {
    std::mt19937 random(20261207);
    size_t read = 0;
    size_t refused = 0;
    for (const char* name :
         {"g/pal8.bmp", "g/pal8rle.bmp", "g/pal4rle.bmp", "g/rgb24.bmp", "g/pal8os2.bmp", "g/pal8v5.bmp"}) {
        const std::vector<uint8_t> original = Suite(name);
        // Mostly the headers and colour table, sometimes anywhere.
        const test::DamageOutcome outcome = test::ReadDamagedCopies(random, original, 400, 4, ReadCompletely, 160);
        read += outcome.Read;
        refused += outcome.Refused;
    }
    EXPECT_GT(read, 0u) << refused << " refused";
    EXPECT_GT(refused, 0u) << read << " read";
}

}  // namespace
}  // namespace vc
