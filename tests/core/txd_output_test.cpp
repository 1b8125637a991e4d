// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "image_files.h"
#include "image_set.h"
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "raster/dds_file.h"
#include "raster/texture_decoder.h"
#include "rw/native_picture.h"
#include "rw/txd_format.h"
#include "rw/txd_reader.h"
#include "stored_level.h"
#include "temp_dir.h"
#include "txd_chunks.h"

namespace vc {
namespace {

using test::PngColour;

constexpr uint32_t kWidth = 16;
constexpr uint32_t kHeight = 8;

// Red across, green down, blue constant; alpha falls from opaque on the left to clear on the right.
std::vector<uint16_t> GradientSamples() {
    std::vector<uint16_t> samples;
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            samples.insert(samples.end(), {static_cast<uint16_t>(x * 16), static_cast<uint16_t>(y * 32), 96,
                                           static_cast<uint16_t>(255 - x * 17)});
        }
    }
    return samples;
}

// The picture the gradient image holds: blue, green, red, alpha per pixel.
std::vector<uint8_t> GradientBgra() {
    std::vector<uint8_t> pixels;
    const std::vector<uint16_t> samples = GradientSamples();
    for (size_t i = 0; i < samples.size(); i += 4) {
        pixels.insert(pixels.end(), {static_cast<uint8_t>(samples[i + 2]), static_cast<uint8_t>(samples[i + 1]),
                                     static_cast<uint8_t>(samples[i]), static_cast<uint8_t>(samples[i + 3])});
    }
    return pixels;
}

std::vector<uint8_t> RgbaToBgra(const std::vector<uint8_t>& rgba) {
    std::vector<uint8_t> bgra(rgba);
    for (size_t i = 0; i < bgra.size(); i += 4) {
        std::swap(bgra[i], bgra[i + 2]);
    }
    return bgra;
}

class TxdOutputTest : public testing::Test {
  protected:
    TTexFile& AddGradient(std::string_view name = "grad.png") {
        const std::string path = dir.Write(
            name, test::MakePng(
                      {.Width = kWidth, .Height = kHeight, .Colour = PngColour::Rgba, .Samples = GradientSamples()}));
        AddFile(workspace, path, true);
        EXPECT_EQ(workspace.Intake.ProblemText, "");
        return workspace.TexList.back();
    }
    TxdContents Build() {
        built = BuildTxd(workspace, options).Bytes;
        return ReadTxd(built);
    }

    test::TempDir dir;
    Workspace workspace;
    TxdOptions options{.VersionIndex = 2, .FlagIndex = 1};
    std::vector<uint8_t> built;
};

struct FormatCase {
    TextureFormat Format;
    uint32_t RasterFormat;  // without the mipmap bit
    uint8_t Depth;
    uint8_t Compression;
    double ColourPsnr;  // the least the picture's colours keep (dB)
    double AlphaPsnr;   // the least its alpha keeps; 0 where the format has none
};

