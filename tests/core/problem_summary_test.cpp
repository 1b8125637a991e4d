// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "texlist/problem_summary.h"

namespace vc {
namespace {

std::string Blocks(size_t count, const std::string& reasons) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += "\r\n\r\n=> \"file" + std::to_string(i) + ".bmp\":" + reasons;
    }
    return text;
}

TEST(ProblemSummary, CountsEachFileOnceByItsFirstReasonInTheOrderMet) {
    const std::string pow2 = "\r\n\tImage dimensions (12×12) aren't a power of 2 (see readme).";
    const std::string both = "\r\n\tFile does not exist.\r\n\tFile extension .gif is not supported. (*.bmp)";
    const std::string report = Blocks(7, pow2) + Blocks(2, both) + Blocks(1, "\r\n\tsomething new") +
                               "\r\n\r\n=> \"wall\" could not be extracted: bad";
    EXPECT_EQ(ProblemSummary(report),
              "11 files could not be added: 7 have sides that are not powers of two (Edit › Options › Dimensions "
              "Limited to 2^x), 2 do not exist, 2 have other problems.");
    EXPECT_EQ(ProblemSummary(Blocks(kSummedBlocks - 1, pow2)), "");
    EXPECT_EQ(ProblemSummary(""), "");
}

}  // namespace
}  // namespace vc
