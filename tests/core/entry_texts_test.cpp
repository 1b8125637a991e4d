// SPDX-License-Identifier: GPL-3.0-or-later
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

TEST(EntryTexts, OutputFormatTextNamesTheChosenOrStoredFormatAndTheMipmaps) {
    TTexFile wall;
    wall.TexInfo = {.Height = 64, .Width = 64, .Depth = 32};
    EXPECT_EQ(OutputFormatText(wall), "32bit");
    wall.TexInfo.Depth = 8;
    EXPECT_EQ(OutputFormatText(wall), "8bit paletted");
    wall.Output.Mipmaps = true;
    EXPECT_EQ(OutputFormatText(wall), "8bit paletted + mips");
    wall.Output.Format = TextureFormat::Dxt1;
    EXPECT_EQ(OutputFormatText(wall), "DXT1 + mips");
    wall.Output.Mipmaps = false;
    EXPECT_EQ(OutputFormatText(wall), "DXT1");
    // A DDS image written as it is keeps its own format; a chosen format still wins.
    wall.TexInfo.StoredFormat = TextureFormat::Dxt3;
    EXPECT_EQ(OutputFormatText(wall), "DXT1");
    wall.Output.Format.reset();
    EXPECT_EQ(OutputFormatText(wall), "DXT3");
    // The kept fields of an extracted texture and its flag word are not the format.
    wall.TexInfo.StoredFormat.reset();
    wall.Output.RasterFormat = 0x0600;
    wall.Output.Flags = 0x3302;
    EXPECT_EQ(OutputFormatText(wall), "8bit paletted");
}

TEST(EntryTexts, DetailTextNamesTheOutputFormatAndMipmapsOnlyWhenSet) {
    TTexFile road;
    road.TexName = "road";
    road.TexPath = "C:\\tex\\road.dds";
    road.TexInfo = {.Height = 64, .Width = 128, .Depth = 32};
    road.Output.Mipmaps = true;
    EXPECT_EQ(DetailText(road, 3),
              "[Texture 3] - 128 × 64 px; 32 bit + mips\r\nName: road (24bit)\r\n"
              "Path: C:\\tex\\road.dds");
    road.Output.Format = TextureFormat::C565;
    EXPECT_EQ(DetailText(road, 3).substr(0, DetailText(road, 3).find("\r\n")), "[Texture 3] - 128 × 64 px; 565 + mips");
    road.Output = {};
    road.TexInfo.StoredFormat = TextureFormat::Dxt5;
    EXPECT_EQ(DetailText(road, 3).substr(0, DetailText(road, 3).find("\r\n")), "[Texture 3] - 128 × 64 px; DXT5");
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
