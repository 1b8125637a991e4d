// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_files.h"
#include "io/error.h"
#include "pixels/bmp_writer.h"
#include "raster/dds_file.h"
#include "temp_dir.h"
#include "texlist/image_intake.h"
#include "thrown_error.h"

namespace vc {
namespace {

using test::TempDir;

std::vector<uint8_t> Paletted(int width, int height, int entries = 256) {
    return test::MakePalettedBmp(width, height, test::GreyPalette(entries),
                                 [](int x, int y) { return static_cast<uint8_t>(x + y); });
}

std::vector<uint8_t> TrueColour(int width, int height) {
    return test::MakeTrueColourBmp(width, height, [](int x, int y) {
        return RgbColour{static_cast<uint8_t>(x), static_cast<uint8_t>(y), 7};
    });
}

class ImageIntakeTest : public testing::Test {
  protected:
    // Runs intake without pixels and gives the problem block it appended, empty when accepted.
    std::string Problems(const std::string& name, const std::vector<uint8_t>& bytes, bool pwr2lmt = true) {
        return ProblemsAt(dir.Write(name, bytes), pwr2lmt);
    }
    std::string ProblemsAt(const std::string& path, bool pwr2lmt = true) {
        intake.ProblemText.clear();
        const bool accepted = intake.ReadImageFile(path, kColourSlot, false, NewTextureRules(pwr2lmt), info);
        EXPECT_EQ(accepted, intake.ProblemText.empty());
        return intake.ProblemText;
    }

