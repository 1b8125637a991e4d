// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "image_files.h"
#include "io/atomic_file.h"
#include "io/byte_reader.h"
#include "io/error.h"
#include "ops/list_import.h"
#include "ops/txd_builder.h"
#include "ops/txd_extraction.h"
#include "rw/txd_format.h"
#include "rw/txd_reader.h"
#include "temp_dir.h"
#include "txd_chunks.h"

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
        ASSERT_TRUE(workspace.Intake.ReadImageFile(alpha, kAlphaSlot, false, IntakeRules{}, entry.AlphaInfo));
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
    // The list names the real textures. The dictionary held "wall" after "Wall": the list marks the
    // second as such, and its import keeps both, so that the dictionary comes back whole.
    Workspace rebuilt;
    ImportTextureList(rebuilt, folder.File("names.txt"), true);
    EXPECT_EQ(rebuilt.Intake.ProblemText, "");
    ASSERT_EQ(rebuilt.TexList.size(), 5u);
    EXPECT_EQ(rebuilt.TexList[0].TexName, "../../up");
    EXPECT_EQ(rebuilt.TexList[0].TexPath, folder.File(".._.._up.bmp"));
    EXPECT_EQ(rebuilt.TexList[2].TexName, "wall");
    EXPECT_EQ(rebuilt.TexList[2].TexPath, folder.File("wall_2.bmp"));
    EXPECT_EQ(rebuilt.TexList[4].TexName, "a/b");
    for (size_t i = 0; i < rebuilt.TexList.size(); ++i) {
        EXPECT_EQ(rebuilt.TexList[i].Output.RepeatedName, i == 2) << i;
    }
    EXPECT_EQ(BuildTxd(rebuilt, {}).Bytes, built.Bytes);

    // Imported again, the entries are in the list already, whatever the mark says.
    ImportTextureList(rebuilt, folder.File("names.txt"), true);
    EXPECT_EQ(rebuilt.TexList.size(), 5u);
    EXPECT_NE(rebuilt.Intake.ProblemText.find("=> \"wall_2.bmp\" already exists."), std::string::npos);
}

// A dictionary's names may hold any byte: a line break in a name or mask name must not become a
// key of the list (pointing an entry at a file of the attacker's choosing), and blanks at either
// end must survive, so that every name comes back exactly.
TEST_F(TxdExtractionTest, NamesWithLineBreaksAndOuterBlanksComeBackExactlyAndInjectNoKeys) {
    using namespace test;
    test::TempDir folder;
    const std::string planted = folder.Write("o.bmp", MakeTrueColourBmp(4, 4, [](int, int) {
                                                 return RgbColour{1, 2, 3};
                                             }));
    const std::vector<std::string> names = {"e\npath=o.bmp", " lead", "tail\t", "m\r\nalphapath=x"};
    std::vector<Bytes> natives;
    for (const std::string& name : names) {
        natives.push_back(TextureNative({.Name = name,
                                         .MaskName = name.substr(0, 8) + "\nmask=1",
                                         .RasterFormat = 0x0600,
                                         .Width = 4,
                                         .Height = 4,
                                         .LevelPixels = {PatternBytes(64, 1)}}));
    }
    FolderSink sink(folder);
    ASSERT_EQ(ExtractTxd(Dictionary(natives), "set", folder.Path().string(), sink).Failed, 0u);
    const std::string list = ReadText(folder.File("set.txt"));
    EXPECT_EQ(list.find("\npath=o.bmp"), std::string::npos) << list;

    Workspace imported;
    ASSERT_EQ(ImportTextureList(imported, folder.File("set.txt"), false), names.size());
    for (size_t i = 0; i < names.size(); ++i) {
        const TTexFile& entry = imported.TexList[i];
        EXPECT_EQ(entry.TexName, names[i]);
        EXPECT_EQ(entry.Output.MaskName, names[i].substr(0, 8) + "\nmask=1");
        EXPECT_NE(entry.TexPath, planted);
    }
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
    // Its unused bytes are not 255, so only a DDS file keeps them.
    EXPECT_EQ(extracted.Textures[1].ImageFile, "good.dds");
    EXPECT_EQ(sink.Names, (std::vector<std::string>{"good.dds", "d.txt"}));
}

