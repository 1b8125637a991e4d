// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <tuple>
#include <vector>

#include "image_files.h"
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "rw/game_target.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"

namespace vc {

void PrintTo(const GameTarget& target, std::ostream* out) {
    *out << target.Name;
}

namespace {

constexpr uint32_t FourCc(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
           uint32_t(uint8_t(code[3])) << 24;
}

// What a native of each format says of itself, as the layouts define it (librw's readers of
// Direct3D 8 and 9 natives, the modding wiki's texture native page), spelled out apart from the
// writer: the Direct3D 9 surface format, the raster format's pixel and palette bits, the depth,
// whether an image with alpha keeps it, the DXT number, and the size of the 8 × 8 picture.
struct LaidOutFormat {
    TextureFormat Format;
    uint32_t SurfaceFormat;
    uint32_t RasterBits;
    uint8_t Depth;
    bool Alpha;
    uint8_t Dxt;
    uint32_t PictureSize;
};
// clang-format off
const LaidOutFormat kLaidOutFormats[] = {
    {TextureFormat::Pal8,  41,           0x2500, 8,  true,  0, 64},
    {TextureFormat::Pal4,  41,           0x4500, 4,  true,  0, 64},
    {TextureFormat::C8888, 21,           0x0500, 32, true,  0, 256},
    {TextureFormat::C888,  22,           0x0600, 32, false, 0, 256},
    {TextureFormat::C1555, 25,           0x0100, 16, true,  0, 128},
    {TextureFormat::C565,  23,           0x0200, 16, false, 0, 128},
    {TextureFormat::C4444, 26,           0x0300, 16, true,  0, 128},
    {TextureFormat::C555,  24,           0x0A00, 16, false, 0, 128},
    {TextureFormat::Lum8,  50,           0x0400, 8,  false, 0, 64},
    {TextureFormat::Dxt1,  FourCc("DXT1"), 0x0100, 16, true,  1, 32},
    {TextureFormat::Dxt3,  FourCc("DXT3"), 0x0300, 16, true,  3, 64},
    {TextureFormat::Dxt5,  FourCc("DXT5"), 0x0300, 16, true,  5, 64},
};
// clang-format on

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes.at(offset) | bytes.at(offset + 1) << 8 | bytes.at(offset + 2) << 16 |
           uint32_t(bytes.at(offset + 3)) << 24;
}
uint16_t U16At(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint16_t>(bytes.at(offset) | bytes.at(offset + 1) << 8);
}

void PrintTo(const LaidOutFormat& format, std::ostream* out) {
    *out << TextureFormatName(format.Format);
}

class GameFormats : public testing::TestWithParam<std::tuple<GameTarget, LaidOutFormat>> {};

// One translucent 8 × 8 image written in each format for each game, with mipmaps: read back by the
// layouts' offsets, the dictionary and its native carry the game's stamp, device id and platform,
// and the platform's own words for the format, alpha and levels.
TEST_P(GameFormats, EachFormatIsLaidOutAsTheGameReadsIt) {
    const auto& [target, laidOut] = GetParam();
    test::TempDir dir;
    test::PngFields png{.Width = 8, .Height = 8, .Colour = test::PngColour::Rgba};
    for (uint16_t i = 0; i < 64; ++i) {
        png.Samples.insert(png.Samples.end(),
                           {uint16_t(i * 4), uint16_t(255 - i), uint16_t(i * 3 % 256), uint16_t(i % 2 ? 255 : 96)});
    }
    Workspace workspace;
    AddFile(workspace, dir.Write("t.png", test::MakePng(png)), true);
    ASSERT_EQ(workspace.TexList.size(), 1u) << workspace.Intake.ProblemText;
    workspace.TexList[0].Output.Format = laidOut.Format;
    workspace.TexList[0].Output.Mipmaps = true;
    const std::vector<uint8_t> bytes = BuildTxd(workspace, {.Target = target.Id}).Bytes;

    const bool direct3d9 = target.Platform == TxdPlatform::Direct3D9;
    // The dictionary's header and data; the texture native and its data chunk; then its fields.
    EXPECT_EQ(U32At(bytes, 8), target.Stamp);
    EXPECT_EQ(U16At(bytes, 24), 1u);
    EXPECT_EQ(U16At(bytes, 26), target.DeviceId);
    EXPECT_EQ(U32At(bytes, 28), 0x15u);
    EXPECT_EQ(U32At(bytes, 36), target.Stamp);
    constexpr size_t kFields = 52;
    EXPECT_EQ(U32At(bytes, kFields), direct3d9 ? 9u : 8u);
    EXPECT_EQ(U32At(bytes, kFields + 4), 0x1106u) << "a mipmapped texture filters between its levels";
    EXPECT_EQ(bytes.at(kFields + 8), 't');
    EXPECT_EQ(U32At(bytes, kFields + 72), laidOut.RasterBits | 0x8000u);
    EXPECT_EQ(U32At(bytes, kFields + 76), direct3d9 ? laidOut.SurfaceFormat : uint32_t{laidOut.Alpha});
    EXPECT_EQ(U16At(bytes, kFields + 80), 8u);
    EXPECT_EQ(U16At(bytes, kFields + 82), 8u);
    EXPECT_EQ(bytes.at(kFields + 84), laidOut.Depth);
    EXPECT_EQ(bytes.at(kFields + 85), 4u);
    EXPECT_EQ(bytes.at(kFields + 86), 4u) << "the raster type of a texture";
    const uint8_t flagsByte = static_cast<uint8_t>((laidOut.Alpha ? 1 : 0) | (laidOut.Dxt != 0 ? 8 : 0));
    EXPECT_EQ(bytes.at(kFields + 87), direct3d9 ? flagsByte : laidOut.Dxt);
    const size_t palette = laidOut.Format == TextureFormat::Pal8   ? 1024
                           : laidOut.Format == TextureFormat::Pal4 ? 128
                                                                   : 0;
    EXPECT_EQ(U32At(bytes, kFields + 88 + palette), laidOut.PictureSize);

    const TxdContents contents = ReadTxd(bytes);
    ASSERT_EQ(contents.Textures.size(), 1u);
    EXPECT_EQ(contents.Textures[0].Format, laidOut.Format) << contents.Textures[0].Problem;
}

INSTANTIATE_TEST_SUITE_P(EveryGameAndFormat, GameFormats,
                         testing::Combine(testing::ValuesIn(kGameTargets), testing::ValuesIn(kLaidOutFormats)),
                         [](const testing::TestParamInfo<GameFormats::ParamType>& param) {
                             return std::string(std::get<0>(param.param).Key) + "_" +
                                    std::string(TextureFormatName(std::get<1>(param.param).Format));
                         });

// The default build, with no game, stays the first choice's: Direct3D 8 natives stamped 3.3.0.2
// for no device, byte for byte what GTA III's target writes.
TEST(GameTargets, NoGameWritesWhatGtaIiiDoes) {
    test::TempDir dir;
    Workspace workspace;
    AddFile(workspace,
            dir.Write("a.bmp", test::MakePalettedBmp(4, 4, test::GreyPalette(4), [](int x, int) { return x; })), true);
    EXPECT_EQ(BuildTxd(workspace, {}).Bytes, BuildTxd(workspace, {.Target = Game::Gta3}).Bytes);
}

TEST(GameTargets, KeysNameTheGamesInAnyLetterCase) {
    EXPECT_EQ(GameNamed("SA"), Game::SanAndreas);
    EXPECT_EQ(GameNamed("vc"), Game::ViceCity);
    EXPECT_EQ(GameNamed("iii"), Game::Gta3);
    EXPECT_EQ(GameNamed("gta3"), std::nullopt);
    EXPECT_EQ(GameNamed(""), std::nullopt);
}

}  // namespace
}  // namespace vc
