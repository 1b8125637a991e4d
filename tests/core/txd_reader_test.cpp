// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image_files.h"
#include "io/byte_source.h"
#include "io/error.h"
#include "ops/txd_builder.h"
#include "ops/txd_extraction.h"
#include "ops/workspace.h"
#include "raster/texture_decoder.h"
#include "rw/native_picture.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"
#include "thrown_error.h"
#include "txd_chunks.h"

namespace vc {
namespace {

std::string ErrorOf(const std::vector<uint8_t>& bytes) {
    return test::ErrorText([&] { ReadTxd(bytes); });
}

class TxdReaderTest : public testing::Test {
  protected:
    void SetUp() override {
        const auto pixel = [](int x, int y) { return static_cast<uint8_t>(x ^ y); };
        AddFile(workspace, dir.Write("brick.bmp", test::MakePalettedBmp(8, 4, test::GreyPalette(16), pixel)), true);
        const auto glass = [](int, int) { return RgbColour{1, 2, 3}; };
        AddFile(workspace, dir.Write("glass.bmp", test::MakeTrueColourBmp(4, 4, glass)), true);
        workspace.TexList[1].HasAlpha = true;
        workspace.TexList[1].AlphaName = "glässmask";
        workspace.TexList[1].AlphaPath = workspace.TexList[1].TexPath;
        txd = BuildTxd(workspace, TxdOptions{.VersionIndex = 0, .FlagIndex = 2}).Bytes;
    }

    test::TempDir dir;
    Workspace workspace;
    std::vector<uint8_t> txd;
};

TEST_F(TxdReaderTest, ReadsBackEveryFixedFieldOfABuiltDictionaryAndDecodesItsTextures) {
    const TxdContents contents = ReadTxd(txd);
    EXPECT_EQ(contents.VersionStamp, 0x0800FFFFu);
    ASSERT_EQ(contents.Textures.size(), 2u);
    const TxdTexture& brick = contents.Textures[0];
    EXPECT_EQ(brick.Name, "brick");
    EXPECT_EQ(brick.MaskName, "");
    EXPECT_EQ(brick.Width, 8);
    EXPECT_EQ(brick.Height, 4);
    EXPECT_EQ(brick.Depth, 8);
    EXPECT_EQ(brick.RasterFormat, 0x2600u);
    EXPECT_EQ(brick.Flags, 0x1106u);
    EXPECT_EQ(brick.Platform, 8u);
    const TxdTexture& glass = contents.Textures[1];
    EXPECT_EQ(glass.MaskName, "glässmask");
    EXPECT_EQ(glass.RasterFormat, 0x0500u);
    EXPECT_EQ(glass.AlphaFlag, 1u);
    EXPECT_EQ(glass.Depth, 32);

    EXPECT_EQ(contents.DeviceId, 0);
    EXPECT_EQ(brick.Format, TextureFormat::Pal8);
    EXPECT_EQ(brick.Levels, 1);
    EXPECT_EQ(brick.Extension, std::vector<uint8_t>{});
    const DecodedTexture brickPicture = DecodeTexture(txd, brick);
    ASSERT_EQ(brickPicture.Indices.size(), 32u);
    ASSERT_EQ(brickPicture.Palette.size(), 256u);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            const uint8_t index = brickPicture.Indices[size_t(y) * 8 + x];
            EXPECT_EQ(index, x ^ y) << x << ", " << y;
            const uint8_t grey = static_cast<uint8_t>(index * 255 / 15);
            EXPECT_EQ(brickPicture.Palette[index], (RgbaColour{grey, grey, grey, 255}));
        }
    }
    EXPECT_EQ(glass.Format, TextureFormat::C8888);
    const DecodedTexture glassPicture = DecodeTexture(txd, glass);
    // Its mask is the image itself, whose grey level 0.3 × 1 + 0.6 × 2 + 0.1 × 3 rounds to 2.
    std::vector<uint8_t> expected;
    for (int i = 0; i < 16; ++i) {
        expected.insert(expected.end(), {1, 2, 3, 2});
    }
    EXPECT_EQ(glassPicture.Rgba, expected);
    EXPECT_TRUE(glassPicture.Palette.empty());
}

