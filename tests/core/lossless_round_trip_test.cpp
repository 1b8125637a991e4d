// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "image_files.h"
#include "io/error.h"
#include "ops/list_import.h"
#include "ops/txd_builder.h"
#include "ops/txd_extraction.h"
#include "ops/workspace.h"
#include "raster/dds_file.h"
#include "rw/game_target.h"
#include "rw/txd_format.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"
#include "txd_chunks.h"

namespace vc {
namespace {

// Writes what extraction hands over into a folder.
class FolderSink final : public ExtractionSink {
  public:
    explicit FolderSink(const test::TempDir& dir) : m_dir(dir) {}
    void Write(std::string_view fileName, std::span<const uint8_t> bytes) override { m_dir.Write(fileName, bytes); }

  private:
    const test::TempDir& m_dir;
};

// A picture of 8 × 8 pixels in one of the forms a modder starts from.
struct SourcePicture {
    std::string Name;
    std::function<std::vector<uint8_t>()> Bytes;
    std::string Extension;
};

uint16_t Sample(uint32_t x, uint32_t y, uint32_t channel) {
    return static_cast<uint16_t>((x * 31 + y * 17 + channel * 70) & 0xFF);
}

std::vector<uint8_t> RgbaPng(const std::function<uint16_t(uint32_t, uint32_t)>& alpha) {
    test::PngFields png{.Width = 8, .Height = 8, .Colour = test::PngColour::Rgba};
    for (uint32_t y = 0; y < 8; ++y) {
        for (uint32_t x = 0; x < 8; ++x) {
            png.Samples.insert(png.Samples.end(), {Sample(x, y, 0), Sample(x, y, 1), Sample(x, y, 2), alpha(x, y)});
        }
    }
    return test::MakePng(png);
}

std::vector<SourcePicture> SourcePictures() {
    return {
        {"opaque bitmap",
         [] {
             return test::MakeTrueColourBmp(8, 8, [](int x, int y) {
                 const auto ux = static_cast<uint32_t>(x);
                 const auto uy = static_cast<uint32_t>(y);
                 return RgbColour{static_cast<uint8_t>(Sample(ux, uy, 0)), static_cast<uint8_t>(Sample(ux, uy, 1)),
                                  static_cast<uint8_t>(Sample(ux, uy, 2))};
             });
         },
         ".bmp"},
        {"paletted bitmap",
         [] {
             return test::MakePalettedBmp(8, 8, test::GreyPalette(12),
                                          [](int x, int y) { return static_cast<uint8_t>((x + 2 * y) % 12); });
         },
         ".bmp"},
        {"RGBA PNG with alpha", [] { return RgbaPng([](uint32_t x, uint32_t y) { return Sample(x, y, 3); }); }, ".png"},
        {"RGBA PNG all opaque", [] { return RgbaPng([](uint32_t, uint32_t) { return uint16_t{255}; }); }, ".png"},
    };
}

// The dictionary forms a build chooses between: each version stamp of Direct3D 8 natives, and
// each game's own.
struct BuiltForm {
    TxdOptions Options;
    std::string Name;
};

std::vector<BuiltForm> BuiltForms() {
    std::vector<BuiltForm> forms;
    for (size_t version = 0; version < kVersionStamps.size(); ++version) {
        forms.push_back({{.VersionIndex = version}, "stamp " + std::to_string(version)});
    }
    for (const GameTarget& target : kGameTargets) {
        forms.push_back({{.Target = target.Id}, std::string(target.Name)});
    }
    return forms;
}

// Every format the product writes, with and without mipmaps, from every kind of picture, with
// every version stamp and for every game: taken apart and built again with default options, the
// dictionary comes back byte for byte (each texture native compared on its own to name the one that
// differs), and a texture whose format holds no alpha never claims it.
TEST(LosslessRoundTrip, EveryFormatTheProductWritesComesBackByteForByte) {
    const std::vector<SourcePicture> pictures = SourcePictures();
    test::TempDir sources;
    for (const BuiltForm& form : BuiltForms()) {
        for (const bool mipmaps : {false, true}) {
            // One dictionary per stamp and mipmap choice: every format from every picture.
            Workspace original;
            std::vector<std::string> cases;
            for (const TextureFormat format : OutputFormats()) {
                for (const SourcePicture& picture : pictures) {
                    const std::string name = "t" + std::to_string(cases.size());
                    AddFile(original, sources.Write(name + picture.Extension, picture.Bytes()), true);
                    TTexFile& entry = original.TexList.back();
                    entry.Output.Format = format;
                    entry.Output.Mipmaps = mipmaps;
                    cases.push_back(std::string(TextureFormatName(format)) + " from " + picture.Name);
                }
            }
            ASSERT_EQ(original.Intake.ProblemText, "");
            const BuildResult built = BuildTxd(original, form.Options);
            ASSERT_EQ(built.Written, cases.size());

            test::TempDir folder;
            FolderSink sink(folder);
            ASSERT_EQ(ExtractTxd(built.Bytes, "set", folder.Path().string(), sink).Failed, 0u);
            Workspace rebuilt;
            ASSERT_EQ(ImportTextureList(rebuilt, folder.File("set.txt"), true), cases.size());
            EXPECT_EQ(rebuilt.Intake.ProblemText, "");
            // The list keeps the stamp and the game, which a build asked for no others takes.
            EXPECT_EQ(rebuilt.Target, form.Options.Target == Game::SanAndreas ? form.Options.Target : std::nullopt);
            const std::vector<uint8_t> rebuiltBytes =
                BuildTxd(rebuilt, {.Target = rebuilt.Target, .KeptStamp = rebuilt.VersionStamp}).Bytes;
            EXPECT_EQ(rebuiltBytes, built.Bytes);
            const std::vector<std::vector<uint8_t>> again = test::NativeChunks(rebuiltBytes);
            const std::vector<std::vector<uint8_t>> before = test::NativeChunks(built.Bytes);
            const std::vector<TxdTexture> textures = ReadTxd(built.Bytes).Textures;
            ASSERT_EQ(again.size(), before.size());
            for (size_t i = 0; i < before.size(); ++i) {
                SCOPED_TRACE(cases[i] + (mipmaps ? " with mipmaps" : "") + ", " + form.Name);
                EXPECT_EQ(again[i], before[i]);
                if (!CarriesAlpha(*textures[i].Format)) {
                    EXPECT_EQ(textures[i].AlphaFlag, 0u);
                    EXPECT_EQ(textures[i].MaskName, "");
                }
            }
        }
    }
}

// The version stamp of a dictionary, and each texture native chunk, header and all, in order.
struct DictionaryNatives {
    uint32_t Stamp = 0;
    std::vector<std::vector<uint8_t>> Natives;

