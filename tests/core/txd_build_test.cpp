#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "expected_txd.h"
#include "image_files.h"
#include "io/atomic_file.h"
#include "io/byte_reader.h"
#include "io/byte_writer.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "temp_dir.h"
#include "workspace/workspace.h"
#include "txd/grey_level.h"
#include "txd/txd_builder.h"
#include "txd/txd_format.h"
#include "txd/txd_reader.h"

namespace vc {
namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return LoadU32(&bytes.at(offset));
}
uint16_t U16At(const std::vector<uint8_t>& bytes, size_t offset) {
    return LoadU16(&bytes.at(offset));
}
std::string TextAt(const std::vector<uint8_t>& bytes, size_t offset, size_t length) {
    return {bytes.begin() + static_cast<ptrdiff_t>(offset), bytes.begin() + static_cast<ptrdiff_t>(offset + length)};
}

RgbColour Stripes(int x, int y) {
    return {static_cast<uint8_t>(x * 60), static_cast<uint8_t>(y * 50), static_cast<uint8_t>(200 - x * 10)};
}

class TxdBuildTest : public testing::Test {
  protected:
    std::string Paletted(const std::string& name, int width, int height, std::vector<RgbColour> palette = {}) {
        if (palette.empty()) {
            palette = test::GreyPalette(256);
        }
        return dir.Write(name, test::MakePalettedBmp(width, height, palette,
                                                     [](int x, int y) { return static_cast<uint8_t>(x * 3 + y * 5); }));
    }
    std::string TrueColour(const std::string& name, int width, int height) {
        return dir.Write(name, test::MakeTrueColourBmp(width, height, Stripes));
    }
    TTexFile& Add(const std::string& path) {
        AddFile(workspace, path, options.pwr2lmt);
        EXPECT_EQ(workspace.Intake.ProblemText, "");
        return workspace.TexList.back();
    }
    static void GiveAlpha(TTexFile& entry, const std::string& name, const std::string& path) {
        entry.HasAlpha = true;
        entry.AlphaName = name;
        entry.AlphaPath = path;
    }

    test::TempDir dir;
    Workspace workspace;
    TxdOptions options;
};

TEST_F(TxdBuildTest, OnePalettedTextureWithoutAlphaGivesThe5316ByteLayout) {
    Add(Paletted("wall.bmp", 64, 64));
    const BuildResult result = BuildTxd(workspace, options);
    const std::vector<uint8_t>& txd = result.Bytes;
    ASSERT_EQ(txd.size(), 5316u);
    EXPECT_EQ(result.Written, 1u);
    EXPECT_EQ(result.Total, 1u);
    // clang-format off
    EXPECT_EQ(U32At(txd, 0), 22u);     // texture dictionary
    EXPECT_EQ(U32At(txd, 4), 5304u);   // its size
    EXPECT_EQ(U32At(txd, 12), 1u);     // data chunk
    EXPECT_EQ(U32At(txd, 16), 4u);
    EXPECT_EQ(U32At(txd, 24), 1u);     // texture count
    EXPECT_EQ(U32At(txd, 28), 21u);    // texture native
    EXPECT_EQ(U32At(txd, 32), 5236u);
    EXPECT_EQ(U32At(txd, 40), 1u);     // its data chunk
    EXPECT_EQ(U32At(txd, 44), 5212u);
    EXPECT_EQ(U32At(txd, 52), 8u);     // platform
    EXPECT_EQ(U32At(txd, 56), 0x1102u);  // flag word
    EXPECT_EQ(TextAt(txd, 60, 32), std::string("wall") + std::string(28, '\0'));
    EXPECT_EQ(TextAt(txd, 92, 32), std::string(32, '\0'));  // no mask name
    EXPECT_EQ(U32At(txd, 124), 0x2600u);  // raster format
    EXPECT_EQ(U32At(txd, 128), 0u);       // alpha flag
    EXPECT_EQ(U16At(txd, 132), 64u);
    EXPECT_EQ(U16At(txd, 134), 64u);
    EXPECT_EQ(txd[136], 8);  // depth
    EXPECT_EQ(txd[137], 1);  // levels
    EXPECT_EQ(txd[138], 4);  // raster type
    EXPECT_EQ(txd[139], 0);  // compression
    // clang-format on
    // Palette entry 200: grey 200, opaque.
    EXPECT_EQ(TextAt(txd, 140 + 4 * 200, 4), "\xC8\xC8\xC8\xFF");
    EXPECT_EQ(U32At(txd, 1164), 4096u);                // pixel data size
    EXPECT_EQ(txd[1168 + 64 * 2 + 3], 3 * 3 + 2 * 5);  // pixel (3, 2)
    EXPECT_EQ(U32At(txd, 5264), 3u);                   // empty extension
    EXPECT_EQ(U32At(txd, 5268), 0u);
    EXPECT_EQ(U32At(txd, 5276), 3u);  // closing extension
    EXPECT_EQ(U32At(txd, 5280), 28u);
    EXPECT_EQ(TextAt(txd, 5288, 28), "Created with Vellumcraft 1.1");
}

