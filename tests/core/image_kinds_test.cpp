// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "image_files.h"
#include "raster/dds_file.h"
#include "temp_dir.h"
#include "texlist/image_intake.h"
#include "texlist/image_kinds.h"
#include "thrown_error.h"

namespace vc {
namespace {

struct Sample {
    std::string Extension;
    std::vector<uint8_t> Bytes;
    TImageInfo Info;  // what intake makes of it
};

std::vector<Sample> OneOfEachKind() {
    const auto green = [](int x, int) { return RgbColour{0, static_cast<uint8_t>(16 * x), 0}; };
    const std::vector<uint16_t> rgba(4 * 4 * 4, 200);
    return {
        {".bmp",
         test::MakePalettedBmp(4, 4, test::GreyPalette(256), [](int x, int) { return uint8_t(x); }),
         {.Height = 4, .Width = 4, .Depth = 8}},
        {".jpg", test::MakeJpeg(8, 4, test::JpegKind::Colour, green), {.Height = 4, .Width = 8, .Depth = 32}},
        {".png",
         test::MakePng({.Colour = test::PngColour::Rgba, .Samples = rgba}),
         {.Height = 4, .Width = 4, .Depth = 32, .HasAlpha = true}},
        {".dds",
         EncodeDds({.Format = TextureFormat::Dxt1, .Width = 4, .Height = 8, .Levels = {std::vector<uint8_t>(16)}}),
         {.Height = 8, .Width = 4, .Depth = 32, .StoredFormat = TextureFormat::Dxt1}},
    };
}

// A file is read as what its bytes are, whatever picture extension it carries, with or without
// its pixels, and the extension still decides whether it is taken at all.
TEST(ImageKinds, AFileIsReadAsWhatItsBytesAreUnderAnyPictureExtension) {
    test::TempDir dir;
    for (const Sample& sample : OneOfEachKind()) {
        for (const std::string extension : {".bmp", ".jpeg", ".png", ".tga", ".dds", ".TGA"}) {
            const std::string path = dir.Write("picture" + extension, sample.Bytes);
            for (const bool loadPixels : {false, true}) {
                for (const bool verifyData : {false, true}) {
                    ImageIntake intake;
                    intake.VerifyData = verifyData;
                    TImageInfo info;
                    EXPECT_TRUE(intake.ReadImageFile(path, kColourSlot, loadPixels, IntakeRules{}, info))
                        << sample.Extension << " bytes as " << extension << ": " << intake.ProblemText;
                    EXPECT_EQ(info, sample.Info) << sample.Extension << " bytes as " << extension;
                }
            }
        }
    }
    ImageIntake intake;
    TImageInfo info;
    EXPECT_FALSE(intake.ReadImageFile(dir.Write("picture.gif", OneOfEachKind()[2].Bytes), kColourSlot, true,
                                      IntakeRules{}, info));
    EXPECT_EQ(intake.ProblemText,
              "\r\n\r\n=> \"picture.gif\":\r\n\tFile extension .gif is not supported. (*.bmp; *.jpg; *.jpe; *.jpeg; "
              "*.txt)");
}

// Bytes of no known kind go to the reader the extension names, whose message says what is wrong.
TEST(ImageKinds, BytesOfNoKnownKindAreJudgedByTheExtensionsReader) {
    test::TempDir dir;
    const std::vector<uint8_t> noise(64, 0x33);
    const std::vector<std::pair<std::string, std::string>> readers = {
        {"noise.bmp", "Bitmap image"}, {"noise.png", "PNG"}, {"noise.jpg", "JPEG"}, {"noise.dds", "DDS image"}};
    for (const auto& [name, reader] : readers) {
        ImageIntake intake;
        TImageInfo info;
        const std::string message = test::ErrorText(
            [&] { intake.ReadImageFile(dir.Write(name, noise), kColourSlot, true, IntakeRules{}, info); });
        EXPECT_NE(message.find(reader), std::string::npos) << name << ": " << message;
    }
}

// The window's file dialogs list every kind the table holds, in the form they always had.
TEST(ImageKinds, DialogFiltersAndHelpListEveryKind) {
    EXPECT_EQ(ImageDialogFilter(true),
              "All Supported Files|*.bmp; *.jpg; *.jpe; *.jpeg; *.png; *.tga; *.dds; *.txt; *.txd|"
              "8bit or 24bit Bitmaps (*.bmp)|*.bmp|JPEG Images (*.jpg; *.jpe; *.jpeg)|*.jpg; *.jpe; *.jpeg|"
              "PNG Images (*.png)|*.png|TGA Images (*.tga)|*.tga|DDS Images (*.dds)|*.dds|Texture Lists (*.txt)|*.txt|"
              "Texture Dictionaries (*.txd)|*.txd");
    EXPECT_EQ(ImageDialogFilter(false).find("*.txt"), std::string::npos);
    EXPECT_EQ(ImageDialogFilter(false).find("*.txd"), std::string::npos);
    EXPECT_EQ(ImageExtensionList(), ".bmp, .jpg, .jpe, .jpeg, .png, .tga, .dds");
}

}  // namespace
}  // namespace vc
