// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_files.h"
#include "ops/texture_preview.h"
#include "raster/dxt_compression.h"
#include "raster/texture_decoder.h"
#include "temp_dir.h"

namespace vc {
namespace {

class TexturePreviewTest : public testing::Test {
  protected:
    // A colour image whose every pixel tells where it lies.
    std::string TrueColour(const std::string& name, int width, int height) {
        return images.Write(name, test::MakeTrueColourBmp(width, height, [](int x, int y) {
                                return RgbColour{static_cast<uint8_t>(x * 20), static_cast<uint8_t>(y * 30), 77};
                            }));
    }
    // A greyscale mask whose pixel at (x, y) has the grey level alpha(x, y).
    std::string GreyMask(const std::string& name, int width, int height, uint8_t (*alpha)(int, int)) {
        return images.Write(name, test::MakePalettedBmp(width, height, test::GreyPalette(256), alpha));
    }

    test::TempDir images;
};

uint8_t Stripes(int x, int y) {
    return static_cast<uint8_t>(x < 4 ? 0 : 40 * y + x);
}

RgbaColour PixelAt(const DecodedTexture& picture, int x, int y) {
    const uint8_t* p = &picture.Rgba[4 * (static_cast<size_t>(y) * picture.Width + static_cast<size_t>(x))];
    return {p[0], p[1], p[2], p[3]};
}

TEST_F(TexturePreviewTest, ColourImageWithMaskGivesTheColourWithTheMaskGreyAsAlpha) {
    const TTexFile entry{
        .TexPath = TrueColour("fence.bmp", 8, 4), .AlphaPath = GreyMask("fencem.bmp", 8, 4, Stripes), .HasAlpha = true};
    const std::optional<DecodedTexture> picture = PreviewTexture(entry);
    ASSERT_TRUE(picture.has_value());
    ASSERT_EQ(picture->Width, 8);
    ASSERT_EQ(picture->Height, 4);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            const RgbaColour expected{static_cast<uint8_t>(x * 20), static_cast<uint8_t>(y * 30), 77, Stripes(x, y)};
            EXPECT_EQ(PixelAt(*picture, x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(TexturePreviewTest, WithoutAlphaTheMaskIsIgnoredAndEveryPixelIsOpaque) {
    const TTexFile entry{.TexPath = TrueColour("wall.bmp", 4, 4), .AlphaPath = GreyMask("wallm.bmp", 4, 4, Stripes)};
    const std::optional<DecodedTexture> picture = PreviewTexture(entry);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(PixelAt(*picture, 3, 2), (RgbaColour{60, 60, 77, 255}));
    EXPECT_EQ(PixelAt(*picture, 0, 0), (RgbaColour{0, 0, 77, 255}));
}

TEST_F(TexturePreviewTest, PalettedImageKeepsItsPaletteAndTakesAlphaFromTheMaskPalette) {
    const std::vector<RgbColour> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {10, 20, 30}};
    const auto index = [](int x, int y) { return static_cast<uint8_t>((x + y) % 4); };
    TTexFile entry{.TexPath = images.Write("tiles.bmp", test::MakePalettedBmp(4, 8, palette, index))};
    // The mask's entry i holds the alpha of colour i: 0, 85, 170, 255 for the four colours.
    entry.AlphaPath = images.Write("tilesm.bmp", test::MakePalettedBmp(4, 8, test::GreyPalette(4), index));
    entry.HasAlpha = true;
    const std::optional<DecodedTexture> picture = PreviewTexture(entry);
    ASSERT_TRUE(picture.has_value());
    ASSERT_EQ(picture->Width, 4);
    ASSERT_EQ(picture->Height, 8);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 4; ++x) {
            const RgbColour colour = palette[index(x, y)];
            const RgbaColour expected{colour.Red, colour.Green, colour.Blue, static_cast<uint8_t>(index(x, y) * 85)};
            EXPECT_EQ(PixelAt(*picture, x, y), expected) << x << "," << y;
        }
    }
}

// An entry taken from a dictionary shows as it is kept: at a size no new image may have, and a DXT1
// texture whose kept raster format has no alpha all opaque.
TEST_F(TexturePreviewTest, KeptFieldsShowInThePicture) {
    TTexFile small{.TexPath = TrueColour("small.bmp", 2, 2)};
    small.Output.KeepSize = true;
    const std::optional<DecodedTexture> smallPicture = PreviewTexture(small);
    ASSERT_TRUE(smallPicture.has_value());
    EXPECT_EQ(PixelAt(*smallPicture, 1, 1), (RgbaColour{20, 30, 77, 255}));

    TTexFile fence{
        .TexPath = TrueColour("fence.bmp", 8, 4), .AlphaPath = GreyMask("fencem.bmp", 8, 4, Stripes), .HasAlpha = true};
    fence.Output.Format = TextureFormat::Dxt1;
    for (const auto& [kept, clearAtLeft] : {std::pair<uint32_t, bool>{0x0100, true}, {0x0200, false}}) {
        fence.Output.RasterFormat = kept;
        const std::optional<DecodedTexture> picture = PreviewTexture(fence);
        ASSERT_TRUE(picture.has_value());
        EXPECT_EQ(PixelAt(*picture, 0, 0).Alpha, clearAtLeft ? 0 : 255) << kept;
    }
}

TEST_F(TexturePreviewTest, ChosenOutputFormatIsWhatThePictureShows) {
    TTexFile entry{.TexPath = TrueColour("wall.bmp", 4, 4)};
    entry.Output.Format = TextureFormat::C565;
    const std::optional<DecodedTexture> picture = PreviewTexture(entry);
    ASSERT_TRUE(picture.has_value());
    // (20, 30, 77) keeps 5, 6 and 5 bits: 2, 7 and 9, widened again to 16, 28 and 74.
    EXPECT_EQ(PixelAt(*picture, 1, 1), (RgbaColour{16, 28, 74, 255}));
}

// A tooltip's preview must not run the build's best and slowest DXT fit: it shows the fast fit's
// blocks (on this noisy picture the two fits differ).
TEST_F(TexturePreviewTest, ADxtPreviewShowsTheFastFit) {
    const auto noise = [](int x, int y) {
        const auto n = static_cast<uint8_t>((x * 73 + y * 151) ^ (x * y * 29));
        return RgbColour{n, static_cast<uint8_t>(n * 3 + y), static_cast<uint8_t>(255 - n)};
    };
    TTexFile entry{.TexPath = images.Write("noise.bmp", test::MakeTrueColourBmp(16, 16, noise))};
    entry.Output.Format = TextureFormat::Dxt1;
    PixelLevel level{16, 16, {}};
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const RgbColour c = noise(x, y);
            level.Bgra.insert(level.Bgra.end(), {c.Blue, c.Green, c.Red, 255});
        }
    }
    const auto decoded = [&](DxtQuality quality) {
        const std::vector<uint8_t> blocks = CompressDxt(level, TextureFormat::Dxt1, quality);
        return DecodeLevel({.Format = TextureFormat::Dxt1, .Width = 16, .Height = 16, .Pixels = blocks}).Rgba;
    };
    ASSERT_NE(decoded(DxtQuality::Fast), decoded(DxtQuality::Best));
    const std::optional<DecodedTexture> picture = PreviewTexture(entry);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Rgba, decoded(DxtQuality::Fast));
}