    bool operator==(const DictionaryNatives&) const = default;
};

DictionaryNatives NativesOf(const std::vector<uint8_t>& dictionary) {
    return {ReadTxd(dictionary).VersionStamp, test::NativeChunks(dictionary)};
}

// Each dictionary in tests/lossless holds texture natives as other writers leave them, each of a
// kind that was once lost on its way through extract and build: opaque textures in formats with
// alpha, PAL4 with levels and palette alpha, sides a new image may not have, odd depth fields,
// names whose bytes also read as UTF-8, one name twice, stamps of other versions, a DXT1 texture
// whose raster format and alpha flag disagree, San Andreas' Direct3D 9 natives with a palette's
// surface format left 0 and the automatic mipmap bits set. Taken apart and built again as a user would, with
// no options, every one comes back with its stamp and every texture native byte for byte.
TEST(LosslessRoundTrip, DictionariesOfOtherWritersComeBackByteForByte) {
    std::vector<std::filesystem::path> files;
    for (const auto& file : std::filesystem::directory_iterator(VELLUMCRAFT_LOSSLESS_DIR)) {
        if (file.path().extension() == ".txd") {
            files.push_back(file.path());
        }
    }
    std::sort(files.begin(), files.end());
    ASSERT_GE(files.size(), 10u);
    for (const std::filesystem::path& file : files) {
        SCOPED_TRACE(file.filename().string());
        const std::vector<uint8_t> original = test::ReadBytes(file.string());
        test::TempDir folder;
        FolderSink sink(folder);
        const ExtractionResult extracted = ExtractTxd(original, "set", folder.Path().string(), sink);
        ASSERT_EQ(extracted.Failed, 0u);
        Workspace rebuilt;
        ASSERT_EQ(ImportTextureList(rebuilt, folder.File("set.txt"), true), extracted.Textures.size());
        EXPECT_EQ(rebuilt.Intake.ProblemText, "");
        const BuildResult built = BuildTxd(rebuilt, {.Target = rebuilt.Target, .KeptStamp = rebuilt.VersionStamp});
        EXPECT_EQ(rebuilt.Intake.ProblemText, "");
        const DictionaryNatives before = NativesOf(original);
        const DictionaryNatives after = NativesOf(built.Bytes);
        EXPECT_EQ(after.Stamp, before.Stamp);
        ASSERT_EQ(after.Natives.size(), before.Natives.size());
        for (size_t i = 0; i < before.Natives.size(); ++i) {
            EXPECT_EQ(after.Natives[i], before.Natives[i]) << extracted.Textures[i].Name;
        }
    }
}

// A PAL4 texture's level images must fit their levels: there, paletted, of their size, each index
// among the 16 colours, no more of them than the picture has levels below it. One that does not
// leaves the texture out with a problem, as a refused image does; one of other colours than the
// picture is taken over the picture's palette with a notice.
TEST(LosslessRoundTrip, LevelImagesThatDoNotFitLeaveTheTextureOut) {
    const std::vector<RgbColour> grey = test::GreyPalette(16);
    const auto fitting = [&](std::vector<RgbColour> palette) {
        return test::MakePalettedBmp(4, 2, palette, [](int x, int) { return static_cast<uint8_t>(x); });
    };
    const std::string wrongLevel =
        "must be a paletted image of 4×2 pixels whose indices lie among the texture's 16 colours.";
    struct Case {
        std::string Name;
        std::function<void(const test::TempDir&, TTexFile&)> Change;
        std::string Problem;  // the line under the texture's image; empty: built
        bool Built;
    };
    const Case cases[] = {
        {"another size",
         [&](const test::TempDir& d, TTexFile&) {
             d.Write("chain4_mip1.bmp", test::MakePalettedBmp(3, 3, grey, [](int, int) { return uint8_t{1}; }));
         },
         "Level image \"chain4_mip1.bmp\" " + wrongLevel, false},
        {"an index past 16",
         [&](const test::TempDir& d, TTexFile&) {
             d.Write("chain4_mip1.bmp", test::MakePalettedBmp(4, 2, test::GreyPalette(32),
                                                              [](int x, int) { return static_cast<uint8_t>(x * 6); }));
         },
         "Level image \"chain4_mip1.bmp\" " + wrongLevel, false},
        {"not paletted",
         [&](const test::TempDir& d, TTexFile&) {
             d.Write("chain4_mip1.bmp", test::MakeTrueColourBmp(4, 2, [](int, int) { return RgbColour{}; }));
         },
         "Level image \"chain4_mip1.bmp\" " + wrongLevel, false},
        {"a stored texture",
         [&](const test::TempDir& d, TTexFile&) {
             d.Write(
                 "chain4_mip1.bmp",
                 EncodeDds(
                     {.Format = TextureFormat::Lum8, .Width = 4, .Height = 2, .Levels = {std::vector<uint8_t>(8)}}));
         },
         "Level image \"chain4_mip1.bmp\" " + wrongLevel, false},
        {"missing", [&](const test::TempDir& d, TTexFile&) { std::filesystem::remove(d.File("chain4_mip2.bmp")); },
         "Level image \"chain4_mip2.bmp\" does not exist.", false},
        {"one too many",
         [&](const test::TempDir& d, TTexFile& entry) { entry.Output.LevelPaths.push_back(d.File("chain4_mip1.bmp")); },
         "The list names 4 level images; a 8×4 picture has 3 levels below it.", false},
        {"other colours", [&](const test::TempDir& d, TTexFile&) { d.Write("chain4_mip1.bmp", fitting(grey)); },
         "Level image \"chain4_mip1.bmp\" has other colours than the picture: its indices are read over the "
         "picture's palette.",
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        test::TempDir folder;
        FolderSink sink(folder);
        ExtractTxd(test::ReadBytes(std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/pal4-levels.txd"), "set",
                   folder.Path().string(), sink);
        Workspace rebuilt;
        ASSERT_EQ(ImportTextureList(rebuilt, folder.File("set.txt"), true), 2u);
        c.Change(folder, rebuilt.TexList[1]);
        const BuildResult built = BuildTxd(rebuilt, {});
        EXPECT_EQ(built.Written, c.Built ? 2u : 1u);
        EXPECT_EQ(rebuilt.Intake.ProblemText, "\r\n\r\n=> \"chain4.bmp\":\r\n\t" + c.Problem);
    }
}

// A DDS of three bytes a pixel is taken as 888, every unused byte 255.
TEST(LosslessRoundTrip, AThreeByteRgbDdsIsWrittenAs888) {
    Workspace workspace;
    AddFile(workspace, std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/r8g8b8.dds", true);
    ASSERT_EQ(workspace.Intake.ProblemText, "");
    const std::vector<uint8_t> file = test::ReadBytes(std::string(VELLUMCRAFT_LOSSLESS_DIR) + "/r8g8b8.dds");
    const BuildResult built = BuildTxd(workspace, {});
    const TxdTexture texture = ReadTxd(built.Bytes).Textures.at(0);
    EXPECT_EQ(texture.Format, TextureFormat::C888);
    EXPECT_EQ(texture.RasterFormat, 0x0600u);
    ASSERT_EQ(texture.LevelPixels.size(), 1u);
    const std::span<const uint8_t> pixels = std::span(built.Bytes).subspan(texture.LevelPixels[0].Offset, 64);
    const std::span<const uint8_t> stored = std::span(file).last(48);
    for (size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(pixels[4 * i], stored[3 * i]) << i;
        EXPECT_EQ(pixels[4 * i + 1], stored[3 * i + 1]) << i;
        EXPECT_EQ(pixels[4 * i + 2], stored[3 * i + 2]) << i;
        EXPECT_EQ(pixels[4 * i + 3], 255) << i;
    }
}

}  // namespace
}  // namespace vc