TEST_F(TxdBuildTest, OneTrueColourTextureWithAlphaGivesThe260ByteLayout) {
    TTexFile& entry = Add(TrueColour("glass.bmp", 4, 4));
    GiveAlpha(entry, "glassmask", TrueColour("glassmask.bmp", 4, 4));
    const std::vector<uint8_t> txd = BuildTxd(workspace, options).Bytes;
    ASSERT_EQ(txd.size(), 260u);
    EXPECT_EQ(U32At(txd, 32), 180u);
    EXPECT_EQ(U32At(txd, 44), 156u);
    EXPECT_EQ(TextAt(txd, 92, 10), std::string("glassmask") + '\0');
    EXPECT_EQ(U32At(txd, 124), 0x0500u);
    EXPECT_EQ(U32At(txd, 128), 1u);
    EXPECT_EQ(txd[136], 32);
    EXPECT_EQ(U32At(txd, 140), 64u);
    // Pixel (2, 1): blue, green, red of the colour image, alpha the grey of the alpha image's pixel.
    const RgbColour colour = Stripes(2, 1);
    const uint8_t grey = static_cast<uint8_t>((3 * colour.Red + 6 * colour.Green + colour.Blue + 5) / 10);
    EXPECT_EQ(TextAt(txd, 144 + 4 * 6, 4), std::string({static_cast<char>(colour.Blue), static_cast<char>(colour.Green),
                                                        static_cast<char>(colour.Red), static_cast<char>(grey)}));
    EXPECT_EQ(TextAt(txd, 232, 28), "Created with Vellumcraft 1.1");
}

TEST_F(TxdBuildTest, NamesAreCutTo31BytesAfterConversionToWindows1252) {
    Add(Paletted("0123456789012345678901234567890123456789.bmp", 4, 4));
    Add(Paletted(std::string(31, 'x') + ".bmp", 4, 4)).TexName = std::string(15, 'x') + "ééééééééééééééééé";
    Add(Paletted("n.bmp", 4, 4)).TexName = "日本wall";
    const std::vector<uint8_t> txd = BuildTxd(workspace, options).Bytes;
    const size_t textureSize = 12 + TextureNativeSizesFor(4, 4, 8).Content;
    EXPECT_EQ(TextAt(txd, 60, 32), "0123456789012345678901234567890" + std::string(1, '\0'));
    EXPECT_EQ(TextAt(txd, 60 + textureSize, 32), std::string(15, 'x') + std::string(16, '\xE9') + '\0');
    EXPECT_EQ(TextAt(txd, 60 + 2 * textureSize, 8), std::string("??wall") + '\0' + '\0');
}

TEST_F(TxdBuildTest, EveryChunkHeaderCarriesTheChosenVersionStamp) {
    Add(Paletted("a.bmp", 4, 4));
    Add(TrueColour("b.bmp", 8, 4));
    options.VersionIndex = 1;
    const std::vector<uint8_t> txd = BuildTxd(workspace, options).Bytes;
    // Headers: dictionary, its data, then per texture native, data and empty extension, then the closing one.
    std::vector<size_t> headers = {0, 12};
    size_t offset = 28;
    for (int texture = 0; texture < 2; ++texture) {
        const size_t dataSize = U32At(txd, offset + 16);
        headers.insert(headers.end(), {offset, offset + 12, offset + 24 + dataSize});
        offset += 12 + U32At(txd, offset + 4);
    }
    headers.push_back(offset);
    ASSERT_EQ(offset + 40, txd.size());
    for (const size_t header : headers) {
        EXPECT_EQ(TextAt(txd, header + 8, 4), "\xFF\xFF\x02\x0C") << "header at " << header;
    }
}

