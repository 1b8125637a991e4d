#include <gtest/gtest.h>

#include "txd/build_report.h"
#include "txd/grey_level.h"
#include "txd/txd_format.h"

namespace vc {
namespace {

// Every other size is checked by comparing built dictionaries byte for byte; the largest must not wrap.
TEST(TxdFormat, LargestTextureSizesDoNotWrap) {
    EXPECT_EQ(TextureNativeSizesFor(65535, 65535, 32).Raster, 65535ull * 65535ull * 4ull);
}

TEST(GreyLevel, WeighsRedGreenBlueInEitherByteOrder) {
    EXPECT_EQ(GreyLevel(0x00FFFFFF, ColourOrder::Palette), 255);
    EXPECT_EQ(GreyLevel(0xFF000000, ColourOrder::Pixel), 0);    // alpha is ignored
    EXPECT_EQ(GreyLevel(0x0000000A, ColourOrder::Palette), 3);  // red 10
    EXPECT_EQ(GreyLevel(0x0000000A, ColourOrder::Pixel), 1);    // blue 10
    EXPECT_EQ(GreyLevel(0x00003200, ColourOrder::Pixel), 30);   // green 50
    // 0.3 × 5 = 1.5: halves round up.
    EXPECT_EQ(GreyLevel(0x00000005, ColourOrder::Palette), 2);
    // 0.3 × 200 + 0.6 × 100 + 0.1 × 50 = 125
    EXPECT_EQ(GreyLevel(0x003264C8, ColourOrder::Palette), 125);
    EXPECT_EQ(GreyLevel(0x00C86432, ColourOrder::Pixel), 125);
}

TEST(BuildReport, KilobytesUseGroupingAndAtMostTwoDecimals) {
    const NumberFormat plain;
    EXPECT_EQ(FormatKilobytes(2560040, plain), "2,500.04");
    EXPECT_EQ(FormatKilobytes(5316, plain), "5.19");
    EXPECT_EQ(FormatKilobytes(1024, plain), "1");
    EXPECT_EQ(FormatKilobytes(1536, plain), "1.5");
    EXPECT_EQ(FormatKilobytes(0, plain), "0");
    EXPECT_EQ(FormatKilobytes(260, plain), "0.25");
    EXPECT_EQ(FormatKilobytes(1234567890, plain), "1,205,632.71");
    EXPECT_EQ(FormatKilobytes(1234567890, NumberFormat{.GroupSeparator = ".", .DecimalSeparator = ","}),
              "1.205.632,71");
}

TEST(BuildReport, ResultTextNamesCountsFileAndSize) {
    EXPECT_EQ(BuildResultText(2, 3, "cars.txd", 5316, NumberFormat{}),
              "2 of 3 textures assembled sucessfully to cars.txd!\r\nSize of file: 5.19 KB");
}

}  // namespace
}  // namespace vc