// PAL4 has no DDS form, so its picture is what is kept, also when it has levels below it.
TEST_F(TxdExtractionTest, AMipmappedPal4TextureGivesItsPictureAsABitmap) {
    using namespace test;
    const Bytes pal4 = TextureNative({.Name = "pal4",
                                      .RasterFormat = 0xC500,
                                      .Width = 4,
                                      .Height = 4,
                                      .Depth = 4,
                                      .Palette = PatternBytes(128, 1),
                                      .LevelPixels = {Bytes(16, 3), Bytes(4, 2), Bytes(1, 1)}});
    test::TempDir folder;
    FolderSink sink(folder);
    const ExtractionResult extracted = ExtractTxd(Dictionary({pal4}), "d", folder.Path().string(), sink);
    ASSERT_EQ(extracted.Textures.size(), 1u);
    EXPECT_EQ(extracted.Failed, 0u);
    EXPECT_EQ(extracted.Textures[0].ImageFile, "pal4.bmp");
    EXPECT_EQ(extracted.Textures[0].Levels, 3u);
}

// Levels of format down from width × height, each with its own bytes.
std::vector<test::Bytes> Levels(TextureFormat format, uint32_t width, uint32_t height, size_t count, uint32_t pattern) {
    std::vector<test::Bytes> levels;
    for (size_t i = 0; i < count; ++i) {
        levels.push_back(test::PatternBytes(LevelSize(format, width, height), pattern + static_cast<uint32_t>(i)));
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
    }
    return levels;
}

// Each texture native chunk of a dictionary, header and all, in order.
std::vector<test::Bytes> NativeChunks(const std::vector<uint8_t>& dictionary) {
    std::vector<test::Bytes> chunks;
    for (const TxdTexture& texture : ReadTxd(dictionary).Textures) {
        const size_t size = 12 + LoadU32(&dictionary.at(texture.Offset + 4));
        chunks.emplace_back(dictionary.begin() + static_cast<ptrdiff_t>(texture.Offset),
                            dictionary.begin() + static_cast<ptrdiff_t>(texture.Offset + size));
    }
    return chunks;
}

