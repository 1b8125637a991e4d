#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "image_files.h"
#include "io/atomic_file.h"
#include "temp_dir.h"
#include "txd/txd_builder.h"
#include "txd/txd_extraction.h"
#include "txd_chunks.h"
#include "workspace/list_import.h"

namespace vc {
namespace {

// Writes what extraction hands over into a folder, and remembers the names in the order given.
class FolderSink final : public ExtractionSink {
  public:
    explicit FolderSink(const test::TempDir& dir) : m_dir(dir) {}
    void Write(std::string_view fileName, std::span<const uint8_t> bytes) override {
        Names.emplace_back(fileName);
        WriteFileAtomically(m_dir.File(fileName), bytes);
    }
    std::vector<std::string> Names;

  private:
    const test::TempDir& m_dir;
};

class TxdExtractionTest : public testing::Test {
  protected:
    std::string Paletted(const std::string& name, int width, int height, int entries) {
        std::vector<RgbColour> palette;
        for (int i = 0; i < entries; ++i) {
            palette.push_back({static_cast<uint8_t>(i * 37), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i)});
        }
        return images.Write(name, test::MakePalettedBmp(width, height, palette, [=](int x, int y) {
                                return static_cast<uint8_t>((x * 3 + y * 5) % entries);
                            }));
    }
    std::string TrueColour(const std::string& name, int width, int height, int shade) {
        return images.Write(name, test::MakeTrueColourBmp(width, height, [=](int x, int y) {
                                return RgbColour{static_cast<uint8_t>(x * 29 + shade), static_cast<uint8_t>(y * 71),
                                                 static_cast<uint8_t>(x * y + shade)};
                            }));
    }
    // Adds an image with an alpha image as the settings dialog gives it.
    void AddWithAlpha(Workspace& workspace, const std::string& colour, const std::string& alpha,
                      const std::string& alphaName) {
        AddFile(workspace, colour, true);
        TTexFile& entry = workspace.TexList.back();
        ASSERT_TRUE(workspace.Intake.ReadImageFile(alpha, kAlphaSlot, false, true, entry.AlphaInfo));
        entry.HasAlpha = true;
        entry.AlphaPath = alpha;
        entry.AlphaName = alphaName;
    }

    test::TempDir images;
};

// Every kind of texture this product builds, with every version stamp and flag word: extracted
// and built again from the written list, the dictionary comes out byte for byte the same.
TEST_F(TxdExtractionTest, ExtractedListBuildsTheSameDictionaryAgain) {
    Workspace original;
    AddFile(original, Paletted("plain8.bmp", 16, 8, 256), true);
    AddFile(original, Paletted("short8.bmp", 4, 4, 5), true);  // the build pads the palette with black
    AddFile(original, TrueColour("plain24.bmp", 8, 16, 1), true);
    AddWithAlpha(original, Paletted("fence.bmp", 8, 8, 64), Paletted("fencemask.bmp", 8, 8, 200), "fence_m");
    AddWithAlpha(original, TrueColour("glass.bmp", 4, 8, 2), TrueColour("glassmask.bmp", 4, 8, 3), "glassa");
    AddWithAlpha(original, TrueColour("leaf.bmp", 8, 8, 4), Paletted("leafmask.bmp", 8, 8, 16), "leafm");
    ASSERT_EQ(original.Intake.ProblemText, "");
    for (size_t choice = 0; choice < 3; ++choice) {
        const TxdOptions options{.VersionIndex = choice, .FlagIndex = 2 - choice};
        const BuildResult built = BuildTxd(original, options);
        ASSERT_EQ(built.Written, 6u);

        test::TempDir folder;
        FolderSink sink(folder);
        const ExtractionResult extracted = ExtractTxd(built.Bytes, "set", folder.Path().string(), sink);
        EXPECT_EQ(extracted.Failed, 0u);
        EXPECT_EQ(extracted.ListFile, "set.txt");
        EXPECT_EQ(sink.Names,
                  (std::vector<std::string>{"plain8.bmp", "short8.bmp", "plain24.bmp", "fence.bmp", "fence_m.bmp",
                                            "glass.bmp", "glassa.bmp", "leaf.bmp", "leafm.bmp", "set.txt"}));

        Workspace rebuilt;
        ASSERT_EQ(ImportTextureList(rebuilt, folder.File("set.txt"), true), 6u);
        EXPECT_EQ(rebuilt.Intake.ProblemText, "");
        EXPECT_EQ(BuildTxd(rebuilt, options).Bytes, built.Bytes) << "stamp and flag choice " << choice;
    }
}

TEST_F(TxdExtractionTest, FileNamesStayInTheFolderAndTheListKeepsTheRealNames) {
    Workspace original;
    for (const char* name : {"../../up", "Wall", "wall", "CON", "a/b"}) {
        AddFile(original, Paletted(std::to_string(original.TexList.size()) + ".bmp", 4, 4, 4), true);
        original.TexList.back().TexName = name;
    }
    const BuildResult built = BuildTxd(original, {});
    test::TempDir folder;
    FolderSink sink(folder);
    const ExtractionResult extracted = ExtractTxd(built.Bytes, "names", folder.Path().string(), sink);
    EXPECT_EQ(sink.Names,
              (std::vector<std::string>{".._.._up.bmp", "Wall.bmp", "wall_2.bmp", "CON_.bmp", "a_b.bmp", "names.txt"}));
    for (const auto& file : std::filesystem::recursive_directory_iterator(folder.Path())) {
        EXPECT_EQ(file.path().parent_path(), folder.Path()) << file.path();
    }
    // The list names the real textures; its import takes "wall" for a second "Wall", as for any list.
    Workspace rebuilt;
    ImportTextureList(rebuilt, folder.File("names.txt"), true);
    ASSERT_EQ(rebuilt.TexList.size(), 4u);
    EXPECT_EQ(rebuilt.TexList[0].TexName, "../../up");
    EXPECT_EQ(rebuilt.TexList[0].TexPath, folder.File(".._.._up.bmp"));
    EXPECT_EQ(rebuilt.TexList[3].TexName, "a/b");
    EXPECT_EQ(rebuilt.Intake.ProblemText, "\r\n\r\n=> \"wall_2.bmp\" already exists.");
}

// A texture that cannot be decoded is reported; the others are extracted and listed.
TEST_F(TxdExtractionTest, AnUnreadableTextureIsReportedAndTheRestExtracted) {
    using namespace test;
    const Bytes good = TextureNative(
        {.Name = "good", .RasterFormat = 0x0600, .Width = 4, .Height = 4, .LevelPixels = {Bytes(4 * 4 * 4, 0x80)}});
    const Bytes strange = TextureNative(
        {.Name = "strange", .RasterFormat = 0x7F00, .Width = 4, .Height = 4, .LevelPixels = {Bytes(4 * 4 * 4, 0x80)}});
    const Bytes dictionary = Dictionary({strange, good});
    test::TempDir folder;
    FolderSink sink(folder);
    const ExtractionResult extracted = ExtractTxd(dictionary, "d", folder.Path().string(), sink);
    EXPECT_EQ(extracted.Failed, 1u);
    ASSERT_EQ(extracted.Textures.size(), 2u);
    EXPECT_NE(extracted.Textures[0].Problem, "");
    EXPECT_EQ(extracted.Textures[0].ImageFile, "");
    EXPECT_EQ(extracted.Textures[1].ImageFile, "good.bmp");
    EXPECT_EQ(sink.Names, (std::vector<std::string>{"good.bmp", "d.txt"}));
}

}  // namespace
}  // namespace vc