TEST_F(TxdReaderTest, EveryTruncationIsReportedWithItsOffset) {
    for (size_t length = 0; length < txd.size(); ++length) {
        const std::vector<uint8_t> cut(txd.begin(), txd.begin() + static_cast<ptrdiff_t>(length));
        const std::string error = ErrorOf(cut);
        EXPECT_EQ(error.rfind("Texture dictionary is not valid at byte ", 0), 0u) << length << ": " << error;
    }
}

TEST_F(TxdReaderTest, SizeFieldsAreNeverTrusted) {
    std::vector<uint8_t> bytes = txd;
    bytes[32] = 0xF0, bytes[33] = 0xFF, bytes[34] = 0xFF, bytes[35] = 0xFF;  // first texture's size
    EXPECT_EQ(ErrorOf(bytes), "Texture dictionary is not valid at byte 40 of " + std::to_string(txd.size()) +
                                  ": the texture native chunk declares 4294967280 bytes but only " +
                                  std::to_string(txd.size() - 40) + " follow");

    bytes = txd;
    bytes[0] = 0x10;
    EXPECT_NE(ErrorOf(bytes).find("found chunk type 16 where a texture dictionary chunk (type 22) belongs"),
              std::string::npos);
}

// What a reading found, as text: every texture's fields and ranges, and the damage; or the error.
std::string Found(const std::function<TxdContents()>& read) {
    std::string found;
    try {
        const TxdContents contents = read();
        found = std::to_string(contents.VersionStamp) + " device " + std::to_string(contents.DeviceId);
        for (const TxdTexture& texture : contents.Textures) {
            found += "\n" + texture.Name + " at " + std::to_string(texture.Offset) + " palette " +
                     std::to_string(texture.Palette.Offset) + "+" + std::to_string(texture.Palette.Size) + " problem " +
                     texture.Problem + " extension " + std::to_string(texture.Extension.size());
            for (const ByteRange& level : texture.LevelPixels) {
                found += " level " + std::to_string(level.Offset) + "+" + std::to_string(level.Size);
            }
        }
        if (contents.Damage) {
            found += "\ndamage at " + std::to_string(contents.Damage->Texture) +
                     (contents.Damage->CutShort ? " cut " : " ") + contents.Damage->Detail;
        }
    } catch (const Error& error) {
        found = std::string("error ") + error.what();
    }
    return found;
}

// Read from a file one texture at a time, a dictionary gives what it gives read whole: cut at every
// byte, and with a size field or a texture's content made false.
TEST_F(TxdReaderTest, AFileReadTextureByTextureGivesWhatTheWholeFileGives) {
    std::vector<std::vector<uint8_t>> files;
    for (size_t length = 0; length <= txd.size(); ++length) {
        files.emplace_back(txd.begin(), txd.begin() + static_cast<ptrdiff_t>(length));
    }
    for (const size_t field : {size_t{4}, size_t{16}, size_t{32}, size_t{44}, txd.size() - 8}) {
        files.push_back(txd);
        files.back()[field] ^= 0x40;  // a chunk size or a count made larger
    }
    files.push_back(txd);
    files.back()[100] = 0xEE;  // inside the first texture's fields
    const std::string path = dir.File("read.txd");
    for (const std::vector<uint8_t>& file : files) {
        dir.Write("read.txd", file);
        const FileBytes source(path);
        EXPECT_EQ(Found([&] { return ReadTxdUpToDamage(source); }), Found([&] { return ReadTxdUpToDamage(file); }))
            << file.size() << " bytes";
    }
    EXPECT_NE(Found([&] { return ReadTxdUpToDamage(txd); }).find("\nglass"), std::string::npos);
}

