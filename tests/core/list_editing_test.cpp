// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "io/code_page.h"
#include "io/file_names.h"
#include "texlist/list_editing.h"

namespace vc {
namespace {

TTexFile Entry(std::string name, uint16_t width = 4, uint16_t height = 4, uint8_t depth = 8) {
    TTexFile entry;
    entry.TexPath = "C:\\tex\\" + name + ".bmp";
    entry.TexName = std::move(name);
    entry.TexInfo = {.Height = height, .Width = width, .Depth = depth};
    return entry;
}

std::vector<std::string> Names(const TextureList& list) {
    std::vector<std::string> names;
    for (const TTexFile& entry : list) {
        names.push_back(entry.TexName);
    }
    return names;
}

// The reference order: n − 1 passes of neighbour exchanges on Windows-1252 bytes, exactly as the
// original command sorted.
bool ModelGreater(const TTexFile& a, const TTexFile& b, SortKey key) {
    const auto bytes = [](const std::string& text) {
        const std::string converted = Utf8ToWindows1252(LowerAscii(text));
        return std::vector<unsigned char>(converted.begin(), converted.end());
    };
    switch (key) {
        case SortKey::Name:
            return bytes(a.TexName) > bytes(b.TexName);
        case SortKey::Path:
            return bytes(a.TexPath) > bytes(b.TexPath);
        case SortKey::Size:
            return uint32_t{a.TexInfo.Width} * a.TexInfo.Height > uint32_t{b.TexInfo.Width} * b.TexInfo.Height;
        case SortKey::Format:
            return a.TexInfo.Depth > b.TexInfo.Depth;
        case SortKey::AlphaName:
            return bytes(a.HasAlpha ? a.AlphaName : "") > bytes(b.HasAlpha ? b.AlphaName : "");
    }
    return false;
}

void ModelSort(TextureList& list, SortKey key, bool ascending) {
    for (size_t pass = 1; pass < list.size(); ++pass) {
        for (size_t i = 0; i + 1 < list.size(); ++i) {
            if (ascending ? ModelGreater(list[i], list[i + 1], key) : ModelGreater(list[i + 1], list[i], key)) {
                std::swap(list[i], list[i + 1]);
            }
        }
    }
}

TEST(SortList, GivesTheExchangeSortsOrderForEveryKeyAndDirection) {
    const std::vector<std::string> names = {"Road", "road", "ROAD2", "_wall", "Zebra", "Ärger",  "é",   "€uro",
                                            "wall", "Wall", "a b",   "a",     "",      "9lives", "[x]", "~"};
    const std::vector<std::pair<uint16_t, uint16_t>> sizes = {{4, 4}, {64, 64}, {128, 32}, {16, 4}, {8, 8}};
    std::mt19937 random(42);
    for (int round = 0; round < 60; ++round) {
        TextureList list;
        const size_t length = random() % 40;
        for (size_t i = 0; i < length; ++i) {
            const auto [width, height] = sizes[random() % sizes.size()];
            list.push_back(Entry(names[random() % names.size()], width, height, random() % 2 ? 8 : 32));
            list.back().TexPath = "C:\\" + names[random() % names.size()] + std::to_string(i);
        }
        for (const SortKey key : {SortKey::Name, SortKey::Path, SortKey::Size, SortKey::Format, SortKey::AlphaName}) {
            for (const bool ascending : {true, false}) {
                TextureList expected = list;
                ModelSort(expected, key, ascending);
                TextureList sorted = list;
                SortList(sorted, key, ascending);
                ASSERT_EQ(sorted, expected) << "key " << static_cast<int>(key) << (ascending ? " up" : " down");
            }
        }
    }
}

// Formats of one depth are kept apart: by the bits per pixel they are written with, then by the
// name the table shows, so that entries of the image's own depth keep their place among them.
TEST(SortList, ByFormatOrdersWhatTheTableShows) {
    const auto formatted = [](const std::string& name, uint8_t depth, std::optional<TextureFormat> format) {
        TTexFile entry = Entry(name, 4, 4, depth);
        entry.Output.Format = format;
        return entry;
    };
    TextureList list = {formatted("888", 32, TextureFormat::C888),   formatted("image32", 32, std::nullopt),
                        formatted("1555", 32, TextureFormat::C1555), formatted("dxt1", 32, TextureFormat::Dxt1),
                        formatted("565", 32, TextureFormat::C565),   formatted("image8", 8, std::nullopt),
                        formatted("dxt5", 32, TextureFormat::Dxt5)};
    SortList(list, SortKey::Format, true);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"dxt1", "image8", "dxt5", "1555", "565", "image32", "888"}));
    SortList(list, SortKey::Format, false);
    EXPECT_EQ(Names(list), (std::vector<std::string>{"888", "image32", "565", "1555", "dxt5", "image8", "dxt1"}));
}