TEST_F(TxdBuildTest, OldestVersionStampStartsTheFileAsExpected) {
    Add(Paletted("a.bmp", 4, 4));
    options.VersionIndex = 0;
    const std::vector<uint8_t> txd = BuildTxd(workspace, options).Bytes;
    const std::vector<uint8_t> size(txd.begin() + 4, txd.begin() + 8);
    // clang-format off
    const std::vector<uint8_t> expected = {
        0x16, 0, 0, 0,  size[0], size[1], size[2], size[3],  0xFF, 0xFF, 0x00, 0x08,  // dictionary
        0x01, 0, 0, 0,  0x04, 0, 0, 0,  0xFF, 0xFF, 0x00, 0x08,                         // data chunk
        0x01, 0, 0, 0,                                                                   // texture count
        0x15, 0, 0, 0,                                                                   // texture native
    };
    // clang-format on
    EXPECT_EQ(std::vector<uint8_t>(txd.begin(), txd.begin() + 32), expected);
    EXPECT_EQ(U32At(txd, 4), txd.size() - 12);
}

TEST_F(TxdBuildTest, EntriesThatCannotBeReadAreLeftOutAndCounted) {
    Add(Paletted("a.bmp", 4, 4));
    const std::string missing = Paletted("b.bmp", 4, 4);
    Add(missing);
    Add(TrueColour("c.bmp", 4, 4));
    std::filesystem::remove(missing);
    const BuildResult result = BuildTxd(workspace, options);
    EXPECT_EQ(result.Written, 2u);
    EXPECT_EQ(result.Total, 3u);
    EXPECT_EQ(U32At(result.Bytes, 24), 2u);
    EXPECT_EQ(ReadTxd(result.Bytes).Textures.size(), 2u);
    // The build keeps the report of what it refused; it neither shows nor empties it.
    EXPECT_EQ(workspace.Intake.ProblemText, "\r\n\r\n=> \"b.bmp\":\r\n\tFile does not exist.");
}

TEST_F(TxdBuildTest, PalettedTextureTakesItsAlphaFromTheAlphaImagesPalette) {
    std::vector<RgbColour> maskPalette;
    for (int i = 0; i < 256; ++i) {
        maskPalette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i / 2)});
    }
    TTexFile& entry = Add(Paletted("tree.bmp", 8, 8));
    GiveAlpha(entry, "treemask", Paletted("treemask.bmp", 8, 8, maskPalette));
    const std::vector<uint8_t> txd = BuildTxd(workspace, options).Bytes;
    EXPECT_EQ(U32At(txd, 124), 0x2500u);
    for (const int i : {0, 1, 77, 128, 255}) {
        const uint32_t maskEntry = maskPalette[i].Red | (maskPalette[i].Green << 8) | (maskPalette[i].Blue << 16);
        EXPECT_EQ(txd[140 + 4 * i + 3], GreyLevel(maskEntry, ColourOrder::Palette)) << i;
        EXPECT_EQ(txd[140 + 4 * i], i) << "colour kept";
    }
}

TEST_F(TxdBuildTest, TrueColourTextureTakesPalettedAlphaThroughTheAlphaImagesIndices) {
    TTexFile& entry = Add(TrueColour("sky.bmp", 8, 4));
    std::vector<RgbColour> levels = test::GreyPalette(256);
    GiveAlpha(entry, "skymask", Paletted("skymask.bmp", 8, 4, levels));
    const std::vector<uint8_t> txd = BuildTxd(workspace, options).Bytes;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(txd[144 + 4 * (y * 8 + x) + 3], x * 3 + y * 5) << x << "," << y;
        }
    }
}

