// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "raster/texture_decoder.h"
#include "rw/native_picture.h"
#include "rw/txd_reader.h"
#include "txd_chunks.h"

namespace vc {
namespace {

using test::Bytes;
using test::NativeFields;

constexpr uint32_t kD3d8 = 8;
constexpr uint32_t kD3d9 = 9;

std::vector<uint8_t> Rgba(std::initializer_list<RgbaColour> pixels) {
    std::vector<uint8_t> bytes;
    bytes.reserve(4 * pixels.size());
    for (const RgbaColour& pixel : pixels) {
        for (const uint8_t channel : {pixel.Red, pixel.Green, pixel.Blue, pixel.Alpha}) {
            bytes.push_back(channel);
        }
    }
    return bytes;
}

// Reads a dictionary of the one texture and decodes it; the texture must be readable.
struct ReadBack {
    TxdTexture Texture;
    DecodedTexture Decoded;
};
ReadBack ReadOne(const NativeFields& fields) {
    const Bytes file = test::Dictionary({test::TextureNative(fields)});
    const TxdContents contents = ReadTxd(file);
    EXPECT_EQ(contents.Textures.size(), 1u);
    const TxdTexture& texture = contents.Textures.at(0);
    EXPECT_EQ(texture.Problem, "");
    return {texture, DecodeTexture(file, texture)};
}

// A direct colour format: how both platforms name it, two pixels in it and what they decode to.
struct DirectCase {
    const char* Name;
    uint32_t RasterFormat;
    uint32_t D3dFormat;
    Bytes Pixels;
    std::vector<uint8_t> Decoded;
};

std::vector<DirectCase> DirectCases() {
    // clang-format off
    return {
        {"8888", 0x0500, 21, {0x10, 0x20, 0x30, 0x40,  0xFF, 0x00, 0x80, 0x00},  // blue, green, red, alpha
                             Rgba({{0x30, 0x20, 0x10, 0x40}, {0x80, 0x00, 0xFF, 0x00}})},
        {"888",  0x0600, 22, {0x10, 0x20, 0x30, 0x00,  0xFF, 0x00, 0x80, 0x7F},  // the fourth byte is unused
                             Rgba({{0x30, 0x20, 0x10, 255}, {0x80, 0x00, 0xFF, 255}})},
        {"1555", 0x0100, 25, {0x00, 0xFC,  0x00, 0x02},  // 0xFC00: alpha, red 31; 0x0200: green 16, no alpha
                             Rgba({{255, 0, 0, 255}, {0, 132, 0, 0}})},
        {"565",  0x0200, 23, {0xE0, 0x07,  0x41, 0x08},  // 0x07E0: green 63; 0x0841: 1, 2, 1
                             Rgba({{0, 255, 0, 255}, {8, 8, 8, 255}})},
        {"4444", 0x0300, 26, {0x34, 0x12,  0xF0, 0x0F},  // 0x1234: alpha 1, red 2, green 3, blue 4
                             Rgba({{34, 51, 68, 17}, {255, 255, 0, 0}})},
        {"555",  0x0A00, 24, {0x00, 0x7C,  0x1F, 0x80},  // 0x7C00: red 31; 0x801F: blue 31, top bit unused
                             Rgba({{255, 0, 0, 255}, {0, 0, 255, 255}})},
        {"LUM8", 0x0400, 50, {0x00, 0x9A},
                             Rgba({{0, 0, 0, 255}, {0x9A, 0x9A, 0x9A, 255}})},
    };
    // clang-format on
}

TEST(TxdTexture, EveryDirectFormatOfBothPlatformsDecodesToRgba) {
    for (const DirectCase& test : DirectCases()) {
        for (const uint32_t platform : {kD3d8, kD3d9}) {
            SCOPED_TRACE(std::string(test.Name) + " on platform " + std::to_string(platform));
            const NativeFields fields{.Platform = platform,
                                      .Name = "wall",
                                      .RasterFormat = test.RasterFormat,
                                      .AlphaOrD3dFormat = platform == kD3d9 ? test.D3dFormat : 0,
                                      .Width = 2,
                                      .Height = 1,
                                      .LevelPixels = {test.Pixels}};
            const ReadBack read = ReadOne(fields);
            ASSERT_TRUE(read.Texture.Format);
            EXPECT_EQ(TextureFormatName(*read.Texture.Format), test.Name);
            EXPECT_EQ(read.Texture.Name, "wall");
            EXPECT_EQ(read.Decoded.Width, 2);
            EXPECT_EQ(read.Decoded.Height, 1);
            EXPECT_EQ(read.Decoded.Rgba, test.Decoded);
            EXPECT_TRUE(read.Decoded.Palette.empty());
        }
    }
}

TEST(TxdTexture, Direct3D9WithoutASurfaceFormatIsReadByItsRasterFormat) {
    const NativeFields fields{.Platform = kD3d9,
                              .RasterFormat = 0x0200,  // 565
                              .Width = 1,
                              .Height = 1,
                              .LevelPixels = {{0x1F, 0x00}}};
    const ReadBack read = ReadOne(fields);
    EXPECT_EQ(read.Texture.Format, TextureFormat::C565);
    EXPECT_EQ(read.Decoded.Rgba, Rgba({{0, 0, 255, 255}}));
}

// A 256-entry palette whose entry i is (i, 255 - i, 7, alpha i / 2).
Bytes Palette(size_t entries) {
    Bytes palette;
    for (size_t i = 0; i < entries; ++i) {
        palette.insert(palette.end(), {uint8_t(i), uint8_t(255 - i), 7, uint8_t(i / 2)});
    }
    return palette;
}

TEST(TxdTexture, Pal8KeepsThePaletteAndIndicesOnBothPlatforms) {
    for (const uint32_t platform : {kD3d8, kD3d9}) {
        for (const bool alpha : {true, false}) {
            SCOPED_TRACE(std::to_string(platform) + (alpha ? " with alpha" : " without alpha"));
            const NativeFields fields{.Platform = platform,
                                      .RasterFormat = alpha ? 0x2500u : 0x2600u,
                                      .AlphaOrD3dFormat = platform == kD3d9 ? 41u : alpha,  // Direct3D 9: P8
                                      .Width = 3,
                                      .Height = 2,
                                      .Depth = 8,
                                      .CompressionOrFlags = static_cast<uint8_t>(platform == kD3d9 && alpha),
                                      .Palette = Palette(256),
                                      .LevelPixels = {{0, 1, 200, 255, 3, 3}}};
            const ReadBack read = ReadOne(fields);
            EXPECT_EQ(read.Texture.Format, TextureFormat::Pal8);
            EXPECT_EQ(read.Texture.HasAlpha(), alpha);
            ASSERT_EQ(read.Decoded.Palette.size(), 256u);
            // Entry i's alpha is i / 2 where the texture has alpha, opaque where it has none.
            const auto a = [&](uint8_t entry) { return alpha ? uint8_t(entry / 2) : uint8_t{255}; };
            EXPECT_EQ(read.Decoded.Palette[200], (RgbaColour{200, 55, 7, a(200)}));
            EXPECT_EQ(read.Decoded.Indices, (std::vector<uint8_t>{0, 1, 200, 255, 3, 3}));
            EXPECT_EQ(read.Decoded.Rgba, Rgba({{0, 255, 7, a(0)},
                                               {1, 254, 7, a(1)},
                                               {200, 55, 7, a(200)},
                                               {255, 0, 7, a(255)},
                                               {3, 252, 7, a(3)},
                                               {3, 252, 7, a(3)}}));
        }
    }
}

TEST(TxdTexture, Pal4ReadsAPaletteOf32EntriesAndUsesSixteen) {
    for (const uint32_t platform : {kD3d8, kD3d9}) {
        SCOPED_TRACE(platform);
        const NativeFields fields{.Platform = platform,
                                  .Name = "grid",
                                  .RasterFormat = 0x4500,
                                  .Width = 4,
                                  .Height = 1,
                                  .Depth = 4,
                                  .Palette = Palette(32),
                                  .LevelPixels = {{15, 0, 1, 9}},
                                  .Extension = {0xAB}};
        const ReadBack read = ReadOne(fields);
        EXPECT_EQ(read.Texture.Format, TextureFormat::Pal4);
        EXPECT_EQ(read.Texture.Palette.Size, 128u);
        ASSERT_EQ(read.Decoded.Palette.size(), 16u);
        EXPECT_EQ(read.Decoded.Palette[15], (RgbaColour{15, 240, 7, 7}));
        EXPECT_EQ(read.Decoded.Indices, (std::vector<uint8_t>{15, 0, 1, 9}));
        EXPECT_EQ(read.Decoded.Rgba, Rgba({{15, 240, 7, 7}, {0, 255, 7, 0}, {1, 254, 7, 0}, {9, 246, 7, 4}}));
        // Had the palette been read as 16 entries, the levels and the extension would be misplaced.
        EXPECT_EQ(read.Texture.Extension, Bytes{0xAB});
    }
}

// Known DXT blocks whose every colour and alpha is exact in any decoder.
// clang-format off
const Bytes kDxt1FourColours = {
    0xFF, 0xFF,  0x00, 0x00,  // colour 0 white, colour 1 black: four-colour mode
    0xE4, 0x00, 0x00, 0x00,   // row 0 indices 0, 1, 2, 3; the other rows 0
};
const Bytes kDxt1ThreeColours = {
    0x00, 0x00,  0x41, 0x08,  // colour 0 black, colour 1 (8, 8, 8): colour 0 <= colour 1, three colours and clear
    0xE4, 0x00, 0x00, 0x00,
};
const Bytes kDxt3Block = {
    0x10, 0x32, 0x54, 0x76, 0x98, 0xBA, 0xDC, 0xFE,  // pixel i has alpha i of 15
    0x00, 0xF8,  0x1F, 0x00,  0x00, 0x00, 0x00, 0x00,  // red over blue, every index 0
};
const Bytes kDxt5SevenAlphas = {
    238, 0,  0x88, 0xC6, 0xFA, 0x88, 0xC6, 0xFA,  // alpha 238 over 0, pixel i takes alpha index i % 8
    0xE0, 0x07,  0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  // green, every index 0
};
const Bytes kDxt5FiveAlphas = {
    0, 255,  0x77, 0x39, 0x05, 0x77, 0x39, 0x05,  // alpha 0 under 255, pixel i takes alpha index (15 - i) % 8
    0x1F, 0x00,  0x00, 0x00,  0x00, 0x00, 0x00, 0x00,  // blue over black, every index 0
};
// clang-format on

// The pixels of a 4 × 4 block, row by row, from a function of the pixel's number.
template <typename Pixel>
std::vector<uint8_t> BlockPixels(Pixel pixel) {
    std::vector<uint8_t> bytes;
    for (int i = 0; i < 16; ++i) {
        const RgbaColour colour = pixel(i);
        bytes.insert(bytes.end(), {colour.Red, colour.Green, colour.Blue, colour.Alpha});
    }
    return bytes;
}

struct DxtCase {
    const char* Name;
    uint8_t Compression;  // Direct3D 8
    uint32_t FourCc;      // Direct3D 9
    Bytes Block;
    std::vector<uint8_t> Decoded;
};

std::vector<DxtCase> DxtCases() {
    const RgbaColour white{255, 255, 255, 255};
    const std::vector<RgbaColour> fourColours = {white, {0, 0, 0, 255}, {170, 170, 170, 255}, {85, 85, 85, 255}};
    const std::vector<RgbaColour> threeColours = {{0, 0, 0, 255}, {8, 8, 8, 255}, {4, 4, 4, 255}, {0, 0, 0, 0}};
    const uint8_t sevenAlphas[] = {238, 0, 204, 170, 136, 102, 68, 34};
    const uint8_t fiveAlphas[] = {0, 255, 51, 102, 153, 204, 0, 255};
    return {
        {"DXT1", 1, 0x31545844, kDxt1FourColours,
         BlockPixels([&](int i) { return i < 4 ? fourColours[i] : fourColours[0]; })},
        {"DXT1", 1, 0x31545844, kDxt1ThreeColours,
         BlockPixels([&](int i) { return i < 4 ? threeColours[i] : threeColours[0]; })},
        {"DXT3", 3, 0x33545844, kDxt3Block, BlockPixels([](int i) {
             return RgbaColour{255, 0, 0, uint8_t(i * 17)};
         })},
        {"DXT5", 5, 0x35545844, kDxt5SevenAlphas, BlockPixels([&](int i) {
             return RgbaColour{0, 255, 0, sevenAlphas[i % 8]};
         })},
        {"DXT5", 5, 0x35545844, kDxt5FiveAlphas, BlockPixels([&](int i) {
             return RgbaColour{0, 0, 255, fiveAlphas[(15 - i) % 8]};
         })},
    };
}

TEST(TxdTexture, DxtBlocksOfBothPlatformsDecodeToTheirKnownPixels) {
    for (const DxtCase& test : DxtCases()) {
        for (const uint32_t platform : {kD3d8, kD3d9}) {
            SCOPED_TRACE(std::string(test.Name) + " on platform " + std::to_string(platform));
            const NativeFields fields{
                .Platform = platform,
                .RasterFormat = test.FourCc == 0x31545844 ? 0x0200u : 0x0300u,
                .AlphaOrD3dFormat = platform == kD3d9 ? test.FourCc : 1,
                .Width = 4,
                .Height = 4,
                .Depth = 16,
                .CompressionOrFlags = platform == kD3d9 ? uint8_t{0x09} : test.Compression,  // alpha, compressed
                .LevelPixels = {test.Block}};
            const ReadBack read = ReadOne(fields);
            ASSERT_TRUE(read.Texture.Format);
            EXPECT_EQ(TextureFormatName(*read.Texture.Format), test.Name);
            EXPECT_EQ(read.Decoded.Rgba, test.Decoded);
        }
    }
}

// A green block beside a blue one, with alphas that differ from pixel to pixel, so that each
// decoded pixel shows which block and which place in it it came from.
TEST(TxdTexture, DxtBlocksAreLaidOutRowByRowAndCutToTheTexturesSize) {
    const NativeFields fields{.RasterFormat = 0x0300,
                              .Width = 6,   // two blocks across, the second cut to 2 columns
                              .Height = 2,  // one block down, cut to 2 rows
                              .CompressionOrFlags = 5,
                              .LevelPixels = {test::Join({kDxt5SevenAlphas, kDxt5FiveAlphas})}};
    const ReadBack read = ReadOne(fields);
    ASSERT_EQ(read.Decoded.Rgba.size(), 6u * 2 * 4);
    const uint8_t sevenAlphas[] = {238, 0, 204, 170, 136, 102, 68, 34};
    const uint8_t fiveAlphas[] = {0, 255, 51, 102, 153, 204, 0, 255};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 6; ++x) {
            SCOPED_TRACE(std::to_string(x) + ", " + std::to_string(y));
            const size_t at = 4 * (size_t(y) * 6 + x);
            const std::vector<uint8_t> pixel(read.Decoded.Rgba.begin() + at, read.Decoded.Rgba.begin() + at + 4);
            const int inBlock = y * 4 + x % 4;
            const std::vector<uint8_t> expected = x < 4 ? Rgba({{0, 255, 0, sevenAlphas[inBlock % 8]}})
                                                        : Rgba({{0, 0, 255, fiveAlphas[(15 - inBlock) % 8]}});
            EXPECT_EQ(pixel, expected);
        }
    }
}

