// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "ops/build_report.h"
#include "rw/txd_format.h"

namespace vc {
namespace {

// Every other size is checked by comparing built dictionaries byte for byte; the largest must not wrap.
TEST(TxdFormat, LargestTextureSizesDoNotWrap) {
    EXPECT_EQ(TextureNativeSizesFor(65535, 65535, 32).Raster, 65535ull * 65535ull * 4ull);
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
