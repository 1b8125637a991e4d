// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "io/error.h"
#include "model_chunks.h"
#include "ops/dff_check.h"
#include "temp_dir.h"
#include "thrown_error.h"

namespace vc {
namespace {

using test::Bytes;
using test::Chunk;
using test::Join;
using test::Texture;
using test::TextureRef;

TTexFile Entry(std::string name, std::string alpha = "") {
    TTexFile entry;
    entry.TexName = std::move(name);
    entry.TexPath = "/t/" + entry.TexName + ".bmp";
    entry.HasAlpha = !alpha.empty();
    entry.AlphaName = std::move(alpha);
    return entry;
}

// The texture and alpha flags of each model texture after the comparison.
std::vector<std::pair<bool, bool>> Found(std::vector<TDFFTex> model, const TextureList& list) {
    CompareWithTextureList(model, list);
    std::vector<std::pair<bool, bool>> found;
    for (const TDFFTex& texture : model) {
        found.emplace_back(texture.TexFound, texture.AlphaFound);
    }
    return found;
}

using Flags = std::vector<std::pair<bool, bool>>;

// Without an alpha on either side the alpha names are equal (both empty); that flag is never read
// for a texture without alpha.
TEST(DffCheck, NamesMatchWithoutCaseButWithoutTrimming) {
    EXPECT_EQ(Found({TextureRef("wheel")}, {Entry("Wheel")}), (Flags{{true, true}}));
    EXPECT_EQ(Found({TextureRef("wheel")}, {Entry("wheel ")}), (Flags{{false, false}}));
    EXPECT_EQ(Found({TextureRef("Rim"), TextureRef("rim")}, {Entry("rim")}), (Flags{{true, true}, {true, true}}));
    EXPECT_EQ(Found({TextureRef("Ärger")}, {Entry("ärger")}), (Flags{{false, false}}));
}

TEST(DffCheck, AnAlphaCountsOnlyOnAnEntryOfTheSameTexture) {
    const std::vector<TDFFTex> rim = {TextureRef("rim", "rim_a")};
    EXPECT_EQ(Found(rim, {Entry("rim")}), (Flags{{true, false}}));
    EXPECT_EQ(Found(rim, {Entry("rim"), Entry("rim", "RIM_A")}), (Flags{{true, true}}));
    EXPECT_EQ(Found(rim, {Entry("rim_a"), Entry("rim")}), (Flags{{true, false}}));
}

TEST(DffCheck, SummaryCountsMissingTexturesAndAlphas) {
    std::vector<TDFFTex> none;
    EXPECT_EQ(Summarize(none).Text, "All textures are available.");
    EXPECT_EQ(Summarize(none).Colour, ResultColour::Green);

    std::vector<TDFFTex> model = {TextureRef("body"), TextureRef("rim", "rim_a"), TextureRef("glass")};
    CompareWithTextureList(model, {Entry("body"), Entry("rim")});
    const CheckSummary some = Summarize(model);
    EXPECT_EQ(some.Missing, 2u);
    EXPECT_EQ(some.Text, "2 textures are missing!");
    EXPECT_EQ(some.Colour, ResultColour::Orange);

    std::vector<TDFFTex> one = {TextureRef("body"), TextureRef("glass")};
    CompareWithTextureList(one, {Entry("body")});
    EXPECT_EQ(Summarize(one).Text, "1 textures are missing!");

    std::vector<TDFFTex> all = {TextureRef("body")};
    CompareWithTextureList(all, {});
    EXPECT_EQ(Summarize(all).Text, "No textures are available!");
    EXPECT_EQ(Summarize(all).Colour, ResultColour::Red);
    const Rgb orange = ColourOf(ResultColour::Orange);
    EXPECT_EQ(std::vector<int>({orange.Red, orange.Green, orange.Blue}), std::vector<int>({255, 176, 0}));
}

TEST(DffCheck, ItemTextsJoinTextureAndAlpha) {
    EXPECT_EQ(ItemText(TextureRef("wheel")), "wheel");
    EXPECT_EQ(ItemText(TextureRef("rim", "rim_a")), "rim; rim_a");
}

class RunDffCheckTest : public testing::Test {
  protected:
    std::string WriteModel(const std::string& name) {
        const Bytes model = Chunk(16, Join({Chunk(7, Texture({"wheel"})), Chunk(7, Texture({"Rim", "rim_a"})),
                                            Chunk(7, Texture({"wheel"}))}));
        return dir.Write(name, model);
    }

    test::TempDir dir;
};

TEST_F(RunDffCheckTest, ComparesTheModelsTexturesWithTheList) {
    const DffCheckResult result = RunDffCheck(WriteModel("Car.dff"), {Entry("WHEEL")}, std::nullopt);
    EXPECT_EQ(result.Caption, "DFF Texture Check - Car.dff");
    ASSERT_EQ(result.DFFTexList.size(), 2u);
    EXPECT_EQ(result.DFFTexList[0].TexName, "Rim");
    EXPECT_FALSE(result.DFFTexList[0].TexFound);
    EXPECT_EQ(result.DFFTexList[1].TexName, "wheel");
    EXPECT_TRUE(result.DFFTexList[1].TexFound);
    EXPECT_EQ(result.Summary.Text, "1 textures are missing!");
}

TEST_F(RunDffCheckTest, WritesTheLogWhenAskedAndOverwritesAnOldOne) {
    const std::string model = WriteModel("car.dff");
    const std::string logPath = dir.WriteText("dfflog.txt", std::string(5000, '#'));
    RunDffCheck(model, {}, ChunkLogRequest{logPath, "today", NumberFormat{}});
    const std::string log = test::ReadText(logPath);
    EXPECT_EQ(log.rfind("Created on today by Vellumcraft 1.1\r\n\r\nCAR.DFF (", 0), 0u);
    EXPECT_NE(log.find("> rim_a\r\n"), std::string::npos);
    EXPECT_TRUE(log.ends_with("  :. Appendix (size: 0)\r\n"));
    EXPECT_EQ(log.find('#'), std::string::npos);
}

TEST_F(RunDffCheckTest, UnreadableModelOrLogFailsWithAClearMessageAndWritesNoLog) {
    const std::string logPath = dir.File("dfflog.txt");
    const std::string error = test::ErrorText([&] {
        RunDffCheck(dir.File("missing.dff"), {}, ChunkLogRequest{logPath, "today", NumberFormat{}});
    });
    EXPECT_NE(error.find("missing.dff"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(logPath));
    EXPECT_THROW(RunDffCheck(WriteModel("car.dff"), {}, ChunkLogRequest{dir.File("no/dfflog.txt"), "", NumberFormat{}}),
                 Error);
}

}  // namespace
}  // namespace vc
