// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

#include "io/error.h"
#include "raster/texture_decoder.h"
#include "rw/native_picture.h"
#include "rw/txd_reader.h"
#include "thrown_error.h"
#include "txd_chunks.h"

namespace vc {
namespace {

using test::Bytes;
using test::NativeFields;

NativeFields Good(std::string name) {
    return {.Name = std::move(name), .RasterFormat = 0x0600, .Width = 2, .Height = 2, .LevelPixels = {Bytes(16, 0x80)}};
}

std::string ErrorOf(const Bytes& file) {
    const test::Thrown thrown = test::ThrownBy([&] { ReadTxd(file); });
    EXPECT_EQ(thrown.Kind, ErrorKind::Malformed) << thrown.Message;
    return thrown.Message;
}

// The problem the one texture of a dictionary made of fields has, after the texture's offset.
std::string ProblemOf(const NativeFields& fields) {
    const Bytes file = test::Dictionary({test::TextureNative(fields)});
    const TxdContents contents = ReadTxd(file);
    EXPECT_EQ(contents.Textures.size(), 1u);
    const TxdTexture& texture = contents.Textures.at(0);
    EXPECT_FALSE(texture.Format);
    EXPECT_EQ(test::ErrorText([&] { DecodeTexture(file, texture); }), texture.Problem) << "a texture not read decodes";
    return texture.Problem;
}

TEST(TxdRefusal, TexturesThatCannotBeReadAreReportedAndTheRestIsRead) {
    NativeFields ps2 = Good("ps2");
    ps2.Platform = 0x00325350;  // "PS2\0"
    NativeFields unknown = Good("unknown");
    unknown.Platform = 9;
    unknown.AlphaOrD3dFormat = 77;
    NativeFields premultiplied = Good("premultiplied");
    premultiplied.CompressionOrFlags = 2;
    NativeFields cut = Good("cut");
    cut.Levels = 2;  // the second level is missing
    const Bytes file =
        test::Dictionary({test::TextureNative(ps2), test::TextureNative(unknown), test::TextureNative(premultiplied),
                          test::TextureNative(cut), test::TextureNative(Good("last"))});
    const TxdContents contents = ReadTxd(file);
    ASSERT_EQ(contents.Textures.size(), 5u);
    const std::string size = std::to_string(file.size());
    // clang-format off
    const std::string expected[] = {
        "Texture dictionary is not valid at byte 56 of " + size +
            ": the texture is of platform 3298128 (0x00325350), not of Direct3D 8 (8) or Direct3D 9 (9)",
        "Texture dictionary is not valid at byte 284 of " + size +
            ": Direct3D format 77 (0x0000004D) is not one this reader knows",
        "Texture dictionary is not valid at byte 428 of " + size + ": DXT2 (premultiplied alpha) is not supported",
        "Texture dictionary is not valid at byte 592 of " + size + ": needs 4 bytes but only 0 are left",
    };
    // clang-format on
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(contents.Textures[i].Problem, expected[i]) << i;
        EXPECT_FALSE(contents.Textures[i].Format) << i;
    }
    EXPECT_EQ(contents.Textures[1].Name, "unknown");  // what was read before the problem is kept
    const TxdTexture& last = contents.Textures[4];
    EXPECT_EQ(last.Name, "last");
    EXPECT_EQ(last.Problem, "");
    EXPECT_EQ(DecodeTexture(file, last).Rgba.size(), 16u);
}

TEST(TxdRefusal, ContentThatDoesNotFitItsFormatIsNamed) {
    struct Case {
        std::string Problem;  // part of the problem reported
        std::function<void(NativeFields&)> Damage;
    };
    // clang-format off
    const Case cases[] = {
        {"mipmap level 0 holds 16 bytes where 8 × 8 pixels of DXT1 need 32",  // two of the four blocks
         [](NativeFields& f) { f.CompressionOrFlags = 1; f.Width = 8; f.Height = 8; f.LevelPixels = {Bytes(16)}; }},
        {"mipmap level 2 holds 2 bytes where 1 × 1 pixels of 888 need 4",
         [](NativeFields& f) { f.Width = 4; f.Height = 4; f.LevelPixels = {Bytes(64), Bytes(16), Bytes(2)}; }},
        {"needs 4 bytes but only 0 are left", [](NativeFields& f) { f.Levels = 2; }},  // levels past the data
        {"the texture has 200 levels, more than the 2 of a whole chain from 2 × 2",
         [](NativeFields& f) { f.Levels = 200; }},
        {"the PAL8 palette of 256 entries needs 1024 bytes but only 100 follow",
         [](NativeFields& f) { f.RasterFormat = 0x2500; f.Palette = Bytes(100); f.LevelPixels = {}; f.Levels = 1; }},
        {"pixel 2 of the picture indexes colour 16 of a PAL4 palette, which has 16",
         [](NativeFields& f) { f.RasterFormat = 0x4500; f.Palette = Bytes(128); f.LevelPixels = {{1, 2, 16, 3}}; }},
        {"the texture has no pixels: 0 × 2", [](NativeFields& f) { f.Width = 0; }},
        {"the texture has no levels", [](NativeFields& f) { f.LevelPixels = {}; }},
        {"cube texture",
         [](NativeFields& f) { f.Platform = 9; f.AlphaOrD3dFormat = 22; f.CompressionOrFlags = 0x02; }},
        {"raster format 0x6500 asks for both PAL8 and PAL4", [](NativeFields& f) { f.RasterFormat = 0x6500; }},
        {"gives palette entries of no known form (0x0100)", [](NativeFields& f) { f.RasterFormat = 0x2100; }},
        {"raster format 0x0700 names no pixel format this reader knows",
         [](NativeFields& f) { f.RasterFormat = 0x0700; }},
        {"compression 6 is not one of DXT1 to DXT5", [](NativeFields& f) { f.CompressionOrFlags = 6; }},
    };
    // clang-format on
    for (const Case& c : cases) {
        NativeFields fields = Good("damaged");
        c.Damage(fields);
        const std::string problem = ProblemOf(fields);
        EXPECT_NE(problem.find(c.Problem), std::string::npos) << problem;
    }

    NativeFields fields = Good("short");
    fields.LevelPixels = {};
    fields.Levels = 0;
    fields.Width = 0;
    fields.Height = 0;
    const Bytes native = test::TextureNative(fields);
    // The data chunk ends inside the fixed fields: its size is sound, its content is not.
    Bytes cutFields = native;
    cutFields[4] -= 40;   // texture native size
    cutFields[16] -= 40;  // data chunk size
    cutFields.erase(cutFields.begin() + 24 + 48, cutFields.begin() + 24 + 88);
    const TxdContents contents = ReadTxd(test::Dictionary({cutFields, test::TextureNative(Good("after"))}));
    ASSERT_EQ(contents.Textures.size(), 2u);
    EXPECT_NE(contents.Textures[0].Problem.find("needs 32 bytes but only 8 are left"), std::string::npos)
        << contents.Textures[0].Problem;
    EXPECT_EQ(contents.Textures[1].Problem, "");
}

TEST(TxdRefusal, BrokenChunksEndTheFileWithAnError) {
    const Bytes good = test::TextureNative(Good("a"));
    // A count far beyond the textures present.
    EXPECT_NE(ErrorOf(test::Dictionary({good}, 0, 0x0C02FFFF, 65535))
                  .find("found chunk type 3 where a texture native chunk (type 21) belongs"),
              std::string::npos);
    // A data chunk that claims more than its texture native holds.
    Bytes overlong = good;
    overlong[16] += 13;
    EXPECT_NE(ErrorOf(test::Dictionary({overlong})).find("the data chunk declares 121 bytes but only 120 follow"),
              std::string::npos);
    // The extension chunk is missing.
    Bytes noExtension = good;
    noExtension.resize(noExtension.size() - 12);
    noExtension[4] -= 12;
    EXPECT_NE(ErrorOf(test::Dictionary({noExtension})).find("needs 4 bytes but only 0 are left"), std::string::npos);
    // A dictionary cut in a palette ends where the dictionary's own size can no longer be met.
    NativeFields paletted = Good("p");
    paletted.RasterFormat = 0x2500;
    paletted.Palette = Bytes(1024);
    paletted.LevelPixels = {Bytes(4)};
    Bytes cut = test::Dictionary({test::TextureNative(paletted)});
    cut.resize(12 + 16 + 24 + 88 + 500);
    EXPECT_EQ(ErrorOf(cut),
              "Texture dictionary is not valid at byte 12 of 640: the texture dictionary chunk declares " +
                  std::to_string(12 + 16 + 24 + 88 + 1024 + 8 + 12 + 12 - 12) + " bytes but only 628 follow");
}

// Every damage ends in textures read or refused, or in an Error; whatever reads also decodes.
TEST(TxdRefusal, RandomDamageToEveryFormatEndsInAResultOrAnError) {
    std::vector<Bytes> natives;
    const std::pair<uint32_t, uint8_t> dxts[] = {{0x31545844, 1}, {0x33545844, 3}, {0x35545844, 5}};
    for (const auto& [fourCc, compression] : dxts) {
        NativeFields d3d8 = Good("d3d8");
        d3d8.CompressionOrFlags = compression;
        d3d8.Width = 8;
        d3d8.Height = 4;
        d3d8.LevelPixels = {Bytes(compression == 1 ? 16 : 32, 0x5A), Bytes(16, 0xA5)};
        natives.push_back(test::TextureNative(d3d8));
        NativeFields d3d9 = d3d8;
        d3d9.Platform = 9;
        d3d9.AlphaOrD3dFormat = fourCc;
        d3d9.CompressionOrFlags = 0x08;
        natives.push_back(test::TextureNative(d3d9));
    }
    NativeFields pal4 = Good("pal4");
    pal4.RasterFormat = 0x4500;
    pal4.Palette = Bytes(128, 0x33);
    pal4.LevelPixels = {Bytes(4, 0x0F)};
    natives.push_back(test::TextureNative(pal4));
    NativeFields pal8 = pal4;
    pal8.RasterFormat = 0x2500;
    pal8.Palette = Bytes(1024, 0x33);
    natives.push_back(test::TextureNative(pal8));
    for (const uint32_t raster : {0x0100u, 0x0200u, 0x0300u, 0x0400u, 0x0500u, 0x0A00u}) {
        NativeFields direct = Good("direct");
        direct.RasterFormat = raster;
        natives.push_back(test::TextureNative(direct));
    }
    const Bytes txd = test::Dictionary(natives);
    std::mt19937 random(12);
    size_t decoded = 0;
    size_t refused = 0;
    size_t broken = 0;
    for (int round = 0; round < 3000; ++round) {
        Bytes bytes = txd;
        for (int i = 0; i < 4; ++i) {
            bytes[random() % bytes.size()] = static_cast<uint8_t>(random());
        }
        try {
            for (const TxdTexture& texture : ReadTxd(bytes).Textures) {
                if (texture.Format) {
                    const DecodedTexture picture = DecodeTexture(bytes, texture);
                    EXPECT_EQ(picture.Rgba.size(), size_t{4} * texture.Width * texture.Height);
                    ++decoded;
                } else {
                    ++refused;
                }
            }
        } catch (const Error&) {
            ++broken;
        }
    }
    EXPECT_GT(decoded, 0u);
    EXPECT_GT(refused, 0u);
    EXPECT_GT(broken, 0u);
}

}  // namespace
}  // namespace vc
