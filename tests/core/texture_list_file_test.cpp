// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "expected_txd.h"
#include "image_files.h"
#include "io/error.h"
#include "io/file_io.h"
#include "ops/list_import.h"
#include "ops/txd_builder.h"
#include "temp_dir.h"
#include "texlist/texture_list_file.h"
#include "thrown_error.h"

namespace vc {
namespace {

class TextureListFileTest : public testing::Test {
  protected:
    std::string Paletted(const std::string& name, int width = 8, int height = 8,
                         std::vector<RgbColour> palette = test::GreyPalette(256)) {
        return dir.Write(name, test::MakePalettedBmp(width, height, palette,
                                                     [](int x, int y) { return static_cast<uint8_t>(x * 7 + y * 3); }));
    }
    std::string TrueColour(const std::string& name, int width = 8, int height = 8) {
        return dir.Write(name, test::MakeTrueColourBmp(width, height, [](int x, int y) {
                             return RgbColour{static_cast<uint8_t>(x * 30), static_cast<uint8_t>(y * 20), 99};
                         }));
    }
    // Writes a list file from its lines and imports it.
    size_t Import(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& line : lines) {
            text += line + "\r\n";
        }
        return ImportTextureList(workspace, dir.WriteText("list.txt", text), true);
    }
    static TTexFile Entry(std::string name, std::string path) {
        TTexFile entry;
        entry.TexName = std::move(name);
        entry.TexPath = std::move(path);
        return entry;
    }