TEST_F(TxdOutputTest, EveryFormatWithAndWithoutMipmapsIsWrittenAsTheGamesReadIt) {
    const std::vector<FormatCase> cases = {
        {TextureFormat::Dxt1, 0x0100, 16, 1, 27, 5},       {TextureFormat::Dxt3, 0x0300, 16, 3, 27, 30},
        {TextureFormat::Dxt5, 0x0300, 16, 5, 27, 35},      {TextureFormat::C8888, 0x0500, 32, 0, INFINITY, INFINITY},
        {TextureFormat::C888, 0x0600, 32, 0, INFINITY, 0}, {TextureFormat::C565, 0x0200, 16, 0, 38, 0},
        {TextureFormat::C1555, 0x0100, 16, 0, 36, 5},      {TextureFormat::C4444, 0x0300, 16, 0, 30, 30},
        {TextureFormat::C555, 0x0A00, 16, 0, 36, 0},       {TextureFormat::Lum8, 0x0400, 8, 0, 0, 0},
        {TextureFormat::Pal8, 0x2500, 8, 0, 30, 30},
    };
    const std::vector<uint8_t> source = GradientBgra();
    for (const FormatCase& c : cases) {
        for (const bool mipmaps : {false, true}) {
            SCOPED_TRACE(std::string(TextureFormatName(c.Format)) + (mipmaps ? " with mipmaps" : ""));
            workspace.TexList.clear();
            TTexFile& entry = AddGradient();
            entry.Output.Format = c.Format;
            entry.Output.Mipmaps = mipmaps;
            const TxdContents contents = Build();
            ASSERT_EQ(contents.Textures.size(), 1u);
            const TxdTexture& texture = contents.Textures[0];
            ASSERT_EQ(texture.Problem, "");
            EXPECT_EQ(texture.Format, c.Format);
            // 16 × 8, 8 × 4, 4 × 2, 2 × 1, 1 × 1
            EXPECT_EQ(texture.Levels, mipmaps ? 5 : 1);
            EXPECT_EQ(texture.RasterFormat, c.RasterFormat | (mipmaps ? 0x8000u : 0));
            EXPECT_EQ(texture.Depth, c.Depth);
            EXPECT_EQ(texture.Compression, c.Compression);
            // The gradient's alpha is claimed only by the formats that keep it.
            const bool keepsAlpha = c.AlphaPsnr > 0;
            EXPECT_EQ(texture.AlphaFlag, keepsAlpha ? 1u : 0u);
            EXPECT_EQ(texture.MaskName, keepsAlpha ? "grada" : "");

            const std::vector<uint8_t> picture = RgbaToBgra(DecodeTexture(built, texture).Rgba);
            if (c.ColourPsnr > 0) {
                // Colour counts where the source is mostly opaque: DXT1 drops the colour of the rest.
                std::vector<uint8_t> seen = picture;
                std::vector<uint8_t> meant = source;
                for (size_t i = 0; i < source.size(); i += 4) {
                    if (source[i + 3] < 128) {
                        std::fill_n(&seen[i], 3, 0);
                        std::fill_n(&meant[i], 3, 0);
                    }
                }
                EXPECT_GE(test::Psnr(seen, meant, 3), c.ColourPsnr);
            }
            if (c.AlphaPsnr > 0) {
                std::vector<uint8_t> alphaOnly(picture.size()), sourceAlpha(source.size());
                for (size_t i = 3; i < picture.size(); i += 4) {
                    alphaOnly[i - 3] = picture[i];
                    sourceAlpha[i - 3] = source[i];
                }
                EXPECT_GE(test::Psnr(alphaOnly, sourceAlpha, 1), c.AlphaPsnr);
            }
        }
    }
}

TEST_F(TxdOutputTest, TheFastDxtSettingMakesOtherBlocksOfTheSameTexture) {
    // A photograph's blocks, where the settings' fits part ways (a smooth gradient's need not).
    std::vector<uint16_t> samples;
    for (uint32_t y = 0; y < kHeight; ++y) {
        for (uint32_t x = 0; x < kWidth; ++x) {
            const RgbColour colour = test::PhotoLikeColour(2, static_cast<int>(x), static_cast<int>(y));
            samples.insert(samples.end(), {colour.Red, colour.Green, colour.Blue, 255});
        }
    }
    AddFile(
        workspace,
        dir.Write("photo.png",
                  test::MakePng({.Width = kWidth, .Height = kHeight, .Colour = PngColour::Rgba, .Samples = samples})),
        true);
    workspace.TexList.back().Output.Format = TextureFormat::Dxt1;
    const TxdTexture best = Build().Textures.at(0);
    const std::vector<uint8_t> bestBytes = built;
    options.Dxt = DxtQuality::Fast;
    const TxdTexture fast = Build().Textures.at(0);
    EXPECT_EQ(fast.RasterFormat, best.RasterFormat);
    EXPECT_EQ(fast.Compression, 1);
    EXPECT_NE(built, bestBytes);
}

