// SPDX-License-Identifier: GPL-3.0-or-later
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
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "rw/texture_native.h"
#include "rw/txd_format.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"

namespace vc {
namespace {

uint32_t U32At(const std::vector<uint8_t>& bytes, size_t offset) {
    return LoadU32(&bytes.at(offset));
}
std::string TextAt(const std::vector<uint8_t>& bytes, size_t offset, size_t length) {
    return {bytes.begin() + static_cast<ptrdiff_t>(offset), bytes.begin() + static_cast<ptrdiff_t>(offset + length)};
}

RgbColour Stripes(int x, int y) {
    return {static_cast<uint8_t>(x * 60), static_cast<uint8_t>(y * 50), static_cast<uint8_t>(200 - x * 10)};
}

class TxdBuildTest : public testing::Test {
  protected:
    std::string Paletted(const std::string& name, int width, int height) {
        return dir.Write(name, test::MakePalettedBmp(width, height, test::GreyPalette(256),
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

// A cut is never silent: each cut name is noted, and a name that the cut makes the name of a texture
// before it (the games compare names without case) leaves its entry out. Equal names the user
// gave are written as the list has them.
TEST_F(TxdBuildTest, CutNamesAreNotedAndANameTheCutMakesEqualIsLeftOut) {
    const std::string stem(31, 'n');
    struct Case {
        std::vector<std::string> Names;
        std::vector<std::string> Written;
        std::string Problems;
    };
    const std::vector<Case> cases = {
        {{"wall", "wall"}, {"wall", "wall"}, ""},
        {{stem + "_one", stem + "_two"},
         {stem},
         "\r\n\r\n=> \"0.bmp\":\r\n\tTexture name \"" + stem + "_one\" is cut to 31 bytes: \"" + stem +
             "\"."
             "\r\n\r\n=> \"1.bmp\":\r\n\tTexture name \"" +
             stem + "_two\" cut to 31 bytes is \"" + stem +
             "\", the name of a texture before it; the texture is left out."},
        {{stem + "_one", std::string(31, 'N')},
         {stem},
         "\r\n\r\n=> \"0.bmp\":\r\n\tTexture name \"" + stem + "_one\" is cut to 31 bytes: \"" + stem +
             "\"."
             "\r\n\r\n=> \"1.bmp\":\r\n\tTexture name \"" +
             std::string(31, 'N') + "\" cut to 31 bytes is \"" + std::string(31, 'N') +
             "\", the name of a texture before it; the texture is left out."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Names[0]);
        workspace.TexList.clear();
        workspace.Intake.ProblemText.clear();
        for (size_t i = 0; i < c.Names.size(); ++i) {
            Add(Paletted(std::to_string(i) + ".bmp", 4, 4)).TexName = c.Names[i];
        }
        const BuildResult built = BuildTxd(workspace, options);
        std::vector<std::string> written;
        for (const TxdTexture& texture : ReadTxd(built.Bytes).Textures) {
            written.push_back(texture.Name);
        }
        EXPECT_EQ(written, c.Written);
        EXPECT_EQ(workspace.Intake.ProblemText, c.Problems);
    }
    workspace.TexList.clear();
    workspace.Intake.ProblemText.clear();
    Add(Paletted("m.bmp", 4, 4)).Output.MaskName = stem + "_mask";
    EXPECT_EQ(BuildTxd(workspace, options).Written, 1u);
    EXPECT_EQ(workspace.Intake.ProblemText,
              "\r\n\r\n=> \"m.bmp\":\r\n\tMask name \"" + stem + "_mask\" is cut to 31 bytes: \"" + stem + "\".");
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

// The chunk's size fields are computed from the levels before their pixels are appended; pixels of
// another length than the image's size would leave a texture whose fields lie.
TEST(TextureNative, PixelDataOfAnotherLengthThanTheSizeFieldsSayIsRefusedBeforeAnythingIsWritten) {
    const TImageInfo paletted{.Height = 4, .Width = 4, .Depth = 8};
    const TImageInfo trueColour{.Height = 4, .Width = 4, .Depth = 32};
    const TTexFile entry{.TexName = "wall"};
    ImageIntake intake;
    // The size written, or the error's message when nothing was written.
    const auto write = [&](const TTexFile& written, const TImageInfo& colour, const TImageInfo& alpha) {
        ByteWriter out;
        try {
            const RasterChoice choice = ChoiceFor(written, colour);
            const TextureRaster raster = AssembleRaster(intake, written, colour, alpha, choice);
            WriteTextureNative(out, FieldsFor(written, colour, choice.Format, raster.Levels.size(), 0x1102), raster,
                               0x0C02FFFF, TxdPlatform::Direct3D8);
            return std::to_string(out.Size());
        } catch (const Error& error) {
            EXPECT_EQ(out.Size(), 0u) << error.what();
            return std::string(error.what());
        }
    };

    for (const size_t length : {size_t{15}, size_t{17}, size_t{0}}) {
        intake.Slots[kColourSlot].IndexBuf.assign(length, 1);
        EXPECT_EQ(write(entry, paletted, {}), "Texture \"wall\": its image has " + std::to_string(length) +
                                                  " bytes of pixel data but the texture's size fields say 16; "
                                                  "nothing was written.");
    }
    intake.Slots[kColourSlot].IndexBuf.assign(16, 1);
    EXPECT_EQ(write(entry, paletted, {}), std::to_string(kChunkHeaderSize + TextureNativeSizesFor(4, 4, 8).Content));

    intake.Slots[kColourSlot].PixelBuf.assign(63, 1);
    EXPECT_EQ(write(entry, trueColour, {}),
              "Texture \"wall\": its image has 63 bytes of pixel data but the texture's size fields say 64; nothing "
              "was written.");
    intake.Slots[kColourSlot].PixelBuf.assign(64, 1);
    const std::string trueColourSize = std::to_string(kChunkHeaderSize + TextureNativeSizesFor(4, 4, 32).Content);
    EXPECT_EQ(write(entry, trueColour, {}), trueColourSize);

    // The alpha image's pixels are merged into every colour pixel, so they must match them one for one.
    TTexFile withAlpha = entry;
    withAlpha.HasAlpha = true;
    withAlpha.AlphaName = "wallm";
    intake.Slots[kColourSlot].PixelBuf.assign(64, 1);  // the write before took the pixels over
    intake.Slots[kAlphaSlot].IndexBuf.assign(20, 1);
    EXPECT_EQ(write(withAlpha, trueColour, paletted),
              "Texture \"wall\": its alpha image has 20 bytes of pixel data but 16 were expected; nothing was "
              "written.");
    intake.Slots[kAlphaSlot].IndexBuf.assign(16, 1);
    EXPECT_EQ(write(withAlpha, trueColour, paletted), trueColourSize);
}

}  // namespace
}  // namespace vc
