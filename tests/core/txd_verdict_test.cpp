// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "image_files.h"
#include "ops/txd_builder.h"
#include "ops/txd_extraction.h"
#include "ops/txd_verdict.h"
#include "ops/workspace.h"
#include "temp_dir.h"
#include "txd_chunks.h"

namespace vc {
namespace {

using test::Bytes;
using test::NativeFields;

// 4 × 4 pixels of 888 as blue, green, red and an unused 255; the first pixel's fourth byte given.
Bytes Pixels(uint32_t side, uint8_t firstAlpha = 255) {
    Bytes pixels(size_t{side} * side * 4, 255);
    for (size_t i = 0; i < size_t{side} * side; ++i) {
        pixels[4 * i] = static_cast<uint8_t>(i * 9);
        pixels[4 * i + 1] = static_cast<uint8_t>(i * 5);
        pixels[4 * i + 2] = static_cast<uint8_t>(200 - i);
    }
    pixels[3] = firstAlpha;
    return pixels;
}

// A DXT1 block in its four-colour form, which holds no transparent pixel.
Bytes Dxt1Block(uint8_t colour) {
    return {0xFF, colour, 0x00, 0x00, 0x1B, 0x1B, 0x1B, 0x1B};
}

// A texture each game takes as it is: 4 × 4 of 888, one level, filtered linearly.
NativeFields Clean(Game game) {
    const bool direct3d9 = TargetOf(game).Platform == TxdPlatform::Direct3D9;
    return {.Platform = direct3d9 ? 9u : 8u,
            .Flags = 0x1102,
            .Name = "clean",
            .RasterFormat = 0x0600,
            .AlphaOrD3dFormat = direct3d9 ? 22u : 0u,
            .Width = 4,
            .Height = 4,
            .Depth = 32,
            .LevelPixels = {Pixels(4)}};
}

// A native of fields with mipmaps: three levels of 888 and the filter and raster bits that go with them.
NativeFields WithLevels(NativeFields fields) {
    fields.LevelPixels = {Pixels(4), Pixels(2), Pixels(1)};
    fields.Flags = 0x1106;
    fields.RasterFormat |= 0x8000;
    return fields;
}

// The byte at a native's field offset set, for fields the helper cannot write (a name without end).
Bytes Patched(Bytes native, size_t fieldOffset, uint8_t value) {
    native.at(24 + fieldOffset) = value;
    return native;
}

struct RuleCase {
    std::string Rule;
    Game Target;
    std::function<std::vector<Bytes>(uint32_t stamp)> Natives;
    std::optional<uint32_t> Stamp;  // the dictionary's own, when not the game's
    size_t CutBytes = 0;            // cut from the dictionary's end
};

Bytes Native(const NativeFields& fields, uint32_t stamp) {
    return test::TextureNative(fields, stamp);
}

std::vector<RuleCase> RuleCases() {
    const auto one = [](NativeFields fields) {
        return [fields](uint32_t stamp) { return std::vector<Bytes>{Native(fields, stamp)}; };
    };
    NativeFields d3d9InIii = Clean(Game::SanAndreas);
    // Names of 31 bytes, the longest a field holds with its end; the patch below fills the end.
    NativeFields longName = Clean(Game::Gta3);
    longName.Name = std::string(31, 'n');
    longName.MaskName = std::string(31, 'm');
    NativeFields nonPowerOfTwo = Clean(Game::Gta3);
    nonPowerOfTwo.Width = 12;
    nonPowerOfTwo.LevelPixels = {Bytes(12 * 4 * 4, 0xFF)};
    NativeFields smallDxt{.Platform = 8,
                          .Flags = 0x1102,
                          .Name = "tiny",
                          .RasterFormat = 0x0200,
                          .Width = 2,
                          .Height = 2,
                          .Depth = 16,
                          .CompressionOrFlags = 1,
                          .LevelPixels = {Dxt1Block(0x10)}};
    NativeFields tooManyLevels = WithLevels(Clean(Game::Gta3));
    tooManyLevels.LevelPixels.push_back(Pixels(1));
    NativeFields blackRoads{.Platform = 9,
                            .Flags = 0x1106,
                            .Name = "road",
                            .RasterFormat = 0x8200,
                            .AlphaOrD3dFormat = 0x31545844,
                            .Width = 4,
                            .Height = 4,
                            .Depth = 16,
                            .CompressionOrFlags = 0x08,
                            .LevelPixels = {Dxt1Block(0x10), Dxt1Block(0x20), Dxt1Block(0x10)}};
    NativeFields unusedLevels = WithLevels(Clean(Game::Gta3));
    unusedLevels.Flags = 0x1102;
    NativeFields missingLevels = Clean(Game::Gta3);
    missingLevels.Flags = 0x1106;
    NativeFields paletted = Clean(Game::SanAndreas);
    paletted.RasterFormat = 0x2600;
    paletted.AlphaOrD3dFormat = 41;
    paletted.Depth = 8;
    paletted.Palette = Bytes(1024, 0xFF);
    paletted.LevelPixels = {Bytes(16, 3)};
    NativeFields alphaOn888 = Clean(Game::Gta3);
    alphaOn888.AlphaOrD3dFormat = 1;
    NativeFields translucent = Clean(Game::Gta3);
    translucent.RasterFormat = 0x0500;
    translucent.LevelPixels = {Pixels(4, 128)};
    NativeFields opaqueWithAlpha = Clean(Game::Gta3);
    opaqueWithAlpha.RasterFormat = 0x0500;
    opaqueWithAlpha.AlphaOrD3dFormat = 1;
    NativeFields bitWithoutLevels = Clean(Game::Gta3);
    bitWithoutLevels.RasterFormat = 0x8600;
    NativeFields levelsWithoutBit = WithLevels(Clean(Game::Gta3));
    levelsWithoutBit.RasterFormat = 0x0600;
    NativeFields upper = Clean(Game::Gta3);
    upper.Name = "CLEAN";
    NativeFields unknownFormat = Clean(Game::SanAndreas);
    unknownFormat.AlphaOrD3dFormat = 77;
    return {
        {"platform", Game::Gta3, one(d3d9InIii), {}},
        {"name-length",
         Game::Gta3,
         [=](uint32_t stamp) { return std::vector<Bytes>{Patched(Native(longName, stamp), 8 + 31, 'x')}; },
         {}},
        {"mask-name-length",
         Game::Gta3,
         [=](uint32_t stamp) { return std::vector<Bytes>{Patched(Native(longName, stamp), 40 + 31, 'x')}; },
         {}},
        {"power-of-two", Game::Gta3, one(nonPowerOfTwo), {}},
        {"dxt-side", Game::Gta3, one(smallDxt), {}},
        {"level-count", Game::Gta3, one(tooManyLevels), {}},
        {"small-dxt-levels", Game::SanAndreas, one(blackRoads), {}},
        {"mipmaps-unused", Game::Gta3, one(unusedLevels), {}},
        {"mipmaps-missing", Game::Gta3, one(missingLevels), {}},
        {"vice-city-mipmaps", Game::ViceCity, one(WithLevels(Clean(Game::ViceCity))), {}},
        {"palette-on-today's-cards", Game::SanAndreas, one(paletted), {}},
        {"alpha-without-channel", Game::Gta3, one(alphaOn888), {}},
        {"alpha-ignored", Game::Gta3, one(translucent), {}},
        {"alpha-unused", Game::Gta3, one(opaqueWithAlpha), {}},
        {"mipmap-bit-without-levels", Game::Gta3, one(bitWithoutLevels), {}},
        {"levels-without-mipmap-bit", Game::Gta3, one(levelsWithoutBit), {}},
        {"duplicate-name",
         Game::Gta3,
         [=](uint32_t stamp) {
             return std::vector<Bytes>{Native(Clean(Game::Gta3), stamp), Native(upper, stamp)};
         },
         {}},
        {"stamp", Game::Gta3, one(Clean(Game::Gta3)), 0x1003FFFF},
        {"unreadable", Game::SanAndreas, one(unknownFormat), {}},
        {"damaged",
         Game::Gta3,
         [=](uint32_t stamp) {
             return std::vector<Bytes>{Native(Clean(Game::Gta3), stamp), Native(upper, stamp)};
         },
         {},
         60},
    };
}

// One hand-made dictionary per rule, each breaking that rule alone: the verdict names it, and only
// it; the same textures made clean give no finding at all.
TEST(TxdVerdict, EachRuleIsFoundAloneInADictionaryThatBreaksOnlyIt) {
    for (const RuleCase& c : RuleCases()) {
        SCOPED_TRACE(c.Rule);
        const GameTarget& target = TargetOf(c.Target);
        const uint32_t stamp = c.Stamp.value_or(target.Stamp);
        Bytes file = test::Dictionary(c.Natives(stamp), target.DeviceId, stamp);
        file.resize(file.size() - c.CutBytes);
        const Verdict verdict = VerifyTxd(file, ReadTxdUpToDamage(file), c.Target);
        std::string rules;
        for (const Finding& finding : verdict.Findings) {
            rules += std::string(finding.Rule) + " ";
        }
        EXPECT_EQ(verdict.Findings.size(), 1u) << rules;
        if (verdict.Findings.size() != 1) {
            continue;
        }
        EXPECT_EQ(verdict.Findings[0].Rule, c.Rule) << verdict.Findings[0].Reason;
        EXPECT_FALSE(verdict.Findings[0].Reason.empty());
        EXPECT_EQ(verdict.Fails(), verdict.Findings[0].Level != Severity::WorthKnowing);
    }
    for (const Game game : {Game::Gta3, Game::ViceCity, Game::SanAndreas}) {
        const Bytes file = test::Dictionary({Native(Clean(game), TargetOf(game).Stamp)}, TargetOf(game).DeviceId,
                                            TargetOf(game).Stamp);
        EXPECT_EQ(VerifyTxd(file, ReadTxd(file), game).Findings, std::vector<Finding>{}) << TargetOf(game).Name;
    }
}

class DiscardingSink final : public ExtractionSink {
  public:
    void Write(std::string_view, std::span<const uint8_t>) override {}
};

// Taking a dictionary apart judges it as verify does, texture by texture, on any number of workers:
// the rules' own dictionaries, and those of other writers.
TEST(TxdVerdict, ExtractionJudgesAsVerifyDoes) {
    std::vector<Bytes> files;
    for (const RuleCase& c : RuleCases()) {
        const GameTarget& target = TargetOf(c.Target);
        const uint32_t stamp = c.Stamp.value_or(target.Stamp);
        files.push_back(test::Dictionary(c.Natives(stamp), target.DeviceId, stamp));
        files.back().resize(files.back().size() - c.CutBytes);
    }
    for (const auto& entry : std::filesystem::directory_iterator(VELLUMCRAFT_LOSSLESS_DIR)) {
        if (entry.path().extension() == ".txd") {
            files.push_back(test::ReadBytes(entry.path().string()));
        }
    }
    size_t failing = 0;
    for (size_t i = 0; i < files.size(); ++i) {
        const Bytes& file = files[i];
        const Verdict verified = VerifyTxd(file, ReadTxdUpToDamage(file), std::nullopt);
        failing += verified.Fails() ? 1 : 0;
        for (const unsigned jobs : {1u, 2u}) {
            DiscardingSink sink;
            EXPECT_EQ(ExtractTxd(file, "list", "folder", sink, {}, jobs).Judgement, verified) << "file " << i;
        }
    }
    EXPECT_GT(failing, 10u);  // the cases judge something
}

// What the product writes for each game, in every format, with and without mipmaps, neither fails
// to load nor looks wrong there; and the game is told by the dictionary alone.
TEST(TxdVerdict, DictionariesTheProductWritesPassForTheirGame) {
    test::TempDir dir;
    test::PngFields png{.Width = 16, .Height = 16, .Colour = test::PngColour::Rgba};
    for (uint16_t i = 0; i < 256; ++i) {
        png.Samples.insert(png.Samples.end(),
                           {uint16_t(i), uint16_t(255 - i), uint16_t(i * 7 % 256), uint16_t(i < 128 ? 255 : 40)});
    }
    const Bytes image = test::MakePng(png);
    for (const GameTarget& target : kGameTargets) {
        Workspace workspace;
        for (const TextureFormat format : OutputFormats()) {
            for (const bool mipmaps : {false, true}) {
                const std::string name = std::string(TextureFormatName(format)) + (mipmaps ? "m" : "");
                AddFile(workspace, dir.Write(name + ".png", image), true);
                workspace.TexList.back().Output.Format = format;
                workspace.TexList.back().Output.Mipmaps = mipmaps;
            }
        }
        const BuildResult built = BuildTxd(workspace, {.Target = target.Id});
        const std::vector<uint8_t>& file = built.Bytes;
        const Verdict verdict = VerifyTxd(file, ReadTxd(file), std::nullopt);
        // The build judged what it wrote as verify does, but for the rules of pixels, which it leaves out.
        std::vector<Finding> byFields = verdict.Findings;
        std::erase_if(byFields, [](const Finding& finding) {
            return finding.Rule.starts_with("alpha-") && finding.Rule != "alpha-without-channel";
        });
        EXPECT_EQ(built.Judgement.Findings, byFields) << target.Name;
        EXPECT_EQ(built.Judgement.Target, target.Id);
        EXPECT_EQ(verdict.Target, target.Id);
        EXPECT_TRUE(verdict.Guessed);
        for (const Finding& finding : verdict.Findings) {
            EXPECT_EQ(finding.Level, Severity::WorthKnowing)
                << target.Name << ": " << finding.Rule << " " << workspace.TexList[*finding.Texture].TexName;
        }
    }
}

}  // namespace
}  // namespace vc