TEST(TxdTexture, MipChainsDownToOnePixelAreReadAndChecked) {
    // 8888 with mipmaps: 8 × 2, 4 × 1, 2 × 1, 1 × 1
    const NativeFields fields{.RasterFormat = 0x8500,
                              .Width = 8,
                              .Height = 2,
                              .LevelPixels = {Bytes(64, 0x11), Bytes(16, 0x22), Bytes(8, 0x33), Bytes(4, 0x44)}};
    const Bytes file = test::Dictionary({test::TextureNative(fields)});
    const TxdTexture texture = ReadTxd(file).Textures.at(0);
    EXPECT_EQ(texture.Problem, "");
    EXPECT_EQ(texture.Levels, 4);
    ASSERT_EQ(texture.LevelPixels.size(), 4u);
    size_t offset = 12 + 12 + 4 + 12 + 12 + 88 + 4;  // headers, count and device id, fixed fields, size
    for (size_t level = 0; level < 4; ++level) {
        SCOPED_TRACE(level);
        EXPECT_EQ(texture.LevelPixels[level].Offset, offset);
        EXPECT_EQ(texture.LevelPixels[level].Size, fields.LevelPixels[level].size());
        EXPECT_EQ(size_t{file.at(offset)}, 0x11 * (level + 1));
        offset += fields.LevelPixels[level].size() + 4;
    }
    // The picture is the first level only.
    EXPECT_EQ(DecodeTexture(file, texture).Rgba, std::vector<uint8_t>(64, 0x11));
}

TEST(TxdTexture, DxtMipChainsCountWholeBlocksDownToOnePixel) {
    NativeFields fields{.Platform = kD3d9,
                        .RasterFormat = 0x8200,
                        .AlphaOrD3dFormat = 0x31545844,
                        .Width = 16,
                        .Height = 4,
                        .CompressionOrFlags = 0x08};
    // 16 × 4 in 4 blocks, 8 × 2 in 2; 4 × 1, 2 × 1 and 1 × 1 in one block each
    fields.LevelPixels = {test::Join({kDxt1FourColours, kDxt1FourColours, kDxt1FourColours, kDxt1FourColours}),
                          test::Join({kDxt1FourColours, kDxt1FourColours}), kDxt1FourColours, kDxt1ThreeColours,
                          kDxt1ThreeColours};
    const ReadBack read = ReadOne(fields);
    EXPECT_EQ(read.Texture.LevelPixels.size(), 5u);
    EXPECT_EQ(read.Decoded.Rgba.size(), 16u * 4 * 4);
}

}  // namespace
}  // namespace vc