// A build given the program's cores computes only on them: while the program holds them all (a
// preview, say), the build waits; once one is free, it is built.
TEST_F(TxdOutputTest, ABuildComputesOnlyOnTheCoresItShares) {
    AddGradient().Output.Format = TextureFormat::Dxt1;
    AddGradient("second.png").Output.Format = TextureFormat::Dxt5;
    CoreShare cores(1);
    workspace.Cores = &cores;
    workspace.Jobs = 2;
    std::atomic<bool> done = false;
    std::jthread build;
    {
        const CoreShare::Held heldElsewhere(&cores);
        build = std::jthread([&] {
            Build();
            done = true;
        });
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        EXPECT_FALSE(done) << "the build computed while every core it shares was held";
    }
    build.join();
    EXPECT_TRUE(done);
    EXPECT_EQ(ReadTxd(built).Textures.size(), 2u);
}

TEST_F(TxdOutputTest, LevelsHalveDownToOnePixelAndAverageTheLevelAbove) {
    TTexFile& entry = AddGradient();
    entry.Output.Format = TextureFormat::C8888;
    entry.Output.Mipmaps = true;
    const TxdTexture texture = Build().Textures.at(0);
    ASSERT_EQ(texture.LevelPixels.size(), 5u);
    const std::vector<std::pair<uint32_t, uint32_t>> sizes = {{16, 8}, {8, 4}, {4, 2}, {2, 1}, {1, 1}};
    for (size_t level = 0; level < sizes.size(); ++level) {
        EXPECT_EQ(texture.LevelPixels[level].Size, 4u * sizes[level].first * sizes[level].second);
    }
    // The last level is one pixel: alpha is the mean of the picture's, colour a mean in between.
    const uint8_t* last = &built[texture.LevelPixels[4].Offset];
    EXPECT_NEAR(last[3], 255 - 7.5 * 17, 2);
    EXPECT_GT(last[2], 0);
    EXPECT_LT(last[2], 240);
}

// The levels of a texture with alpha are weighted by it, so that clear pixels lend no colour; a
// format without alpha shows every pixel, and its levels are made from the opaque picture.
TEST_F(TxdOutputTest, LevelsAreWeightedByAlphaOnlyWhereTheFormatKeepsIt) {
    // Clear red on the left, opaque blue on the right.
    std::vector<uint16_t> samples;
    for (int pixel = 0; pixel < 16; ++pixel) {
        const bool left = pixel % 4 < 2;
        samples.insert(samples.end(),
                       {uint16_t(left ? 255 : 0), 0, uint16_t(left ? 0 : 255), uint16_t(left ? 0 : 255)});
    }
    const std::string halves = dir.Write(
        "halves.png", test::MakePng({.Width = 4, .Height = 4, .Colour = PngColour::Rgba, .Samples = samples}));
    for (const auto& [format, redLends] : {std::pair{TextureFormat::C8888, false}, {TextureFormat::C888, true}}) {
        SCOPED_TRACE(std::string(TextureFormatName(format)));
        workspace.TexList.clear();
        AddFile(workspace, halves, true);
        workspace.TexList[0].Output.Format = format;
        workspace.TexList[0].Output.Mipmaps = true;
        const TxdTexture texture = Build().Textures.at(0);
        const uint8_t* last = &built[texture.LevelPixels.at(2).Offset];  // 1 × 1: blue, green, red, alpha
        EXPECT_EQ(last[2] > 100, redLends) << int{last[2]};
        EXPECT_GT(last[0], 100);
    }
}