// A file cut short while it is being read is an error naming it, never bytes from nowhere.
TEST_F(TxdReaderTest, AFileCutShortWhileItIsReadIsAnError) {
    const std::string path = dir.Write("shrinking.txd", txd);
    const FileBytes source(path);
    std::filesystem::resize_file(path, 40);
    std::vector<uint8_t> scratch;
    EXPECT_EQ(source.View(0, 40, scratch).size(), 40u);
    const std::string error = test::ErrorText([&] { source.View(30, 20, scratch); });
    EXPECT_NE(error.find("shrinking.txd\" was cut short while it was being read: it ends before byte 41 of " +
                         std::to_string(txd.size())),
              std::string::npos)
        << error;
}

// A dictionary that breaks off keeps the textures before the break; the strict reader still
// refuses it, and a file that is no dictionary refuses both.
TEST(TxdDamage, TheTexturesBeforeABreakAreKeptAndTheBreakIsNamed) {
    using test::Bytes;
    const auto native = [](const std::string& name) {
        return test::TextureNative(
            {.Name = name, .RasterFormat = 0x0600, .Width = 4, .Height = 4, .LevelPixels = {Bytes(64, 0x80)}});
    };
    const Bytes whole = test::Dictionary({native("road"), native("kerb"), native("wall")});
    const size_t third = 12 + 12 + 4 + 2 * native("x").size();  // headers, data chunk, two natives
    Bytes overwritten = whole;
    std::copy_n("hell", 4, overwritten.begin() + static_cast<ptrdiff_t>(third));
    struct Case {
        const char* Name;
        Bytes File;
        size_t Kept;
        bool CutShort;
        std::string Text;
    };
    const Case cases[] = {
        {"cut in the third", Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(third + 40)), 2, true,
         "\"x.txd\" is damaged:\r\n\tthe file ends inside texture 3 of 3, so it was cut short.\r\n\tThe 2 textures "
         "before it were read.\r\n\t(Texture dictionary is not valid at byte "},
        {"third overwritten", overwritten, 2, false,
         "\"x.txd\" is damaged:\r\n\ttexture 3 of 3 does not hold what a texture holds, so the file was changed or "
         "overwritten there.\r\n\tThe 2 textures before it were read.\r\n\t(Texture dictionary is not valid at byte "},
        {"closing chunk cut", Bytes(whole.begin(), whole.end() - 12), 3, true,
         "\"x.txd\" is damaged after its last texture:\r\n\tall 3 textures were read.\r\n\t(Texture dictionary is "
         "not "},
    };
    for (const Case& c : cases) {
        const TxdContents contents = ReadTxdUpToDamage(c.File);
        ASSERT_EQ(contents.Textures.size(), c.Kept) << c.Name;
        EXPECT_EQ(contents.Textures.back().Name, c.Kept == 2 ? "kerb" : "wall") << c.Name;
        ASSERT_TRUE(contents.Damage) << c.Name;
        EXPECT_EQ(contents.Damage->CutShort, c.CutShort) << c.Name;
        EXPECT_TRUE(DamageText("x.txd", *contents.Damage).starts_with(c.Text)) << DamageText("x.txd", *contents.Damage);
        EXPECT_EQ(ErrorOf(c.File).empty(), false) << c.Name;
    }
    EXPECT_FALSE(ReadTxdUpToDamage(whole).Damage);
    const TxdContents first = ReadTxdUpToDamage(Bytes(whole.begin(), whole.begin() + 60));
    ASSERT_TRUE(first.Damage);
    EXPECT_TRUE(DamageText("x.txd", *first.Damage)
                    .starts_with("\"x.txd\" is damaged:\r\n\tthe file ends inside texture 1 of 3, so it was cut "
                                 "short.\r\n\tNo texture before it could be read.\r\n\t("));
    EXPECT_THROW(ReadTxdUpToDamage(Bytes(overwritten.begin() + 12, overwritten.end())), Error);
}

}  // namespace
}  // namespace vc