// Texture natives written field by field in every Direct3D 8 form: each format, one level, some
// levels and the whole chain, flag words of every kind, mask names, alpha flags that disagree with
// the pixels, a raster format with the automatic mipmap bit, and extension content.
std::vector<test::NativeFields> Direct3D8Natives() {
    using test::Bytes;
    using test::NativeFields;
    std::vector<NativeFields> natives;
    const auto add = [&](TextureFormat format, uint32_t raster, uint32_t alpha, uint8_t depth, uint8_t compression,
                         size_t levels, uint32_t flags, std::string mask = "") {
        const size_t number = natives.size();
        NativeFields fields{.Flags = flags,
                            .Name = "tex" + std::to_string(number),
                            .MaskName = std::move(mask),
                            .RasterFormat = raster,
                            .AlphaOrD3dFormat = alpha,
                            .Width = 8,
                            .Height = 4,
                            .Depth = depth,
                            .CompressionOrFlags = compression,
                            .LevelPixels = Levels(format, 8, 4, levels, static_cast<uint32_t>(number * 100))};
        if (format == TextureFormat::Pal8) {
            fields.Palette = test::PatternBytes(1024, static_cast<uint32_t>(number));
        }
        natives.push_back(std::move(fields));
        return number;
    };
    using F = TextureFormat;
    add(F::Pal8, 0x2500, 1, 8, 0, 1, 0x1102, "tex0a");
    add(F::Pal8, 0x2600, 0, 8, 0, 1, 0x1101);             // palette alpha without the alpha flag
    add(F::Pal8, 0xA500, 1, 8, 0, 3, 0x1106, "tex2");     // levels, and the texture's own name as mask
    add(F::C8888, 0x0500, 1, 32, 0, 1, 0x3302);           // clamped, and no mask name
    add(F::C8888, 0x8500, 1, 32, 0, 4, 0x1106, "glass");  // the whole chain: 8 × 4 down to 1 × 1
    add(F::C888, 0x0600, 0, 32, 0, 1, 0x1102, "unused");  // its fourth bytes are not 255
    add(F::C565, 0x0200, 0, 16, 0, 1, 0x1102);
    add(F::C1555, 0x8100, 1, 16, 0, 2, 0x1103, "m");
    add(F::C4444, 0x0300, 1, 16, 0, 1, 0x1102);
    add(F::C555, 0x0A00, 0, 16, 0, 1, 0x2202);
    add(F::Lum8, 0x0400, 0, 8, 0, 1, 0x1101);
    add(F::Dxt1, 0x0200, 0, 16, 1, 1, 0x1102);
    add(F::Dxt1, 0x8100, 1, 16, 1, 4, 0x1106, "tex12a");
    add(F::Dxt3, 0x9300, 1, 16, 3, 2, 0x1106);  // the library made its levels
    natives[add(F::Dxt5, 0x8300, 1, 16, 5, 4, 0x1106, "x")].Extension = {1, 2, 3, 4, 5};
    // 888 and 8888 that a bitmap holds: unused bytes of 255, and all alpha opaque without the flag.
    for (const size_t opaque :
         {add(F::C888, 0x0600, 0, 32, 0, 1, 0x1102), add(F::C8888, 0x0500, 0, 32, 0, 1, 0x1102)}) {
        Bytes& pixels = natives[opaque].LevelPixels[0];
        for (size_t i = 3; i < pixels.size(); i += 4) {
            pixels[i] = 255;
        }
    }
    // Alpha formats without the alpha flag, and depth fields other writers set otherwise.
    add(F::C1555, 0x0100, 0, 16, 0, 1, 0x1102);
    add(F::C4444, 0x8300, 0, 16, 0, 4, 0x1106);
    add(F::C8888, 0x8500, 0, 32, 0, 3, 0x1106);
    add(F::Dxt5, 0x0300, 1, 32, 5, 1, 0x1102);
    add(F::C565, 0x0200, 0, 32, 0, 1, 0x1102);
    return natives;
}

// Extracted and built again with the dictionary's stamp and default options, every Direct3D 8
// texture native comes out the same.
TEST_F(TxdExtractionTest, EveryDirect3D8TextureNativeSurvivesExtractAndBuild) {
    using test::Bytes;
    using test::NativeFields;
    const std::vector<NativeFields> natives = Direct3D8Natives();
    for (size_t version = 0; version < kVersionStamps.size(); ++version) {
        const uint32_t stamp = kVersionStamps[version];
        SCOPED_TRACE("stamp " + std::to_string(stamp));
        std::vector<Bytes> chunks;
        for (const NativeFields& fields : natives) {
            chunks.push_back(test::TextureNative(fields, stamp));
        }
        const Bytes dictionary = test::Dictionary(chunks, 0, stamp);

        test::TempDir folder;
        FolderSink sink(folder);
        const ExtractionResult extracted = ExtractTxd(dictionary, "all", folder.Path().string(), sink);
        ASSERT_EQ(extracted.Failed, 0u);
        Workspace rebuilt;
        ASSERT_EQ(ImportTextureList(rebuilt, folder.File("all.txt"), true), natives.size());
        EXPECT_EQ(rebuilt.Intake.ProblemText, "");
        const std::vector<Bytes> again = NativeChunks(BuildTxd(rebuilt, {.VersionIndex = version}).Bytes);
        ASSERT_EQ(again.size(), chunks.size());
        for (size_t i = 0; i < chunks.size(); ++i) {
            EXPECT_EQ(again[i], chunks[i]) << natives[i].Name << " from " << extracted.Textures[i].ImageFile;
        }
    }
}