    TempDir dir;
    ImageIntake intake;
    TImageInfo info;
};

TEST_F(ImageIntakeTest, AcceptsPalettedAndTrueColourImagesWithTheirDepths) {
    EXPECT_EQ(Problems("p.bmp", Paletted(256, 256)), "");
    EXPECT_EQ(info, (TImageInfo{.Height = 256, .Width = 256, .Depth = 8}));
    EXPECT_EQ(Problems("t.BMP", TrueColour(512, 128)), "");
    EXPECT_EQ(info, (TImageInfo{.Height = 128, .Width = 512, .Depth = 32}));
    const auto grey = [](int x, int) { return RgbColour{0, static_cast<uint8_t>(x), 0}; };
    EXPECT_EQ(Problems("g.JPEG", test::MakeJpeg(16, 8, test::JpegKind::Grey, grey)), "");
    EXPECT_EQ(info.Depth, 8);
    EXPECT_EQ(Problems("c.jpe", test::MakeJpeg(16, 8, test::JpegKind::Colour, grey)), "");
    EXPECT_EQ(info.Depth, 32);
}

TEST_F(ImageIntakeTest, PngTgaAndDdsAreTakenWithTheirOwnAlphaAndTheSameSizeChecks) {
    using test::PngColour;
    const std::vector<uint16_t> rgba(8 * 4 * 4, 200);
    EXPECT_EQ(Problems("a.png", test::MakePng({.Width = 8, .Height = 4, .Colour = PngColour::Rgba, .Samples = rgba})),
              "");
    EXPECT_EQ(info, (TImageInfo{.Height = 4, .Width = 8, .Depth = 32, .HasAlpha = true}));
    EXPECT_EQ(
        Problems("g.tga",
                 test::MakeTga(
                     {.ImageType = 3, .Width = 4, .Height = 4, .PixelBits = 8, .Pixels = std::vector<uint8_t>(16, 9)})),
        "");
    EXPECT_EQ(info, (TImageInfo{.Height = 4, .Width = 4, .Depth = 8}));
    const DdsImage dxt{.Format = TextureFormat::Dxt1, .Width = 8, .Height = 8, .Levels = {std::vector<uint8_t>(32)}};
    EXPECT_EQ(Problems("d.dds", EncodeDds(dxt)), "");
    EXPECT_EQ(info, (TImageInfo{.Height = 8, .Width = 8, .Depth = 32, .StoredFormat = TextureFormat::Dxt1}));
    const DdsImage odd{.Format = TextureFormat::C565, .Width = 6, .Height = 4, .Levels = {std::vector<uint8_t>(48)}};
    EXPECT_EQ(Problems("odd.dds", EncodeDds(odd)),
              "\r\n\r\n=> \"odd.dds\":\r\n\tImage dimensions (6×4) aren't divisible "
              "by 4.\r\n\tImage dimensions (6×4) aren't a power of 2 (see readme).");
}

TEST_F(ImageIntakeTest, SizeChecksReportEveryFailingRuleInOrder) {
    EXPECT_EQ(Problems("six.bmp", Paletted(6, 6)),
              "\r\n\r\n=> \"six.bmp\":"
              "\r\n\tImage dimensions (6×6) aren't divisible by 4."
              "\r\n\tImage dimensions (6×6) aren't a power of 2 (see readme).");
    EXPECT_EQ(Problems("six.bmp", Paletted(6, 6), false),
              "\r\n\r\n=> \"six.bmp\":\r\n\tImage dimensions (6×6) aren't divisible by 4.");
    EXPECT_EQ(Problems("two.bmp", Paletted(2, 2)),
              "\r\n\r\n=> \"two.bmp\":"
              "\r\n\tImage dimensions (2×2) aren't divisible by 4."
              "\r\n\tImage dimensions (2×2) must be at least 4×4.");
    EXPECT_EQ(Problems("w.bmp", Paletted(12, 20)),
              "\r\n\r\n=> \"w.bmp\":\r\n\tImage dimensions (12×20) aren't a power of 2 (see readme).");
    EXPECT_EQ(Problems("w.bmp", Paletted(12, 20), false), "");
    EXPECT_EQ(info, (TImageInfo{.Height = 20, .Width = 12, .Depth = 8}));
}

// An entry taken from a dictionary keeps its texture's sides, and a PAL4 entry takes a bitmap of 4
// bits a pixel as an 8-bit one; other entries meet the rules of new images.
TEST_F(ImageIntakeTest, KeptSizesAndPal4EntriesLoosenTheRulesTheyName) {
    const std::vector<RgbColour> colours = test::GreyPalette(16);
    const std::vector<uint8_t> indices = {0, 15, 7, 8, 1, 2};
    const std::string fourBits = dir.Write("four.bmp", EncodeBmp(PalettedImage{3, 2, colours, indices, 4}));
    struct Case {
        TextureOutput Output;
        std::string Problems;  // the lines after the file's name; empty when taken
    };
    const std::string sizeLines =
        "\r\n\tImage dimensions (3×2) aren't divisible by 4.\r\n\tImage dimensions (3×2) aren't a power of 2 (see "
        "readme).\r\n\tImage dimensions (3×2) must be at least 4×4.";
    const std::string formatLine = "\r\n\tImage format is neither 8 paletted nor 24 bit.";
    const Case cases[] = {
        {{}, sizeLines + formatLine},
        {{.KeepSize = true}, formatLine},
        {{.Format = TextureFormat::Pal4}, sizeLines},
        {{.Format = TextureFormat::Pal8, .KeepSize = true}, formatLine},
        {{.Format = TextureFormat::Pal4, .KeepSize = true}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(OutputFormatName(c.Output.Format) + (c.Output.KeepSize ? ", size kept" : ""));
        intake.ProblemText.clear();
        EXPECT_EQ(intake.ReadImageFile(fourBits, kColourSlot, true, EntryRules(c.Output, true), info),
                  c.Problems.empty());
        EXPECT_EQ(intake.ProblemText, c.Problems.empty() ? "" : "\r\n\r\n=> \"four.bmp\":" + c.Problems);
    }
    EXPECT_EQ(info, (TImageInfo{.Height = 2, .Width = 3, .Depth = 8}));
    EXPECT_EQ(intake.Slots[kColourSlot].IndexBuf, indices);
    EXPECT_EQ(intake.Slots[kColourSlot].PaletteBuf[4 * 15], 255);  // grey 15 of 16 is white
}

TEST_F(ImageIntakeTest, OtherPixelFormatsAndPalettedTrueColourAreRefused) {
    const std::string formatLine = "\r\n\tImage format is neither 8 paletted nor 24 bit.";
    for (const uint16_t bits : {4, 16, 32}) {
        const test::BmpFields fields{.BitsPerPixel = bits,
                                     .Palette = bits == 4 ? test::GreyPalette(16) : std::vector<RgbColour>{}};
        EXPECT_EQ(Problems("f.bmp", test::MakeBmp(fields)), "\r\n\r\n=> \"f.bmp\":" + formatLine) << bits;
        EXPECT_EQ(info.Depth, 0);
    }
    const test::BmpFields palettedTrueColour{.BitsPerPixel = 24, .Palette = test::GreyPalette(4)};
    EXPECT_EQ(Problems("p24.bmp", test::MakeBmp(palettedTrueColour)), "\r\n\r\n=> \"p24.bmp\":" + formatLine);
    EXPECT_EQ(info.Depth, 32);
}

TEST_F(ImageIntakeTest, MissingFileWithWrongExtensionGetsBothLines) {
    EXPECT_EQ(ProblemsAt(dir.File("x.GIF")),
              "\r\n\r\n=> \"x.GIF\":\r\n\tFile does not exist."
              "\r\n\tFile extension .gif is not supported. (*.bmp; *.jpg; *.jpe; *.jpeg; *.txt)");
    EXPECT_EQ(Problems("noext", Paletted(4, 4)),
              "\r\n\r\n=> \"noext\":\r\n\tFile extension  is not supported. (*.bmp; *.jpg; *.jpe; *.jpeg; *.txt)");
}

TEST_F(ImageIntakeTest, EmptyImagesAndOversizedImagesAreRefusedWithALine) {
    EXPECT_EQ(Problems("empty.bmp", {}),
              "\r\n\r\n=> \"empty.bmp\":\r\n\tFile is no (correct) image file or could not be read.");
    EXPECT_EQ(Problems("empty.jpg", {}),
              "\r\n\r\n=> \"empty.jpg\":\r\n\tFile is no (correct) image file or could not be read.");
    EXPECT_EQ(Problems("wide.bmp", Paletted(65536, 4)),
              "\r\n\r\n=> \"wide.bmp\":\r\n\tImage dimensions (65536×4) exceed the largest texture size (65535).");
}

TEST_F(ImageIntakeTest, DamagedFilesThrowNamingTheFile) {
    std::vector<uint8_t> shortFile = Paletted(64, 64);
    shortFile.resize(2000);
    const std::string path = dir.Write("short.bmp", shortFile);
    const test::Thrown error =
        test::ThrownBy([&] { intake.ReadImageFile(path, kColourSlot, false, IntakeRules{}, info); });
    EXPECT_EQ(error.Message.rfind("\"" + path + "\": Bitmap image is not valid", 0), 0u) << error.Message;
    EXPECT_EQ(error.Kind, ErrorKind::Malformed);
    EXPECT_EQ(intake.ProblemText, "");
}

TEST_F(ImageIntakeTest, WithoutReadThroughOnlyDamageTheHeadersShowWaitsForTheLoad) {
    intake.VerifyData = false;
    std::vector<uint8_t> shortFile = Paletted(64, 64);
    shortFile.resize(2000);
    EXPECT_THROW(intake.ReadImageFile(dir.Write("short.bmp", shortFile), kColourSlot, false, IntakeRules{}, info),
                 Error);
    std::vector<uint8_t> jpeg = test::MakeJpeg(64, 64, test::JpegKind::Colour, [](int x, int) {
        return RgbColour{static_cast<uint8_t>(x * 4), 0, 0};
    });
    jpeg.resize(jpeg.size() - 40);  // inside the image data, past the headers
    const std::string cutJpeg = dir.Write("cut.jpg", jpeg);
    EXPECT_TRUE(intake.ReadImageFile(cutJpeg, kColourSlot, false, IntakeRules{}, info));
    EXPECT_EQ(info, (TImageInfo{.Height = 64, .Width = 64, .Depth = 32}));
    EXPECT_THROW(intake.ReadImageFile(cutJpeg, kColourSlot, true, IntakeRules{}, info), Error);
    EXPECT_TRUE(
        intake.ReadImageFile(dir.Write("big.bmp", Paletted(256, 256)), kColourSlot, false, IntakeRules{}, info));
    EXPECT_EQ(info, (TImageInfo{.Height = 256, .Width = 256, .Depth = 8}));
}

TEST_F(ImageIntakeTest, LoadingFillsTheSlotAndPadsShortPalettesWithOpaqueBlack) {
    const std::string path = dir.Write("p.bmp", Paletted(8, 4, 16));
    ASSERT_TRUE(intake.ReadImageFile(path, kAlphaSlot, true, IntakeRules{}, info));
    const ConversionSlot& slot = intake.Slots[kAlphaSlot];
    EXPECT_TRUE(slot.PixelBuf.empty());
    ASSERT_EQ(slot.IndexBuf.size(), 32u);
    EXPECT_EQ(slot.IndexBuf[1 * 8 + 3], 4);  // row 1, column 3
    // Entry 15 is white, entries 16 to 255 opaque black.
    EXPECT_EQ(std::vector<uint8_t>(&slot.PaletteBuf[60], &slot.PaletteBuf[68]),
              (std::vector<uint8_t>{255, 255, 255, 255, 0, 0, 0, 255}));
    EXPECT_EQ(slot.PaletteBuf[1023], 255);
    EXPECT_TRUE(intake.Slots[kColourSlot].IndexBuf.empty());

    ASSERT_TRUE(intake.ReadImageFile(dir.Write("t.bmp", TrueColour(4, 4)), kAlphaSlot, true, IntakeRules{}, info));
    EXPECT_TRUE(slot.IndexBuf.empty());
    ASSERT_EQ(slot.PixelBuf.size(), 64u);
    EXPECT_EQ(std::vector<uint8_t>(&slot.PixelBuf[4 * 6], &slot.PixelBuf[4 * 7]),
              (std::vector<uint8_t>{7, 1, 2, 255}));  // (2, 1): blue 7, green 1, red 2
    intake.ReleaseBuffers();
    EXPECT_TRUE(slot.PixelBuf.empty());
}

}  // namespace
}  // namespace vc