TEST_F(TexturePreviewTest, JpegImageGivesAPictureOfItsSize) {
    const TTexFile entry{.TexPath = images.Write("sky.jpg", test::MakeJpeg(16, 8, test::JpegKind::Colour, [](int, int) {
                                                     return RgbColour{200, 100, 50};
                                                 }))};
    const std::optional<DecodedTexture> picture = PreviewTexture(entry);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Width, 16);
    EXPECT_EQ(picture->Height, 8);
    const RgbaColour centre = PixelAt(*picture, 8, 4);
    EXPECT_NEAR(centre.Red, 200, 4);
    EXPECT_NEAR(centre.Green, 100, 4);
    EXPECT_NEAR(centre.Blue, 50, 4);
    EXPECT_EQ(centre.Alpha, 255);
}

TEST_F(TexturePreviewTest, UnreadableOrRefusedImagesGiveNoPicture) {
    const std::string wall = TrueColour("wall.bmp", 8, 8);
    EXPECT_FALSE(PreviewTexture({.TexPath = images.WriteText("note.bmp", "not a bitmap")}).has_value());
    EXPECT_FALSE(PreviewTexture({.TexPath = images.File("missing.bmp")}).has_value());
    EXPECT_FALSE(PreviewTexture({.TexPath = TrueColour("odd.bmp", 6, 6)}).has_value());  // sides not divisible by 4

    EXPECT_FALSE(PreviewTexture({.TexPath = wall, .AlphaPath = GreyMask("small.bmp", 4, 4, Stripes), .HasAlpha = true})
                     .has_value());
    EXPECT_FALSE(PreviewTexture({.TexPath = wall, .AlphaPath = images.File("gone.bmp"), .HasAlpha = true}).has_value());
}

TEST_F(TexturePreviewTest, SidesThatAreNoPowerOfTwoStillGiveAPicture) {
    const std::optional<DecodedTexture> picture = PreviewTexture({.TexPath = TrueColour("wide.bmp", 12, 4)});
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->Width, 12);
    EXPECT_EQ(picture->Height, 4);
}

// All levels are the chain the build makes, each half the one above, in the entry's format; the
// picture alone is the first of them.
TEST_F(TexturePreviewTest, AllLevelsAreTheChainTheBuildMakes) {
    TTexFile entry{.TexPath = TrueColour("brick.bmp", 16, 4)};
    entry.Output = {.Format = TextureFormat::C565, .Mipmaps = true};
    const std::vector<DecodedTexture> levels = PreviewLevels(entry, PreviewDepth::AllLevels);
    std::vector<std::pair<int, int>> sizes;
    for (const DecodedTexture& level : levels) {
        sizes.emplace_back(level.Width, level.Height);
    }
    EXPECT_EQ(sizes, (std::vector<std::pair<int, int>>{{16, 4}, {8, 2}, {4, 1}, {2, 1}, {1, 1}}));
    const std::vector<DecodedTexture> picture = PreviewLevels(entry, PreviewDepth::Picture);
    ASSERT_EQ(picture.size(), 1u);
    EXPECT_EQ(picture.front().Rgba, levels.front().Rgba);
    EXPECT_EQ(PixelAt(levels.front(), 1, 1), (RgbaColour{16, 28, 74, 255}));  // 565 keeps 5, 6 and 5 bits
    entry.Output.Mipmaps = false;
    EXPECT_EQ(PreviewLevels(entry, PreviewDepth::AllLevels).size(), 1u);
    EXPECT_TRUE(PreviewLevels(TTexFile{.TexPath = images.File("missing.bmp")}, PreviewDepth::AllLevels).empty());
}

}  // namespace
}  // namespace vc