    test::TempDir dir;
    Workspace workspace;
};

TEST_F(TextureListFileTest, ExportWritesTheListSectionThenOneSectionPerEntry) {
    TextureList list = {Entry("wall", "C:\\tex\\wall.bmp"), Entry("road", "C:\\tex\\road.jpg")};
    list[0].HasAlpha = true;
    list[0].AlphaName = "wallmask";
    list[0].AlphaPath = "C:\\tex\\wallmask.bmp";
    const std::string path = dir.File("out.txt");
    ExportTextureList(list, path);
    EXPECT_EQ(
        test::ReadText(path),
        "[TXDList]\r\ncount=2\r\napp=Vellumcraft 1.1\r\n"
        "[Texture1]\r\nname=wall\r\npath=C:\\tex\\wall.bmp\r\nalpha=wallmask\r\nalphapath=C:\\tex\\wallmask.bmp\r\n"
        "[Texture2]\r\nname=road\r\npath=C:\\tex\\road.jpg\r\n");
}

TEST_F(TextureListFileTest, ExportReplacesAnOlderFileWhollyAndAnEmptyListWritesNothing) {
    const std::string path = dir.WriteText("out.txt", "[TXDList]\r\ncount=3\r\n[Texture3]\r\nname=old\r\n");
    ExportTextureList({Entry("new", "/t/new.bmp")}, path);
    EXPECT_EQ(test::ReadText(path).find("old"), std::string::npos);
    ExportTextureList({}, dir.File("empty.txt"));
    EXPECT_FALSE(std::filesystem::exists(dir.File("empty.txt")));
}

TEST_F(TextureListFileTest, ExportFailureSaysWhereItCouldNotWrite) {
    EXPECT_EQ(test::ErrorText([&] { ExportTextureList({Entry("a", "/a.bmp")}, dir.File("missing/out.txt")); }),
              "Unable to write to " + dir.File("missing/out.txt"));
}

// A list's relative paths are relative to the list's own folder, whichever folder the program runs
// in; absolute ones stay as they are.
TEST_F(TextureListFileTest, RelativePathsAreTakenFromTheListsOwnFolder) {
    std::filesystem::create_directory(dir.Path() / "sub");
    const std::string inSub = Paletted("sub/a.bmp");
    const std::string mask = Paletted("sub/m.bmp");
    const std::string elsewhere = Paletted("b.bmp");
    EXPECT_EQ(Import({"[TXDList]", "count=2", "[Texture1]", "path=sub/a.bmp", "alphapath=./sub/../sub/m.bmp",
                      "[Texture2]", "path=" + elsewhere}),
              2u);
    EXPECT_EQ(workspace.Intake.ProblemText, "");
    ASSERT_EQ(workspace.TexList.size(), 2u);
    EXPECT_EQ(workspace.TexList[0].TexPath, inSub);
    EXPECT_EQ(workspace.TexList[0].AlphaPath, mask);
    EXPECT_EQ(workspace.TexList[1].TexPath, elsewhere);
}

TEST_F(TextureListFileTest, ImportAppendsBehindTheEntriesAlreadyThere) {
    for (const char* name : {"a", "b", "c"}) {
        workspace.TexList.push_back(Entry(name, std::string("/none/") + name + ".bmp"));
    }
    const TextureList before = workspace.TexList;
    const std::string d = Paletted("d.bmp");
    const std::string e = TrueColour("e.bmp");
    EXPECT_EQ(Import({"[TXDList]", "count=2", "[Texture2]", "path=" + e, "[Texture1]", "name=dee", "path=" + d}), 2u);
    ASSERT_EQ(workspace.TexList.size(), 5u);
    EXPECT_TRUE(std::equal(before.begin(), before.end(), workspace.TexList.begin()));
    EXPECT_EQ(workspace.TexList[3].TexName, "dee");
    EXPECT_EQ(workspace.TexList[3].TexInfo, (TImageInfo{.Height = 8, .Width = 8, .Depth = 8}));
    EXPECT_EQ(workspace.TexList[4].TexName, "e");  // named after its image
    EXPECT_EQ(workspace.TexList[4].TexPath, e);
    EXPECT_EQ(workspace.Intake.ProblemText, "");
}

TEST_F(TextureListFileTest, NamesAndPathsAlreadyInTheListAreReported) {
    const std::string wall = Paletted("wall.bmp");
    const std::string other = Paletted("other.bmp");
    workspace.TexList.push_back(Entry("Road", "/none/road.bmp"));
    Import({"[TXDList]", "count=3", "[Texture1]", "path=" + wall, "[Texture2]", "path=  " + wall + " ", "[Texture3]",
            "name= rOAD ", "path=" + other});
    EXPECT_EQ(workspace.TexList.size(), 2u);
    EXPECT_EQ(workspace.Intake.ProblemText,
              "\r\n\r\n=> \"wall.bmp\" already exists.\r\n\r\n=> \"other.bmp\" already exists.");
}

TEST_F(TextureListFileTest, SectionsWithoutPathAndCountsBeyondTheSectionsAreSkippedSilently) {
    const std::string a = Paletted("a.bmp");
    EXPECT_EQ(Import({"[TXDList]", "count=5", "[Texture1]", "name=nopath", "[Texture2]", "path=" + a}), 1u);
    EXPECT_EQ(workspace.Intake.ProblemText, "");
}

// However large the count, only the sections present are read, in the order of their numbers: a
// file of a few lines cannot ask for billions of look-ups.
TEST_F(TextureListFileTest, OnlyTheSectionsPresentUpToTheCountAreRead) {
    const std::string a = Paletted("a.bmp"), b = Paletted("b.bmp"), c = Paletted("c.bmp");
    const std::string list =
        dir.WriteText("list.txt", "[TXDList]\r\ncount=2147483647\r\n[texture2147483647]\r\npath=" + c +
                                      "\r\n[Texture7]\r\npath=" + b + "\r\n[TEXTURE1]\r\npath=" + a +
                                      "\r\n[Texture7]\r\npath=" + c + "\r\n[Texture07]\r\npath=" + c + "\r\n");
    std::vector<std::string> progress;
    const size_t added =
        ImportTextureList(workspace, list, true, [&](size_t done, size_t total, std::string_view path) {
            progress.push_back(std::to_string(done) + "/" + std::to_string(total) + " " + std::string(path));
        });
    EXPECT_EQ(added, 3u);
    EXPECT_EQ(progress, (std::vector<std::string>{"0/3 " + a, "1/3 " + b, "2/3 " + c}));
}

TEST_F(TextureListFileTest, CountIsReadInEveryNumberFormAndAnythingElseReadsNothing) {
    const std::vector<std::string> sections = {"[Texture1]", "path=" + Paletted("a.bmp"),
                                               "[Texture2]", "path=" + Paletted("b.bmp"),
                                               "[Texture3]", "path=" + Paletted("c.bmp")};
    const auto importWithCount = [&](const std::string& count) {
        workspace.TexList.clear();
        std::vector<std::string> lines = {"[TXDList]", "count=" + count};
        lines.insert(lines.end(), sections.begin(), sections.end());
        return Import(lines);
    };
    EXPECT_EQ(importWithCount("$2"), 2u);  // the number forms are the profile file's
    EXPECT_EQ(importWithCount("three"), 0u);
    EXPECT_EQ(importWithCount("-4"), 0u);
}

TEST_F(TextureListFileTest, AlphaNamesComeFromTheFileOrTheImageAndNeverEqualTheTextureName) {
    const std::string wall = Paletted("wall.bmp");
    const std::string mask = Paletted("wallmask.bmp");
    Import({"[TXDList]", "count=3", "[Texture1]", "name=wall", "path=" + wall, "alpha=wall", "alphapath=" + mask,
            "[Texture2]", "name=Road", "path=" + Paletted("road.bmp"), "alpha=road", "alphapath=" + mask, "[Texture3]",
            "name=sky", "path=" + TrueColour("sky.bmp"), "alphapath=" + mask});
    ASSERT_EQ(workspace.TexList.size(), 3u);
    EXPECT_TRUE(workspace.TexList[0].HasAlpha);
    EXPECT_EQ(workspace.TexList[0].AlphaName, "walla");
    EXPECT_EQ(workspace.TexList[0].AlphaPath, mask);
    EXPECT_EQ(workspace.TexList[0].AlphaInfo, (TImageInfo{.Height = 8, .Width = 8, .Depth = 8}));
    EXPECT_EQ(workspace.TexList[1].AlphaName, "road");
    EXPECT_EQ(workspace.TexList[2].AlphaName, "wallmask");  // 8-bit alpha on a 24-bit texture
    EXPECT_EQ(workspace.Intake.ProblemText, "");
}

TEST_F(TextureListFileTest, AlphaImagesThatDoNotFitAreDismissedAndMissingOnesIgnored) {
    const std::string paletted = Paletted("pal.bmp");
    Import({"[TXDList]", "count=4", "[Texture1]", "path=" + paletted, "alphapath=" + Paletted("small.bmp", 4, 8),
            "[Texture2]", "path=" + Paletted("p2.bmp"), "alphapath=" + TrueColour("deep.bmp"), "[Texture3]",
            "path=" + Paletted("p3.bmp"), "alpha=x", "alphapath=" + dir.File("gone.bmp"), "[Texture4]",
            "path=" + Paletted("p4.bmp"), "alphapath=" + Paletted("odd.bmp", 6, 6)});
    ASSERT_EQ(workspace.TexList.size(), 3u);
    for (const TTexFile& entry : workspace.TexList) {
        EXPECT_FALSE(entry.HasAlpha);
        EXPECT_EQ(entry.AlphaName, "");
        EXPECT_EQ(entry.AlphaPath, "");
    }
    EXPECT_EQ(workspace.Intake.ProblemText,
              "\r\n\r\n=> \"pal.bmp\" and alpha \"small.bmp\" don't have same dimensions - alpha dismissed."
              "\r\n\r\n=> \"p2.bmp\" and alpha \"deep.bmp\" don't have same dimensions - alpha dismissed."
              "\r\n\r\n=> \"odd.bmp\":\r\n\tImage dimensions (6×6) aren't divisible by 4."
              "\r\n\tImage dimensions (6×6) aren't a power of 2 (see readme).");
}

TEST_F(TextureListFileTest, LongNamesAreKeptAndTheSuggestedDictionaryFollowsTheListName) {
    const std::string longName(50, 'n');
    Import({"[TXDList]", "count=1", "[Texture1]", "name=" + longName, "path=" + Paletted("a.bmp")});
    EXPECT_EQ(workspace.TexList.at(0).TexName, longName);
    EXPECT_EQ(workspace.SuggestedTxdPath, dir.File("list.txd"));
    EXPECT_EQ(SuggestedTxdPath("C:\\lists\\cars.txt"), "C:\\lists\\cars.txd");
    EXPECT_EQ(SuggestedTxdPath("/lists.d/cars"), "/lists.d/cars.txd");
}

TEST_F(TextureListFileTest, AFileThatIsNoListAddsNothingButStillSuggestsADictionary) {
    EXPECT_EQ(Import({"just some text", "[Other]", "count=3"}), 0u);
    EXPECT_EQ(ImportTextureList(workspace, dir.File("absent.txt"), true), 0u);
    EXPECT_EQ(workspace.SuggestedTxdPath, dir.File("absent.txd"));
    EXPECT_EQ(workspace.Intake.ProblemText, "");
}

TEST_F(TextureListFileTest, ExportThenImportGivesTheSameEntriesWhateverTheirScript) {
    std::filesystem::create_directory(ToFsPath(dir.File("Übersicht")));
    std::filesystem::create_directory(ToFsPath(dir.File("テクスチャ")));
    const std::vector<std::string> paths = {Paletted("plain.bmp"), Paletted("Übersicht/grün été.bmp"),
                                            TrueColour("テクスチャ/木.bmp"), Paletted("テクスチャ/mask.bmp")};
    for (size_t i = 0; i < 3; ++i) {
        AddFile(workspace, paths[i], true);
    }
    workspace.TexList[1].TexName = "Grün été œ €";
    workspace.TexList[2].HasAlpha = true;
    workspace.TexList[2].AlphaName = "木のマスク";
    workspace.TexList[2].AlphaPath = paths[3];
    workspace.TexList[2].AlphaInfo = workspace.TexList[1].TexInfo;
    const std::string listPath = dir.File("round.txt");
    ExportTextureList(workspace.TexList, listPath);

    Workspace reread;
    EXPECT_EQ(ImportTextureList(reread, listPath, true), 3u);
    EXPECT_EQ(reread.TexList, workspace.TexList);
    EXPECT_EQ(reread.Intake.ProblemText, "");
}

std::string Repeated(std::string_view text, size_t times) {
    std::string repeated;
    for (size_t i = 0; i < times; ++i) {
        repeated += text;
    }
    return repeated;
}

TEST_F(TextureListFileTest, OutputKeysAreWrittenOnlyWhenSetAndReadBack) {
    TextureList list = {Entry("plain", "/t/plain.png"), Entry("chosen", "/t/chosen.png"), Entry("kept", "/t/kept.dds"),
                        Entry("pal4", "/t/pal4.bmp")};
    list[1].Output = {.Format = TextureFormat::Dxt1, .Mipmaps = true, .Flags = 0x1106};
    list[2].Output = {.Format = TextureFormat::C4444,
                      .MaskName = "",
                      .AlphaFlag = false,
                      .RasterFormat = 0x1300,
                      .RasterLevels = 1,
                      .Depth = 32,
                      .Extension = {0x00, 0xAB, 0x10},
                      .KeepSize = true,
                      .RepeatedName = true};
    list[3].Output = {.Format = TextureFormat::Pal4,
                      .Mipmaps = true,
                      .LevelPaths = {"/t/pal4_mip1.bmp", "/t/pal4_mip2.bmp"},
                      .PaletteTail = std::vector<uint8_t>(64, 0x5A)};
    const std::string text = TextureListProfile(list, 0x1803FFFF).Text();
    EXPECT_EQ(text,
              "[TXDList]\r\ncount=4\r\napp=Vellumcraft 1.1\r\nrwversion=0x1803FFFF\r\n"
              "[Texture1]\r\nname=plain\r\npath=/t/plain.png\r\n"
              "[Texture2]\r\nname=chosen\r\npath=/t/chosen.png\r\nformat=DXT1\r\nmipmaps=1\r\nflags=0x1106\r\n"
              "[Texture3]\r\nname=kept\r\npath=/t/kept.dds\r\nformat=4444\r\nmaskname=\r\nalphaflag=0\r\n"
              "rasterformat=0x1300\r\nrasterlevels=1\r\ndepth=32\r\nkeepsize=1\r\nduplicate=1\r\nextension=00ab10\r\n"
              "[Texture4]\r\nname=pal4\r\npath=/t/pal4.bmp\r\nformat=PAL4\r\nmipmaps=1\r\n"
              "mip1path=/t/pal4_mip1.bmp\r\nmip2path=/t/pal4_mip2.bmp\r\npal4tail=" +
                  Repeated("5a", 64) + "\r\n");
    const std::vector<ListedTexture> listed = ListedTextures(ProfileFile::FromText(text));
    EXPECT_EQ(ListedVersionStamp(ProfileFile::FromText(text)), 0x1803FFFFu);
    EXPECT_EQ(ListedVersionStamp(TextureListProfile(list, 0x0C02FFFF)), std::nullopt);  // the default: no key
    ASSERT_EQ(listed.size(), 4u);
    for (size_t i = 0; i < listed.size(); ++i) {
        EXPECT_EQ(listed[i].Output, list[i].Output) << "entry " << i + 1;
        EXPECT_EQ(listed[i].OutputProblems, "");
    }
}

TEST_F(TextureListFileTest, OutputValuesThatCannotBeReadAreReportedAndTheEntryKeepsTheDefaults) {
    const std::string image = Paletted("a.bmp");
    Import({"[TXDList]", "count=1", "[Texture1]", "path=" + image, "format=DXT9", "flags=fast", "mipmaps=1",
            "extension=abc", "depth=300", "pal4tail=00ff"});
    ASSERT_EQ(workspace.TexList.size(), 1u);
    EXPECT_EQ(workspace.TexList[0].Output, (TextureOutput{.Mipmaps = true}));
    EXPECT_EQ(workspace.Intake.ProblemText,
              "\r\n\r\n=> \"a.bmp\":\r\n\tformat \"DXT9\" is not known.\r\n\tflags "
              "\"fast\" is not known.\r\n\tdepth \"300\" is not known.\r\n\tpal4tail \"00ff\" is not known."
              "\r\n\textension \"abc\" is not known.");
}

// Parsing needs no files: the paths below exist nowhere, and nothing is read or checked.
TEST(TextureListParsing, ListsTheSectionsUpToTheCountInTheirOrderFromBytesInEitherCodePage) {
    const std::string text =
        "[TXDList]\r\ncount=3\r\n[Texture3]\r\npath=/nowhere/c.bmp\r\n[Texture4]\r\npath=/nowhere/d.bmp\r\n"
        "[texture1]\r\nname= caf\xE9 \r\npath=/nowhere/a.bmp\r\nalpha=am\r\nalphapath=/nowhere/am.bmp\r\n";
    const std::vector<ListedTexture> listed =
        ParseTextureList(std::span(reinterpret_cast<const uint8_t*>(text.data()), text.size()));
    EXPECT_EQ(listed, (std::vector<ListedTexture>{{"café", "/nowhere/a.bmp", "am", "/nowhere/am.bmp"},
                                                  {"", "/nowhere/c.bmp", "", ""}}));
    const std::string notAList = "[Texture1]\npath=/nowhere/a.bmp\n";
    EXPECT_TRUE(
        ParseTextureList(std::span(reinterpret_cast<const uint8_t*>(notAList.data()), notAList.size())).empty());
}

TEST_F(TextureListFileTest, AddFileImportsTextFilesAsLists) {
    const std::string image = Paletted("a.bmp");
    AddFile(workspace, dir.WriteText("l.TXT", "[TXDList]\r\ncount=1\r\n[Texture1]\r\npath=" + image + "\r\n"), true);
    ASSERT_EQ(workspace.TexList.size(), 1u);
    EXPECT_EQ(workspace.TexList[0].TexPath, image);
}

// A list with every kind of alpha, built, equals the dictionary laid out field by field.
TEST_F(TextureListFileTest, DictionaryBuiltFromAListWithAlphaImagesHasExactlyTheExpectedBytes) {
    std::vector<RgbColour> maskPalette;
    for (int i = 0; i < 256; ++i) {
        maskPalette.push_back({static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i), static_cast<uint8_t>(i / 3)});
    }
    const std::vector<test::ExpectedTexture> expected = {
        {"leaf", Paletted("leaf.bmp"), "leafmask", Paletted("leafmask.bmp", 8, 8, maskPalette)},
        {"glass", TrueColour("glass.bmp"), "glassmask", Paletted("glassmask.bmp")},
        {"fence", TrueColour("fence.bmp"), "fencea", TrueColour("fencemask.bmp")},
    };
    std::vector<std::string> lines = {"[TXDList]", "count=3"};
    for (size_t i = 0; i < expected.size(); ++i) {
        const std::string alphaName = expected[i].Name == "fence" ? "fence" : expected[i].MaskName;
        lines.insert(lines.end(),
                     {"[Texture" + std::to_string(i + 1) + "]", "name=" + expected[i].Name,
                      "path=" + expected[i].ColourPath, "alpha=" + alphaName, "alphapath=" + expected[i].AlphaPath});
    }
    ASSERT_EQ(Import(lines), 3u);
    EXPECT_EQ(BuildTxd(workspace, TxdOptions{}).Bytes, test::ExpectedDictionary(expected, 0x0C02FFFF, 0x1102));
}