TEST_F(TxdOutputTest, AnEightBitImageKeepsItsPaletteAndPictureWhenItGetsMipmaps) {
    // Black and white columns: the level below is their mean, a grey which the palette lacks.
    const std::vector<RgbColour> palette = {{0, 0, 0}, {255, 255, 255}, {60, 60, 60}};
    const auto column = [](int x, int) { return static_cast<uint8_t>(x % 2); };
    AddFile(workspace, dir.Write("bars.bmp", test::MakePalettedBmp(8, 4, palette, column)), true);
    workspace.TexList[0].Output.Mipmaps = true;
    const TxdTexture texture = Build().Textures.at(0);
    ASSERT_EQ(texture.Format, TextureFormat::Pal8);
    ASSERT_EQ(texture.LevelPixels.size(), 4u);
    const auto level = [&](size_t i) {
        const ByteRange range = texture.LevelPixels[i];
        return std::vector<uint8_t>(built.begin() + static_cast<ptrdiff_t>(range.Offset),
                                    built.begin() + static_cast<ptrdiff_t>(range.Offset + range.Size));
    };
    EXPECT_EQ(level(0), (std::vector<uint8_t>{0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1,
                                              0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1, 0, 1}));
    // Linear light puts the mean of black and white at 188 (a plain mean would give 128). The
    // picture leaves entry 2 unused: it takes that grey, and the lower levels are exact.
    EXPECT_EQ(level(1), std::vector<uint8_t>(8, 2));
    EXPECT_EQ(level(3), std::vector<uint8_t>(1, 2));
    const DecodedTexture decoded = DecodeTexture(built, texture);
    EXPECT_EQ(decoded.Palette.at(0), (RgbaColour{0, 0, 0, 255}));
    EXPECT_EQ(decoded.Palette.at(1), (RgbaColour{255, 255, 255, 255}));
    EXPECT_EQ(decoded.Palette.at(2), (RgbaColour{188, 188, 188, 255}));

    // Without a free entry, the lower levels take the nearest colour: white, nearer 188 than 60.
    std::vector<RgbColour> full(256, RgbColour{60, 60, 60});
    full[0] = {0, 0, 0};
    full[1] = {255, 255, 255};
    workspace.TexList.clear();
    AddFile(
        workspace,
        dir.Write("full.bmp", test::MakePalettedBmp(32, 16, full,
                                                    [](int x, int y) {
                                                        return static_cast<uint8_t>(y < 2 ? x % 2 : (x + 32 * y) % 256);
                                                    })),
        true);
    workspace.TexList[0].Output.Mipmaps = true;
    const TxdTexture fullTexture = Build().Textures.at(0);
    const ByteRange firstBelow = fullTexture.LevelPixels.at(1);
    EXPECT_EQ(std::vector<uint8_t>(built.begin() + static_cast<ptrdiff_t>(firstBelow.Offset),
                                   built.begin() + static_cast<ptrdiff_t>(firstBelow.Offset + 16)),
              std::vector<uint8_t>(16, 1));
}

TEST_F(TxdOutputTest, MipmappedTexturesTakeTheMipmapFormOfTheBuildsFilterUnlessTheyNameTheirOwn) {
    const std::map<size_t, uint32_t> mipmapFlags = {{0, 0x1103}, {1, 0x1106}, {2, 0x1106}};
    for (const auto& [flagIndex, mipmapFlag] : mipmapFlags) {
        workspace.TexList.clear();
        options.FlagIndex = flagIndex;
        AddGradient("plain.png");
        AddGradient("mipmapped.png").Output.Mipmaps = true;
        TTexFile& own = AddGradient("own.png");
        own.Output.Mipmaps = true;
        own.Output.Flags = 0x3302;
        const TxdContents contents = Build();
        EXPECT_EQ(contents.Textures.at(0).Flags, TextureFlag(flagIndex));
        EXPECT_EQ(contents.Textures.at(1).Flags, mipmapFlag);
        EXPECT_EQ(contents.Textures.at(2).Flags, 0x3302u);
    }
}

