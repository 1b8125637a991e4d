// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "image_files.h"
#include "io/error.h"
#include "pixels/image_decoder.h"
#include "thrown_error.h"

namespace vc {
namespace {

using test::ErrorText;
using test::JpegKind;
using test::MakeJpeg;

RgbColour Gradient(int x, int y) {
    return {static_cast<uint8_t>(x * 8), static_cast<uint8_t>(y * 8), static_cast<uint8_t>(128)};
}

TEST(JpegReader, ColourFileBecomesA24BitImageInBlueGreenRedAlphaOrder) {
    const std::vector<uint8_t> file = MakeJpeg(32, 16, JpegKind::Colour, Gradient);
    const auto decoder = OpenJpeg(file);
    EXPECT_EQ(decoder->Info().Width, 32u);
    EXPECT_EQ(decoder->Info().Height, 16u);
    EXPECT_EQ(decoder->Info().BitsPerPixel, 24);
    EXPECT_FALSE(decoder->Info().HasPalette);
    const DecodedPixels pixels = decoder->LoadPixels();
    ASSERT_EQ(pixels.Raster.size(), 32u * 16u * 4u);
    EXPECT_TRUE(pixels.Palette.empty());
    // The pixel at (20, 10): red 160, green 80, blue 128, within JPEG's loss.
    const uint8_t* pixel = &pixels.Raster[(10 * 32 + 20) * 4];
    EXPECT_NEAR(pixel[0], 128, 6);
    EXPECT_NEAR(pixel[1], 80, 6);
    EXPECT_NEAR(pixel[2], 160, 6);
    EXPECT_EQ(pixel[3], 255);
}

TEST(JpegReader, GreyFileIsQuantizedTo236GreyLevelsWithAPalette) {
    const std::vector<uint8_t> file = MakeJpeg(64, 64, JpegKind::Grey, [](int x, int y) {
        return RgbColour{0, static_cast<uint8_t>((x + y) * 2), 0};
    });
    const auto decoder = OpenJpeg(file);
    EXPECT_EQ(decoder->Info().BitsPerPixel, 8);
    EXPECT_TRUE(decoder->Info().HasPalette);
    const DecodedPixels pixels = decoder->LoadPixels();
    ASSERT_EQ(pixels.Palette.size(), 236u);
    EXPECT_EQ(pixels.Palette.front(), (RgbColour{0, 0, 0}));
    EXPECT_EQ(pixels.Palette.back(), (RgbColour{255, 255, 255}));
    for (const RgbColour& entry : pixels.Palette) {
        EXPECT_TRUE(entry.Red == entry.Green && entry.Green == entry.Blue);
    }
    ASSERT_EQ(pixels.Raster.size(), 64u * 64u);
    const int corner = pixels.Palette[pixels.Raster[63 * 64 + 63]].Green;
    EXPECT_NEAR(corner, 252, 6);
}

TEST(JpegReader, InkFileBecomesA24BitColourImage) {
    const std::vector<uint8_t> file = MakeJpeg(16, 16, JpegKind::Cmyk, [](int, int) {
        return RgbColour{200, 100, 50};
    });
    const auto decoder = OpenJpeg(file);
    EXPECT_EQ(decoder->Info().BitsPerPixel, 24);
    const DecodedPixels pixels = decoder->LoadPixels();
    ASSERT_EQ(pixels.Raster.size(), 16u * 16u * 4u);
    // libjpeg writes Adobe's inverted form, so no ink on any plate reads back as the colour itself.
    EXPECT_NEAR(pixels.Raster[0], 50, 4);
    EXPECT_NEAR(pixels.Raster[1], 100, 4);
    EXPECT_NEAR(pixels.Raster[2], 200, 4);
    EXPECT_EQ(pixels.Raster[3], 255);
}

TEST(JpegReader, ProgressiveFileDecodesLikeABaselineOne) {
    const std::vector<uint8_t> file = MakeJpeg(40, 24, JpegKind::ProgressiveColour, Gradient);
    const DecodedPixels pixels = OpenJpeg(file)->LoadPixels();
    ASSERT_EQ(pixels.Raster.size(), 40u * 24u * 4u);
    EXPECT_NEAR(pixels.Raster[(10 * 40 + 20) * 4 + 2], 160, 6);
}

TEST(JpegReader, TruncatedFileIsAnErrorNotAGreyTail) {
    std::vector<uint8_t> file = MakeJpeg(64, 64, JpegKind::Colour, Gradient, 100);
    file.resize(file.size() * 2 / 3);
    const auto decoder = OpenJpeg(file);
    EXPECT_EQ(ErrorText([&] { decoder->LoadPixels(); }), "Premature end of JPEG file");
    EXPECT_EQ(ErrorText([&] { decoder->Verify(); }), "Premature end of JPEG file");
}

TEST(JpegReader, DecoderErrorsCarryLibjpegsOwnMessage) {
    const std::vector<uint8_t> notJpeg = {'B', 'M', 0, 0, 0, 0};
    EXPECT_EQ(ErrorText([&] { OpenJpeg(notJpeg); }), "Not a JPEG file: starts with 0x42 0x4d");
    std::vector<uint8_t> headerOnly = MakeJpeg(8, 8, JpegKind::Colour, Gradient);
    headerOnly.resize(20);
    EXPECT_EQ(ErrorText([&] { OpenJpeg(headerOnly); }), "Premature end of JPEG file");
}

// An arithmetic-coded file that ends early decodes into a grey tail without a warning (a kept
// regression file shows it).
TEST(JpegReader, ArithmeticCodingIsRefusedBeforeItCanDecodeIntoAGreyTail) {
    const std::vector<uint8_t> arithmetic = MakeJpeg(8, 8, JpegKind::ArithmeticColour, Gradient);
    EXPECT_EQ(ErrorText([&] { OpenJpeg(arithmetic); }), "JPEG image uses arithmetic coding, which is not supported");
}

// A tiny file claiming a huge image fails on its missing data before anything large is held.
TEST(JpegReader, HugeClaimedSizeWithLittleDataFailsWithoutAHugeAllocation) {
    std::vector<uint8_t> file = MakeJpeg(8, 8, JpegKind::Colour, Gradient);
    // Patch the frame header (after FF C0 and its length) to 30000 × 30000.
    for (size_t i = 0; i + 8 < file.size(); ++i) {
        if (file[i] == 0xFF && file[i + 1] == 0xC0) {
            file[i + 5] = 0x75, file[i + 6] = 0x30, file[i + 7] = 0x75, file[i + 8] = 0x30;
            break;
        }
    }
    const auto decoder = OpenJpeg(file);
    EXPECT_EQ(decoder->Info().Width, 30000u);
    EXPECT_EQ(ErrorText([&] { decoder->LoadPixels(); }), "Corrupt JPEG data: premature end of data segment");
    EXPECT_EQ(ErrorText([&] { decoder->Verify(); }), "Corrupt JPEG data: premature end of data segment");
}

}  // namespace
}  // namespace vc