// A list is written in Windows-1252 where that reads back as written; Windows-1252 bytes that also
// pass as UTF-8 ("grÃ¼n" is C3 BC in Windows-1252, "ü" in UTF-8) would not, so such a list is
// written in UTF-8 after a byte-order mark, which always reads as UTF-8.
TEST(TextureListParsing, EveryNameComesBackInWhicheverFormTheListIsWritten) {
    struct Case {
        std::string Name;
        std::string_view Form;  // "ascii", "1252" or "utf-8", "bom"
    };
    const Case cases[] = {
        {"plain", "ascii"}, {"café", "1252"}, {"grÃ¼n", "bom"}, {"Ã©tÃ©", "bom"}, {"日本", "utf-8"}, {"Ã", "1252"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TextureList list = {{.TexName = c.Name, .TexPath = "/nowhere/" + c.Name + ".bmp"}};
        const std::string bytes = TextureListProfile(list).Bytes();
        const bool bom = bytes.starts_with("\xEF\xBB\xBF");
        const std::string_view form = bom ? "bom"
                                      : bytes.find(c.Name) != std::string::npos
                                          ? (c.Name == "plain" ? "ascii" : "utf-8")
                                          : "1252";
        EXPECT_EQ(form, c.Form);
        const std::vector<ListedTexture> listed =
            ParseTextureList(std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
        ASSERT_EQ(listed.size(), 1u);
        EXPECT_EQ(listed[0].Name, c.Name);
        EXPECT_EQ(listed[0].Path, list[0].TexPath);
    }
    // A byte-order mark wins over the bytes' look: what follows it is UTF-8, and a byte that is not
    // becomes a replacement character rather than text no other part can read.
    const std::string broken = "\xEF\xBB\xBF[TXDList]\r\ncount=1\r\n[Texture1]\r\nname=gr\xFCn\r\npath=x.bmp\r\n";
    EXPECT_EQ(ParseTextureList(std::span(reinterpret_cast<const uint8_t*>(broken.data()), broken.size())).at(0).Name,
              "gr\xEF\xBF\xBDn");
    const std::string marked = "\xEF\xBB\xBF[TXDList]\r\ncount=1\r\n[Texture1]\r\nname=gr\xC3\xBCn\r\npath=x.bmp\r\n";
    EXPECT_EQ(ParseTextureList(std::span(reinterpret_cast<const uint8_t*>(marked.data()), marked.size())).at(0).Name,
              "grün");
}

}  // namespace
}  // namespace vc
