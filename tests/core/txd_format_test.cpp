#include <gtest/gtest.h>

#include "txd/build_report.h"
#include "txd/grey_level.h"
#include "txd/txd_format.h"

namespace vc {
namespace {

TEST(TxdFormat, ChunkHeaderIsTypeSizeAndStampLittleEndian) {
    const ChunkHeaderBytes expected = {0x16, 0, 0, 0, 0xB8, 0x14, 0, 0, 0xFF, 0xFF, 0x02, 0x0C};
    EXPECT_EQ(MakeChunkHeader(ChunkType::TextureDictionary, 5304, VersionStamp(1)), expected);
}

TEST(TxdFormat, VersionAndFlagTablesHoldTheThreeChoicesEach) {
    EXPECT_EQ(VersionStamp(0), 0x0800FFFFu);
    EXPECT_EQ(VersionStamp(1), 0x0C02FFFFu);
    EXPECT_EQ(VersionStamp(2), 0x1003FFFFu);
    EXPECT_EQ(TextureFlag(0), 0x1101u);
    EXPECT_EQ(TextureFlag(1), 0x1102u);
    EXPECT_EQ(TextureFlag(2), 0x1106u);
    EXPECT_THROW(TextureFlag(3), std::out_of_range);
    EXPECT_THROW(VersionStamp(3), std::out_of_range);
}

TEST(TxdFormat, RasterFormatAndSizesFollowDepthAndAlpha) {
    EXPECT_EQ(RasterFormat(8, false), 0x2600u);
    EXPECT_EQ(RasterFormat(8, true), 0x2500u);
    EXPECT_EQ(RasterFormat(32, false), 0x0600u);
    EXPECT_EQ(RasterFormat(32, true), 0x0500u);
    const TextureNativeSizes paletted = TextureNativeSizesFor(64, 64, 8);
    EXPECT_EQ(paletted.Raster, 4096u);
    EXPECT_EQ(paletted.DataContent, 5212u);
    EXPECT_EQ(paletted.Content, 5236u);
    const TextureNativeSizes truecolour = TextureNativeSizesFor(4, 4, 32);
    EXPECT_EQ(truecolour.DataContent, 156u);
    EXPECT_EQ(truecolour.Content, 180u);
    // The largest texture's sizes do not wrap.
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