TEST_F(TxdOutputTest, AnImagesOwnAlphaGivesTheTextureAlphaUnlessAnAlphaImageIsSet) {
    AddGradient("own.png");
    // A paletted PNG whose first entry is half transparent.
    const std::string paletted = dir.Write(
        "pal.png", test::MakePng({.Width = 4,
                                  .Height = 4,
                                  .Colour = PngColour::Palette,
                                  .Palette = {{10, 20, 30}, {40, 50, 60}},
                                  .PaletteAlpha = {128},
                                  .Samples = std::vector<uint16_t>{0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0}}));
    AddFile(workspace, paletted, true);
    TTexFile& masked = AddGradient("masked.png");
    masked.HasAlpha = true;
    masked.AlphaName = "mask";
    masked.AlphaPath = dir.Write(
        "mask.bmp", test::MakePalettedBmp(16, 8, test::GreyPalette(256), [](int, int) { return uint8_t{200}; }));
    ASSERT_EQ(workspace.Intake.ProblemText, "");

    const TxdContents contents = Build();
    ASSERT_EQ(contents.Textures.size(), 3u);
    const TxdTexture& own = contents.Textures[0];
    EXPECT_EQ(own.MaskName, "owna");
    EXPECT_EQ(own.RasterFormat, 0x0500u);
    EXPECT_EQ(DecodeTexture(built, own).Rgba[4 * 15 + 3], 0);  // the top row's right end is clear

    const TxdTexture& pal = contents.Textures[1];
    EXPECT_EQ(pal.MaskName, "pala");
    EXPECT_EQ(pal.RasterFormat, 0x2500u);
    EXPECT_EQ(pal.AlphaFlag, 1u);
    const DecodedTexture palPicture = DecodeTexture(built, pal);
    EXPECT_EQ(palPicture.Palette.at(0), (RgbaColour{10, 20, 30, 128}));
    EXPECT_EQ(palPicture.Palette.at(1), (RgbaColour{40, 50, 60, 255}));

    const TxdTexture& mask = contents.Textures[2];
    EXPECT_EQ(mask.MaskName, "mask");
    const std::vector<uint8_t> rgba = DecodeTexture(built, mask).Rgba;
    for (size_t i = 3; i < rgba.size(); i += 4) {
        ASSERT_EQ(rgba[i], 200) << "pixel " << i / 4;
    }
}

// An alpha image given to a texture whose format has no alpha is not written, and the build says so;
// the entry keeps it for other formats. A DXT1 texture kept with the 565 raster format has no alpha
// either, and its blocks are all opaque.
TEST_F(TxdOutputTest, AnAlphaImageOfAFormatWithoutAlphaIsLeftOutWithANotice) {
    struct Case {
        TextureFormat Format;
        std::optional<uint32_t> KeptRasterFormat;
        bool KeepsAlpha;
    };
    const Case cases[] = {
        {TextureFormat::C565, {}, false},     {TextureFormat::C555, {}, false},    {TextureFormat::C888, {}, false},
        {TextureFormat::Lum8, {}, false},     {TextureFormat::C4444, {}, true},    {TextureFormat::Dxt1, {}, true},
        {TextureFormat::Dxt1, 0x0200, false}, {TextureFormat::Dxt1, 0x0100, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(TextureFormatName(c.Format)) + " kept as " +
                     std::to_string(c.KeptRasterFormat.value_or(0)));
        workspace.TexList.clear();
        workspace.Intake.ProblemText.clear();
        TTexFile& entry = AddGradient("wall.png");
        entry.HasAlpha = true;
        entry.AlphaName = "wallmask";
        entry.AlphaPath = dir.Write(
            "m.bmp", test::MakePalettedBmp(16, 8, test::GreyPalette(256), [](int, int) { return uint8_t{7}; }));
        entry.Output.Format = c.Format;
        entry.Output.RasterFormat = c.KeptRasterFormat;
        const TxdTexture texture = Build().Textures.at(0);
        EXPECT_EQ(texture.AlphaFlag, c.KeepsAlpha ? 1u : 0u);
        EXPECT_EQ(texture.MaskName, c.KeepsAlpha ? "wallmask" : "");
        EXPECT_EQ(workspace.Intake.ProblemText,
                  c.KeepsAlpha ? ""
                               : "\r\n\r\n=> \"wall.png\":\r\n\t" + std::string(TextureFormatName(c.Format)) +
                                     " has no alpha channel: its alpha image is not written.");
        EXPECT_TRUE(workspace.TexList[0].HasAlpha);
        const std::vector<uint8_t> rgba = DecodeTexture(built, texture).Rgba;
        for (size_t i = 3; i < rgba.size(); i += 4) {
            ASSERT_EQ(rgba[i], c.KeepsAlpha ? 0 : 255) << "pixel " << i / 4;
        }
    }
}