// Everything one extraction hands over, in order: each progress call and each file with its
// bytes, and the result as text. The sink and the progress must be called on the extracting thread.
class RecordingSink final : public ExtractionSink {
  public:
    explicit RecordingSink(std::optional<size_t> failingWrite) : m_failingWrite(failingWrite) {}
    void Write(std::string_view fileName, std::span<const uint8_t> bytes) override {
        EXPECT_EQ(std::this_thread::get_id(), m_caller) << fileName;
        if (Files.size() == m_failingWrite) {
            throw Error(ErrorKind::Write, "Cannot write \"" + std::string(fileName) + "\"");
        }
        Events.push_back("write " + std::string(fileName));
        Files.emplace_back(fileName, test::Bytes(bytes.begin(), bytes.end()));
    }
    void Progress(size_t done, size_t total, std::string_view name) {
        EXPECT_EQ(std::this_thread::get_id(), m_caller) << name;
        Events.push_back("progress " + std::to_string(done) + "/" + std::to_string(total) + " " + std::string(name));
    }

    std::vector<std::string> Events;
    std::vector<std::pair<std::string, test::Bytes>> Files;

  private:
    std::optional<size_t> m_failingWrite;
    std::thread::id m_caller = std::this_thread::get_id();
};

struct ExtractionRecord {
    std::vector<std::string> Events;
    std::vector<std::pair<std::string, test::Bytes>> Files;
    std::string Result;  // a line per texture and a summary, or the error that ended the run
};

ExtractionRecord ExtractRecorded(const test::Bytes& dictionary, unsigned jobs,
                                 std::optional<size_t> failingWrite = {}) {
    RecordingSink sink(failingWrite);
    ExtractionRecord record;
    try {
        const ExtractionResult result = ExtractTxd(
            dictionary, "set", "/extracted", sink,
            [&](size_t done, size_t total, std::string_view name) { sink.Progress(done, total, name); }, jobs);
        for (const ExtractedTexture& texture : result.Textures) {
            record.Result += texture.Name + " " + std::to_string(texture.Width) + "x" + std::to_string(texture.Height) +
                             " " + texture.Format + " " + std::to_string(texture.Levels) + " [" + texture.ImageFile +
                             "] [" + texture.MaskName + "] [" + texture.MaskFile + "] [" + texture.Problem + "]\n";
        }
        record.Result += "list [" + result.ListFile + "], " + std::to_string(result.Failed) + " failed\n";
    } catch (const Error& error) {
        record.Result = error.what();
    }
    record.Events = std::move(sink.Events);
    record.Files = std::move(sink.Files);
    return record;
}

// A dictionary of every Direct3D 8 form, with large textures among the small ones (so that workers
// finish textures out of order), a texture that cannot be read in the middle, and names that give
// the same file name.
test::Bytes VariedDictionary() {
    using test::NativeFields;
    std::vector<NativeFields> natives = Direct3D8Natives();
    natives[0].MaskName = "tex1";  // the name of a texture after it
    natives[3].Name = "Wall";
    natives[15].Name = "wall";
    const auto insert = [&](size_t at, NativeFields fields) {
        natives.insert(natives.begin() + static_cast<ptrdiff_t>(at), std::move(fields));
    };
    insert(0, {.Flags = 0x1102,
               .Name = "sky",
               .RasterFormat = 0x0500,
               .AlphaOrD3dFormat = 1,
               .Width = 256,
               .Height = 256,
               .LevelPixels = {test::PatternBytes(256 * 256 * 4, 7)}});
    insert(5, {.Flags = 0x1101,
               .Name = "fence",
               .MaskName = "fencea",
               .RasterFormat = 0x2500,
               .AlphaOrD3dFormat = 1,
               .Width = 128,
               .Height = 128,
               .Depth = 8,
               .Palette = test::PatternBytes(1024, 8),
               .LevelPixels = {test::PatternBytes(128 * 128, 9)}});
    insert(9, {.Name = "strange",
               .RasterFormat = 0x7F00,
               .Width = 4,
               .Height = 4,
               .LevelPixels = {test::PatternBytes(4 * 4 * 4, 10)}});
    insert(12, {.Name = "road",
                .RasterFormat = 0x8200,
                .Width = 128,
                .Height = 128,
                .Depth = 16,
                .CompressionOrFlags = 1,
                .LevelPixels = Levels(TextureFormat::Dxt1, 128, 128, 8, 11)});
    std::vector<test::Bytes> chunks;
    for (const NativeFields& fields : natives) {
        chunks.push_back(test::TextureNative(fields, 0x0800FFFF));
    }
    return test::Dictionary(chunks, 0, 0x0800FFFF);
}