TEST_F(TxdBuildTest, AlphaChecksLeaveOutWhatCannotBeMerged) {
    const auto build = [&](const std::string& alphaName, const std::string& alphaPath, const std::string& colourPath) {
        workspace.TexList.clear();
        workspace.Intake.ProblemText.clear();
        TTexFile& entry = Add(colourPath);
        GiveAlpha(entry, alphaName, alphaPath);
        return BuildTxd(workspace, options).Written;
    };
    const std::string paletted = Paletted("p.bmp", 8, 8);
    const std::string truecolour = TrueColour("t.bmp", 8, 8);
    EXPECT_EQ(build("m", truecolour, paletted), 0u) << "24-bit alpha on an 8-bit texture";
    EXPECT_EQ(build("m", Paletted("small.bmp", 4, 8), paletted), 0u) << "sizes differ";
    EXPECT_EQ(build("p", Paletted("pm.bmp", 8, 8), paletted), 0u) << "names equal";
    EXPECT_EQ(build("P", Paletted("pm.bmp", 8, 8), paletted), 1u) << "names differ in case";
    EXPECT_EQ(build("m", dir.File("gone.bmp"), paletted), 0u) << "alpha image missing";
    EXPECT_EQ(build("m", paletted, truecolour), 1u) << "8-bit alpha on a 24-bit texture";
}

TEST_F(TxdBuildTest, WrittenEntriesGetFreshInfoAndLoseStaleAlphaNames) {
    TTexFile& entry = Add(Paletted("a.bmp", 8, 4));
    entry.TexInfo = {};
    entry.AlphaName = "stale";
    BuildTxd(workspace, options);
    EXPECT_EQ(workspace.TexList[0].TexInfo, (TImageInfo{.Height = 4, .Width = 8, .Depth = 8}));
    EXPECT_EQ(workspace.TexList[0].AlphaName, "");
}

TEST_F(TxdBuildTest, PowerOfTwoLimitAppliesAgainAtBuildTime) {
    options.pwr2lmt = false;
    Add(Paletted("odd.bmp", 12, 20));
    options.pwr2lmt = true;
    EXPECT_EQ(BuildTxd(workspace, options).Written, 0u);
    options.pwr2lmt = false;
    EXPECT_EQ(BuildTxd(workspace, options).Written, 1u);
}

TEST_F(TxdBuildTest, ProgressNamesEachEntryBeforeItIsRead) {
    Add(Paletted("a.bmp", 4, 4));
    Add(Paletted("b.bmp", 4, 4));
    std::vector<std::string> reports;
    BuildTxd(workspace, options, [&](size_t done, size_t total, std::string_view name) {
        reports.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + std::string(name));
    });
    EXPECT_EQ(reports, (std::vector<std::string>{"0/2 a", "1/2 b"}));
}

TEST_F(TxdBuildTest, EmptyListBuildsNothing) {
    const BuildResult result = BuildTxd(workspace, options);
    EXPECT_EQ(result.Written, 0u);
    EXPECT_TRUE(result.Bytes.empty());
}

TEST_F(TxdBuildTest, SlotsAreEmptiedAfterABuildAndAfterAnError) {
    Add(TrueColour("a.bmp", 4, 4));
    BuildTxd(workspace, options);
    EXPECT_TRUE(workspace.Intake.Slots[kColourSlot].PixelBuf.empty());

    const std::string damaged = Paletted("b.bmp", 64, 64);
    Add(damaged);
    std::vector<uint8_t> bytes = ReadWholeFile(damaged);
    bytes.resize(bytes.size() - 100);
    dir.Write("b.bmp", bytes);
    EXPECT_THROW(BuildTxd(workspace, options), Error);
    EXPECT_TRUE(workspace.Intake.Slots[kColourSlot].PixelBuf.empty());
    EXPECT_TRUE(workspace.Intake.Slots[kColourSlot].IndexBuf.empty());
}