TEST_F(TxdOutputTest, KeptFieldsAreWrittenAsTheyStood) {
    TTexFile& entry = AddGradient();
    entry.Output.MaskName = "";
    entry.Output.AlphaFlag = false;
    entry.Output.RasterFormat = 0x1500;
    entry.Output.Extension = {0x11, 0x22, 0x33};
    entry.Output.Format = TextureFormat::C8888;
    const TxdTexture texture = Build().Textures.at(0);
    EXPECT_EQ(texture.MaskName, "");
    EXPECT_EQ(texture.AlphaFlag, 0u);
    EXPECT_EQ(texture.RasterFormat, 0x1500u);
    EXPECT_EQ(texture.Extension, (std::vector<uint8_t>{0x11, 0x22, 0x33}));
    EXPECT_EQ(texture.Format, TextureFormat::C8888);

    // Written in another format or with other levels than it was kept for, the texture gets the
    // raster format of what it now is.
    entry.Output.Format = TextureFormat::C565;
    EXPECT_EQ(Build().Textures.at(0).RasterFormat, 0x0200u);
    entry.Output.Format = TextureFormat::C8888;
    entry.Output.Mipmaps = true;
    EXPECT_EQ(Build().Textures.at(0).RasterFormat, 0x8500u);

    // A word whose mipmap bit does not say the levels stands for the level count it was kept for.
    entry.Output.Mipmaps = false;
    entry.Output.RasterFormat = 0x8500;
    EXPECT_EQ(Build().Textures.at(0).RasterFormat, 0x0500u);
    entry.Output.RasterLevels = 1;
    EXPECT_EQ(Build().Textures.at(0).RasterFormat, 0x8500u);
    entry.Output.Mipmaps = true;
    EXPECT_EQ(Build().Textures.at(0).LevelPixels.size(), 5u);
    EXPECT_EQ(Build().Textures.at(0).RasterFormat, 0x8500u);
    entry.Output.RasterFormat = 0x0500;
    EXPECT_EQ(Build().Textures.at(0).RasterFormat, 0x8500u);
}

TEST_F(TxdOutputTest, DdsLevelsAreWrittenAsTheyAreStored) {
    // DXT1 8 × 4 with its chain: 8 × 4, 4 × 2, 2 × 1, 1 × 1, one block of 8 bytes from the second on.
    const DdsImage dxt{.Format = TextureFormat::Dxt1,
                       .Width = 8,
                       .Height = 4,
                       .Levels = {test::PatternBytes(16, 1), test::PatternBytes(8, 2), test::PatternBytes(8, 3),
                                  test::PatternBytes(8, 4)}};
    const DdsImage paletted{.Format = TextureFormat::Pal8,
                            .Width = 4,
                            .Height = 4,
                            .Palette = test::PatternBytes(1024, 5),
                            .Levels = {test::PatternBytes(16, 6), test::PatternBytes(4, 7), test::PatternBytes(1, 8)}};
    for (const DdsImage& dds : {dxt, paletted}) {
        for (const bool mipmaps : {false, true}) {
            SCOPED_TRACE(std::string(TextureFormatName(dds.Format)) + (mipmaps ? " with mipmaps" : ""));
            workspace.TexList.clear();
            AddFile(workspace, dir.Write("stored.dds", EncodeDds(dds)), true);
            ASSERT_EQ(workspace.Intake.ProblemText, "");
            workspace.TexList[0].Output.Mipmaps = mipmaps;
            const TxdTexture texture = Build().Textures.at(0);
            EXPECT_EQ(texture.Format, dds.Format);
            // The file's own levels are kept whether or not mipmaps are asked for.
            ASSERT_EQ(texture.LevelPixels.size(), dds.Levels.size());
            for (size_t level = 0; level < texture.LevelPixels.size(); ++level) {
                const ByteRange range = texture.LevelPixels[level];
                EXPECT_EQ(std::vector<uint8_t>(built.begin() + static_cast<ptrdiff_t>(range.Offset),
                                               built.begin() + static_cast<ptrdiff_t>(range.Offset + range.Size)),
                          dds.Levels[level]);
            }
            if (dds.Format == TextureFormat::Pal8) {
                EXPECT_EQ(std::vector<uint8_t>(built.begin() + static_cast<ptrdiff_t>(texture.Palette.Offset),
                                               built.begin() + static_cast<ptrdiff_t>(texture.Palette.Offset + 1024)),
                          dds.Palette);
                // Its palette's fourth bytes are not all 255: the texture has alpha.
                EXPECT_EQ(texture.AlphaFlag, 1u);
                EXPECT_EQ(texture.RasterFormat, 0xA500u);
            } else {
                EXPECT_EQ(texture.AlphaFlag, 0u);
                EXPECT_EQ(texture.RasterFormat, 0x8200u);
            }
        }
    }
}

