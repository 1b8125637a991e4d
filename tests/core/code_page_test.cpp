// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "io/code_page.h"

namespace vc {
namespace {

TEST(CodePage, Windows1252CharactersConvertBothWays) {
    const std::string utf8 = "café € „quote“ ×";
    const std::string bytes = Utf8ToWindows1252(utf8);
    EXPECT_EQ(bytes, "caf\xE9 \x80 \x84quote\x93 \xD7");
    EXPECT_EQ(Windows1252ToUtf8(bytes), utf8);
    EXPECT_TRUE(FitsWindows1252(utf8));
}

TEST(CodePage, CharactersOutsideTheCodePageBecomeQuestionMarks) {
    EXPECT_EQ(Utf8ToWindows1252("日本tex"), "??tex");
    EXPECT_EQ(Utf8ToWindows1252("a😀b"), "a?b");
    EXPECT_FALSE(FitsWindows1252("日本"));
}

TEST(CodePage, InvalidUtf8BytesBecomeQuestionMarksOneEach) {
    EXPECT_EQ(Utf8ToWindows1252("a\xFF\xC3"), "a??");
    EXPECT_EQ(Utf8ToWindows1252("\xC0\xAF"), "??");       // overlong "/"
    EXPECT_EQ(Utf8ToWindows1252("\xED\xA0\x80"), "???");  // surrogate
    EXPECT_FALSE(IsValidUtf8("a\xFF"));
    EXPECT_TRUE(IsValidUtf8("ä日😀"));
}

TEST(CodePage, InvalidUtf8BytesBecomeReplacementCharactersOneEach) {
    const std::pair<std::string, std::string> cases[] = {
        {"gr\xC3\xBCn", "gr\xC3\xBCn"},            // valid: unchanged
        {"gr\xFCn", "gr\xEF\xBF\xBDn"},            // a lone Windows-1252 byte
        {"\xE2\x82", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // a sequence cut short: one each
        {"\xC0\xAF", "\xEF\xBF\xBD\xEF\xBF\xBD"},  // overlong
        {"", ""},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(ValidUtf8(text), expected);
        EXPECT_TRUE(IsValidUtf8(ValidUtf8(text)));
    }
}

TEST(CodePage, EveryByteSurvivesARoundTrip) {
    std::string all;
    for (int byte = 1; byte < 256; ++byte) {
        all += static_cast<char>(byte);
    }
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8(utf8));
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
}

}  // namespace
}  // namespace vc