// A dictionary of every kind of source, compared byte for byte with one assembled field by field
// from the decoded images.
TEST_F(TxdBuildTest, MixedSourcesGiveExactlyTheLaidOutBytes) {
    const auto grey = [](int x, int y) { return RgbColour{0, static_cast<uint8_t>(x * 16 + y), 0}; };
    const std::vector<std::string> paths = {
        Paletted("p8.bmp", 8, 4),
        TrueColour("t24.bmp", 4, 8),
        dir.Write("colour.jpg", test::MakeJpeg(16, 16, test::JpegKind::Colour, Stripes)),
        dir.Write("grey.jpeg", test::MakeJpeg(16, 8, test::JpegKind::Grey, grey)),
    };
    for (const std::string& path : paths) {
        Add(path);
    }
    options.VersionIndex = 2;
    options.FlagIndex = 0;
    const std::vector<uint8_t> txd = BuildTxd(workspace, options).Bytes;
    std::vector<test::ExpectedTexture> expected;
    for (const std::string& path : paths) {
        expected.push_back({.Name = std::string(FileNameWithoutExtension(path)), .ColourPath = path});
    }
    EXPECT_EQ(txd, test::ExpectedDictionary(expected, 0x1003FFFF, 0x1101));
    {
        AtomicFile file(dir.File("streamed.txd"));
        EXPECT_EQ(BuildTxdInto(file, workspace, options).Size, txd.size());
        file.Commit();
    }
    EXPECT_EQ(ReadWholeFile(dir.File("streamed.txd")), txd);

    const TxdContents contents = ReadTxd(txd);
    ASSERT_EQ(contents.Textures.size(), 4u);
    EXPECT_EQ(contents.Textures[3].Name, "grey");
    EXPECT_EQ(contents.Textures[3].Depth, 8);
    EXPECT_EQ(contents.Textures[2].Depth, 32);
}

// The chunk's size fields are computed from the image's size before its pixels are appended;
// pixels of another length would leave a dictionary whose sizes lie.
TEST(TextureNative, PixelDataOfAnotherLengthThanTheSizeFieldsSayIsRefusedBeforeAnythingIsWritten) {
    const TImageInfo paletted{.Height = 4, .Width = 4, .Depth = 8};
    const TImageInfo trueColour{.Height = 4, .Width = 4, .Depth = 32};
    const TTexFile entry{.TexName = "wall"};
    const auto write = [&](const TTexFile& written, const TImageInfo& colour, const TImageInfo& alpha,
                           ImageIntake& intake) {
        ByteWriter out;
        WriteTextureNative(out, written, intake, colour, alpha, 0x0C02FFFF, 0x1102);
        return out.Size();
    };
    const auto expectRefusal = [&](const TTexFile& written, const TImageInfo& colour, const TImageInfo& alpha,
                                   ImageIntake& intake, const std::string& message) {
        ByteWriter out;
        try {
            WriteTextureNative(out, written, intake, colour, alpha, 0x0C02FFFF, 0x1102);
            ADD_FAILURE() << "no error for: " << message;
        } catch (const Error& error) {
            EXPECT_EQ(error.what(), message);
        }
        EXPECT_EQ(out.Size(), 0u) << message;
    };

    ImageIntake intake;
    for (const size_t length : {size_t{15}, size_t{17}, size_t{0}}) {
        intake.Slots[kColourSlot].IndexBuf.assign(length, 1);
        expectRefusal(entry, paletted, {}, intake,
                      "Texture \"wall\": its image has " + std::to_string(length) +
                          " bytes of pixel data but the texture's size fields say 16; nothing was written.");
    }
    intake.Slots[kColourSlot].IndexBuf.assign(16, 1);
    EXPECT_EQ(write(entry, paletted, {}, intake), kChunkHeaderSize + TextureNativeSizesFor(4, 4, 8).Content);

    intake.Slots[kColourSlot].PixelBuf.assign(63, 1);
    expectRefusal(entry, trueColour, {}, intake,
                  "Texture \"wall\": its image has 63 bytes of pixel data but the texture's size fields say 64; "
                  "nothing was written.");
    intake.Slots[kColourSlot].PixelBuf.assign(64, 1);
    EXPECT_EQ(write(entry, trueColour, {}, intake), kChunkHeaderSize + TextureNativeSizesFor(4, 4, 32).Content);

    // The alpha image's pixels are merged into every colour pixel, so they must match them one for one.
    TTexFile withAlpha = entry;
    withAlpha.HasAlpha = true;
    withAlpha.AlphaName = "wallm";
    intake.Slots[kAlphaSlot].IndexBuf.assign(20, 1);
    expectRefusal(withAlpha, trueColour, paletted, intake,
                  "Texture \"wall\": its alpha image has 20 bytes of pixel data but 16 were expected; "
                  "nothing was written.");
    intake.Slots[kAlphaSlot].IndexBuf.assign(16, 1);
    EXPECT_EQ(write(withAlpha, trueColour, paletted, intake),
              kChunkHeaderSize + TextureNativeSizesFor(4, 4, 32).Content);
}

}  // namespace
}  // namespace vc