// A mask of the texture's own name would make an entry that a build leaves out (an alpha image
// of the texture's name): it is extracted as the name with "a", and the dictionary's own mask name
// is kept for the build.
TEST_F(TxdExtractionTest, AMaskOfTheTexturesOwnNameIsExtractedUnderAnotherAndBuildsTheSameTexture) {
    using namespace test;
    const Bytes native = TextureNative({.Flags = 0x1102,
                                        .Name = "glass",
                                        .MaskName = "glass",
                                        .RasterFormat = 0x0500,
                                        .AlphaOrD3dFormat = 1,
                                        .Width = 4,
                                        .Height = 4,
                                        .LevelPixels = {PatternBytes(64, 1)}});
    const Bytes dictionary = Dictionary({native});
    test::TempDir folder;
    FolderSink sink(folder);
    ASSERT_EQ(ExtractTxd(dictionary, "set", folder.Path().string(), sink).Failed, 0u);
    EXPECT_EQ(sink.Names, (std::vector<std::string>{"glass.bmp", "glassa.bmp", "set.txt"}));
    Workspace rebuilt;
    ASSERT_EQ(ImportTextureList(rebuilt, folder.File("set.txt"), true), 1u);
    EXPECT_EQ(NativeChunks(BuildTxd(rebuilt, {}).Bytes), std::vector<Bytes>{native});
}

// Textures are made on several threads but named, written, reported and listed in dictionary
// order, so any number of jobs gives the same files, list, result and progress as one; a write
// that fails ends every run at the same file.
TEST_F(TxdExtractionTest, AnyNumberOfJobsGivesTheSameFilesResultAndProgress) {
    const test::Bytes dictionary = VariedDictionary();
    const ExtractionRecord one = ExtractRecorded(dictionary, 1);
    EXPECT_NE(one.Result.find("strange 4x4 ? 1 [] [] [] [Texture dictionary is not valid"), std::string::npos)
        << one.Result;
    EXPECT_NE(one.Result.find("list [set.txt], 1 failed"), std::string::npos) << one.Result;
    EXPECT_NE(one.Result.find("tex0 8x4 PAL8 1 [tex0.bmp] [tex1] [tex1.bmp]"), std::string::npos) << one.Result;
    EXPECT_NE(one.Result.find("tex1 8x4 PAL8 1 [tex1_2.bmp] [tex1a] [tex1a.bmp]"), std::string::npos) << one.Result;
    EXPECT_NE(one.Result.find("wall 8x4 888 1 [wall_2.bmp]"), std::string::npos) << one.Result;
    EXPECT_NE(one.Result.find("fence 128x128 PAL8 1 [fence.bmp] [fencea] [fencea.bmp]"), std::string::npos)
        << one.Result;
    ASSERT_EQ(one.Files.size(), 31u);
    EXPECT_EQ(one.Files.back().first, "set.txt");
    EXPECT_EQ(one.Events.front(), "progress 0/26 sky");
    // No failure, then a failing first write, one between, and the list's.
    for (const std::optional<size_t> failing : {std::optional<size_t>{}, {0}, {9}, {25}}) {
        const ExtractionRecord single = ExtractRecorded(dictionary, 1, failing);
        if (failing) {
            EXPECT_EQ(single.Files.size(), *failing);
            EXPECT_EQ(single.Result.rfind("Cannot write \"", 0), 0u) << single.Result;
        }
        for (unsigned jobs : {2u, 3u}) {
            const ExtractionRecord many = ExtractRecorded(dictionary, jobs, failing);
            EXPECT_EQ(many.Result, single.Result) << jobs << " jobs";
            EXPECT_EQ(many.Events, single.Events) << jobs << " jobs";
            EXPECT_TRUE(many.Files == single.Files) << jobs << " jobs: the bytes differ";
        }
    }
}

}  // namespace
}  // namespace vc