std::string Joined(const TextureList& list) {
    std::string names;
    for (const TTexFile& entry : list) {
        names += entry.TexName;
    }
    return names;
}

TextureList Lettered(const std::string& names) {
    TextureList list;
    for (const char name : names) {
        list.push_back(Entry(std::string(1, name)));
    }
    return list;
}

// The selected entries move as a block, each past its neighbour, and the selection follows them;
// at either end nothing moves.
TEST(EditList, MovingTakesTheSelectionAlongAndStopsAtBothEnds) {
    struct Case {
        std::vector<size_t> Selected;
        int Step;
        std::string After;
        std::vector<size_t> Moved;
    };
    const Case cases[] = {
        {{0}, -1, "abcde", {0}},       {{4}, +1, "abcde", {4}},       {{2}, +1, "abdce", {3}},
        {{1}, -1, "bacde", {0}},       {{1, 2}, +1, "adbce", {2, 3}}, {{1, 3}, +1, "acbed", {2, 4}},
        {{1, 3}, -1, "badce", {0, 2}}, {{0, 2}, -1, "abcde", {0, 2}}, {{3, 4}, +1, "abcde", {3, 4}},
        {{2, 9}, +1, "abcde", {2, 9}},
    };
    for (const Case& c : cases) {
        TextureList list = Lettered("abcde");
        EXPECT_EQ(MoveTextures(list, c.Selected, c.Step), c.Moved) << c.After;
        EXPECT_EQ(Joined(list), c.After);
    }
}

TEST(EditList, DeletingRemovesTheSelectionAndSelectsWhereItBegan) {
    struct Case {
        std::vector<size_t> Selected;
        std::string After;
        size_t Select;
    };
    const Case cases[] = {
        {{1}, "acd", 1},       {{1, 3}, "ac", 1}, {{2, 3}, "ab", 1},
        {{0, 1, 2, 3}, "", 0}, {{}, "abcd", 0},   {{3, 7}, "abc", 2},
    };
    for (const Case& c : cases) {
        TextureList list = Lettered("abcd");
        EXPECT_EQ(DeleteTextures(list, c.Selected), c.Select) << c.After;
        EXPECT_EQ(Joined(list), c.After);
    }
}

TEST(EditList, SettingOutputsChangesTheThreeChoicesOfTheSelectionAlone) {
    TextureList list = Lettered("abc");
    list[2].Output.RasterFormat = 0x0500;
    const TextureOutput chosen = {.Format = TextureFormat::Dxt1, .Mipmaps = true, .Flags = 0x1106, .KeepSize = true};
    SetOutputs(list, std::vector<size_t>{0, 2}, chosen);
    for (const size_t index : {size_t{0}, size_t{2}}) {
        EXPECT_EQ(list[index].Output.Format, TextureFormat::Dxt1);
        EXPECT_TRUE(list[index].Output.Mipmaps);
        EXPECT_EQ(list[index].Output.Flags, 0x1106u);
        EXPECT_FALSE(list[index].Output.KeepSize);
    }
    EXPECT_EQ(list[2].Output.RasterFormat, 0x0500u);
    EXPECT_EQ(list[1].Output, TextureOutput{});
    // Fields left out keep what each entry has.
    SetOutputs(list, std::vector<size_t>{0, 1}, TextureOutput{.Format = TextureFormat::C565},
               OutputFields{.Mipmaps = false, .Flags = false});
    EXPECT_EQ(list[0].Output.Format, TextureFormat::C565);
    EXPECT_TRUE(list[0].Output.Mipmaps);
    EXPECT_EQ(list[0].Output.Flags, 0x1106u);
    EXPECT_EQ(list[1].Output.Format, TextureFormat::C565);
    EXPECT_FALSE(list[1].Output.Mipmaps);
}

TEST(EditList, ClearingAlphaKeepsItsLastReadInfo) {
    TextureList list = {Entry("a"), Entry("b")};
    for (TTexFile& entry : list) {
        entry.HasAlpha = true;
        entry.AlphaName = entry.TexName + "mask";
        entry.AlphaPath = "/m.bmp";
        entry.AlphaInfo = {.Height = 4, .Width = 4, .Depth = 8};
    }
    ClearAlphas(list, std::vector<size_t>{1});
    EXPECT_FALSE(list[1].HasAlpha);
    EXPECT_EQ(list[1].AlphaName, "");
    EXPECT_EQ(list[1].AlphaPath, "");
    EXPECT_EQ(list[1].AlphaInfo.Width, 4);
    EXPECT_TRUE(list[0].HasAlpha);
    RemoveAlphas(list);
    EXPECT_FALSE(list[0].HasAlpha);
    EXPECT_EQ(list[0].AlphaName, "");
}

}  // namespace
}  // namespace vc