// Asked for mipmaps, a DDS of one level gets a whole chain made from its picture; one with levels
// of its own keeps them as stored, also a chain cut short, as dictionaries taken apart hold them.
TEST_F(TxdOutputTest, ADdsOfOneLevelGetsAWholeChainAndOneWithLevelsKeepsThem) {
    const std::vector<uint8_t> top = test::PatternBytes(8 * 8 * 4, 1);
    const std::vector<std::vector<uint8_t>> chain = {top, test::PatternBytes(4 * 4 * 4, 2), test::PatternBytes(16, 3),
                                                     test::PatternBytes(4, 4)};
    for (const size_t stored : {1, 2, 4}) {
        SCOPED_TRACE(std::to_string(stored) + " levels stored");
        const DdsImage dds{.Format = TextureFormat::C8888,
                           .Width = 8,
                           .Height = 8,
                           .Levels = {chain.begin(), chain.begin() + static_cast<ptrdiff_t>(stored)}};
        workspace.TexList.clear();
        AddFile(workspace, dir.Write("stored.dds", EncodeDds(dds)), true);
        ASSERT_EQ(workspace.Intake.ProblemText, "");
        workspace.TexList[0].Output.Mipmaps = true;
        const TxdTexture texture = Build().Textures.at(0);
        ASSERT_EQ(texture.LevelPixels.size(), stored == 1 ? 4u : stored);
        for (size_t level = 0; level < stored; ++level) {
            const ByteRange range = texture.LevelPixels[level];
            EXPECT_EQ(std::vector<uint8_t>(built.begin() + static_cast<ptrdiff_t>(range.Offset),
                                           built.begin() + static_cast<ptrdiff_t>(range.Offset + range.Size)),
                      chain[level]);
        }
    }
}

TEST_F(TxdOutputTest, ADdsIsDecodedOnlyForAnotherFormatOrAnAlphaImage) {
    std::vector<uint8_t> pixels;
    for (size_t i = 0; i < 16; ++i) {
        pixels.insert(pixels.end(), {static_cast<uint8_t>(i * 16), 100, 200, static_cast<uint8_t>(255 - i)});
    }
    const std::vector<uint8_t> stored =
        EncodeDds({.Format = TextureFormat::C8888, .Width = 4, .Height = 4, .Levels = {pixels}});
    AddFile(workspace, dir.Write("c.dds", stored), true);
    AddFile(workspace, dir.Write("other.dds", stored), true);
    ASSERT_EQ(workspace.TexList.size(), 2u);
    workspace.TexList[1].Output.Format = TextureFormat::C4444;
    TTexFile masked = workspace.TexList[0];
    masked.TexName = "masked";
    masked.HasAlpha = true;
    masked.AlphaName = "m";
    masked.AlphaPath = dir.Write(
        "m.bmp", test::MakePalettedBmp(4, 4, test::GreyPalette(256), [](int x, int) { return uint8_t(x * 80); }));
    workspace.TexList.push_back(masked);
    const TxdContents contents = Build();
    ASSERT_EQ(contents.Textures.size(), 3u);
    EXPECT_EQ(RgbaToBgra(DecodeTexture(built, contents.Textures[0]).Rgba), pixels);
    EXPECT_EQ(contents.Textures[1].Format, TextureFormat::C4444);
    EXPECT_GE(test::Psnr(RgbaToBgra(DecodeTexture(built, contents.Textures[1]).Rgba), pixels, 4), 30);
    const std::vector<uint8_t> merged = DecodeTexture(built, contents.Textures[2]).Rgba;
    for (size_t k = 0; k < 16; ++k) {
        EXPECT_EQ(merged[4 * k + 3], (k % 4) * 80) << "pixel " << k;
        EXPECT_EQ(merged[4 * k + 2], pixels[4 * k]) << "pixel " << k;
    }
}

}  // namespace
}  // namespace vc
