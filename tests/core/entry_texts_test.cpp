#include <gtest/gtest.h>

#include "io/path_shortening.h"
#include "texlist/entry_texts.h"

namespace vc {
namespace {

TEST(EntryTexts, CellTextsShowSizeAndOutputFormat) {
    EXPECT_EQ(DimensionsText({.Height = 128, .Width = 256, .Depth = 32}), "256 × 128");
    EXPECT_EQ(FormatText({.Height = 4, .Width = 4, .Depth = 32}), "32bit");
    EXPECT_EQ(FormatText({.Height = 4, .Width = 4, .Depth = 8}), "8bit paletted");
}

TEST(EntryTexts, DetailTextHasThreeLinesOrFiveWithAlpha) {
    TTexFile road;
    road.TexName = "road";
    road.TexPath = "C:\\tex\\road.bmp";
    road.TexInfo = {.Height = 64, .Width = 128, .Depth = 32};
    EXPECT_EQ(DetailText(road, 2),
              "[Texture 2] - 128 × 64 px; 32 bit\r\nName: road (24bit)\r\nPath: C:\\tex\\road.bmp");
    road.HasAlpha = true;
    road.AlphaName = "roadm";
    road.AlphaPath = "C:\\tex\\roadm.bmp";
    road.AlphaInfo = {.Height = 64, .Width = 128, .Depth = 8};
    EXPECT_EQ(DetailText(road, 2),
              "[Texture 2] - 128 × 64 px; 32 bit\r\nName: road (24bit)\r\nPath: C:\\tex\\road.bmp\r\n"
              "Alpha: roadm (8bit)\r\nAlphapath: C:\\tex\\roadm.bmp");
    road.TexInfo.Depth = 8;
    EXPECT_EQ(DetailText(road, 1).substr(0, DetailText(road, 1).find("\r\n")),
              "[Texture 1] - 128 × 64 px; 8 bit paletted");
    EXPECT_NE(DetailText(road, 1).find("Name: road (8bit)"), std::string::npos);
}

TEST(PathShortening, DropsFoldersThenTheDriveThenTheMarker) {
    const TextWidth characters = [](std::string_view text) { return static_cast<int>(text.size()); };
    const std::string path = "C:\\a\\bb\\ccc\\wall.bmp";
    EXPECT_EQ(ShortenPath(path, 100, characters), path);
    EXPECT_EQ(ShortenPath(path, 19, characters), "C:\\...\\ccc\\wall.bmp");
    EXPECT_EQ(ShortenPath(path, 15, characters), "C:\\...\\wall.bmp");
    EXPECT_EQ(ShortenPath(path, 12, characters), "...\\wall.bmp");
    EXPECT_EQ(ShortenPath(path, 3, characters), "wall.bmp");
    EXPECT_EQ(ShortenPath("/home/me/tex/wall.bmp", 17, characters), "/.../tex/wall.bmp");
    EXPECT_EQ(ShortenPath("/home/me/tex/wall.bmp", 16, characters), "/.../wall.bmp");
    EXPECT_EQ(ShortenPath("wall.bmp", 2, characters), "wall.bmp");
}

}  // namespace
}  // namespace vc
