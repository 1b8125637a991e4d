// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "image_files.h"
#include "io/error.h"
#include "pixels/image_decoder.h"
#include "random_damage.h"
#include "thrown_error.h"

namespace vc {
namespace {

using test::MakeTga;
using test::TgaFields;

constexpr uint8_t kRightToLeft = 0x10;
constexpr uint8_t kTopDown = 0x20;

// Opens, verifies and decodes: the whole path intake can take.
DecodedPixels ReadCompletely(std::span<const uint8_t> file) {
    const auto decoder = OpenTga(file);
    decoder->Verify();
    return decoder->LoadPixels();
}

std::string ErrorOf(const std::vector<uint8_t>& file) {
    return test::ErrorText([&] { ReadCompletely(file); });
}

// Reorders pixel values given from the visual top-left, row by row, into the order the
// descriptor's origin bits store them.
std::vector<uint8_t> InFileOrder(const std::vector<uint8_t>& visual, size_t width, size_t height, size_t valueSize,
                                 uint8_t descriptor) {
    std::vector<uint8_t> stored;
    for (size_t fileRow = 0; fileRow < height; ++fileRow) {
        const size_t row = (descriptor & kTopDown) != 0 ? fileRow : height - 1 - fileRow;
        for (size_t column = 0; column < width; ++column) {
            const size_t x = (descriptor & kRightToLeft) != 0 ? width - 1 - column : column;
            const auto value = visual.begin() + static_cast<ptrdiff_t>((row * width + x) * valueSize);
            stored.insert(stored.end(), value, value + static_cast<ptrdiff_t>(valueSize));
        }
    }
    return stored;
}

struct DecodeCase {
    std::string Name;
    TgaFields Fields;  // an uncompressed 3 × 2 image, its pixels from the visual top-left
    uint16_t Bits;     // reported and delivered
    std::vector<uint8_t> Raster;
    std::vector<RgbColour> Palette;
    std::vector<uint8_t> Alpha;
};

// clang-format off
// Top row red, green, blue; bottom row white, black, a middle grey.
const std::vector<uint8_t> kBgraPicture = {
    0, 0, 255, 255,      0, 255, 0, 255,    255, 0, 0, 255,
    255, 255, 255, 255,  0, 0, 0, 255,      128, 128, 128, 255,
};

std::vector<DecodeCase> DecodeCases() {
    const RgbColour red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
    return {
        {"24-bit", {.Width = 3, .PixelBits = 24,
                    .Pixels = {0, 0, 255,  0, 255, 0,  255, 0, 0,  255, 255, 255,  0, 0, 0,  128, 128, 128}},
         24, kBgraPicture, {}, {}},
        {"32-bit with alpha", {.Width = 3, .PixelBits = 32, .Descriptor = 8,
                               .Pixels = {0, 0, 255, 255,    0, 255, 0, 128,    255, 0, 0, 0,
                                          255, 255, 255, 1,  0, 0, 0, 254,      128, 128, 128, 77}},
         24, kBgraPicture, {}, {255, 128, 0, 1, 254, 77}},
        // Without alpha bits the fourth byte is padding.
        {"32-bit without alpha", {.Width = 3, .PixelBits = 32,
                                  .Pixels = {0, 0, 255, 9,    0, 255, 0, 9,  255, 0, 0, 9,
                                             255, 255, 255, 9,  0, 0, 0, 9,  128, 128, 128, 9}},
         24, kBgraPicture, {}, {}},
        // Five bits become eight by repeating their top bits: 16 (0b10000) is 132.
        {"16-bit with an alpha bit", {.Width = 3, .PixelBits = 16, .Descriptor = 1,
                                      .Pixels = {0x00, 0xFC,  0xE0, 0x03,  0x1F, 0x80,
                                                 0xFF, 0xFF,  0x00, 0x00,  0x10, 0xC2}},
         24, {0, 0, 255, 255,  0, 255, 0, 255,  255, 0, 0, 255,  255, 255, 255, 255,  0, 0, 0, 255,  132, 132, 132, 255},
         {}, {255, 0, 255, 255, 0, 255}},
        {"16-bit without alpha", {.Width = 3, .PixelBits = 16,
                                  .Pixels = {0x00, 0xFC,  0xE0, 0x03,  0x1F, 0x80,  0xFF, 0xFF,  0x00, 0x00,  0x10, 0xC2}},
         24, {0, 0, 255, 255,  0, 255, 0, 255,  255, 0, 0, 255,  255, 255, 255, 255,  0, 0, 0, 255,  132, 132, 132, 255},
         {}, {}},
        {"15-bit", {.Width = 3, .PixelBits = 15,
                    .Pixels = {0x00, 0x7C,  0xE0, 0x03,  0x1F, 0x00,  0xFF, 0x7F,  0x00, 0x00,  0x01, 0x04}},
         24, {0, 0, 255, 255,  0, 255, 0, 255,  255, 0, 0, 255,  255, 255, 255, 255,  0, 0, 0, 255,  8, 0, 8, 255},
         {}, {}},
        {"8-bit grey", {.ImageType = 3, .Width = 3, .PixelBits = 8, .Pixels = {0, 17, 255, 128, 1, 254}},
         8, {0, 17, 255, 128, 1, 254}, test::GreyPalette(256), {}},
        // Its alpha does not follow its levels, so it is read as colour.
        {"16-bit grey with alpha", {.ImageType = 3, .Width = 3, .PixelBits = 16, .Descriptor = 8,
                                    .Pixels = {0, 255,  17, 0,  255, 128,  128, 1,  1, 2,  254, 3}},
         24, {0, 0, 0, 255,  17, 17, 17, 255,  255, 255, 255, 255,  128, 128, 128, 255,  1, 1, 1, 255,
              254, 254, 254, 255},
         {}, {255, 0, 128, 1, 2, 3}},
        {"colour-mapped, 24-bit map", {.ImageType = 1, .Width = 3, .PixelBits = 8, .MapType = 1,
                                       .MapLength = 4, .MapEntryBits = 24,
                                       .Map = {0, 0, 255,  0, 255, 0,  255, 0, 0,  255, 255, 255},
                                       .Pixels = {3, 0, 1, 2, 2, 3}},
         8, {3, 0, 1, 2, 2, 3}, {red, green, blue, white}, {}},
        {"colour-mapped, 32-bit map with alpha", {.ImageType = 1, .Width = 3, .PixelBits = 8, .Descriptor = 8,
                                                  .MapType = 1, .MapLength = 3, .MapEntryBits = 32,
                                                  .Map = {0, 0, 255, 10,  0, 255, 0, 200,  255, 0, 0, 255},
                                                  .Pixels = {0, 1, 2, 2, 1, 0}},
         8, {0, 1, 2, 2, 1, 0}, {red, green, blue}, {10, 200, 255, 255, 200, 10}},
        {"colour-mapped, 16-bit map with an alpha bit", {.ImageType = 1, .Width = 3, .PixelBits = 8, .Descriptor = 1,
                                                         .MapType = 1, .MapLength = 2, .MapEntryBits = 16,
                                                         .Map = {0x00, 0x7C,  0x1F, 0x80},
                                                         .Pixels = {0, 1, 1, 0, 0, 1}},
         8, {0, 1, 1, 0, 0, 1}, {red, blue}, {0, 255, 255, 0, 0, 255}},
        // Stored indices count from the map's first entry index; the delivered ones from 0.
        {"colour-mapped, 15-bit map from index 5", {.ImageType = 1, .Width = 3, .PixelBits = 8, .MapType = 1,
                                                    .MapFirst = 5, .MapLength = 3, .MapEntryBits = 15,
                                                    .Map = {0x00, 0x7C,  0xE0, 0x03,  0x10, 0x42},
                                                    .Pixels = {5, 6, 7, 7, 6, 5}},
         8, {0, 1, 2, 2, 1, 0}, {red, green, {132, 132, 132}}, {}},
    };
}
// clang-format on

// Every decode case's file as stored, uncompressed and run-length, with its name.
std::vector<std::pair<std::string, std::vector<uint8_t>>> DecodeCaseFiles() {
    std::vector<std::pair<std::string, std::vector<uint8_t>>> files;
    for (const DecodeCase& decodeCase : DecodeCases()) {
        TgaFields fields = decodeCase.Fields;
        files.emplace_back(decodeCase.Name, MakeTga(fields));
        fields.ImageType = static_cast<uint8_t>(fields.ImageType + 8);
        files.emplace_back(decodeCase.Name + ", run-length", MakeTga(fields));
    }
    return files;
}

TEST(TgaReader, DecodesEveryTypeDepthAndOriginFromTheVisualTopLeft) {
    for (const DecodeCase& decodeCase : DecodeCases()) {
        for (const uint8_t origin : {uint8_t{0}, kTopDown, kRightToLeft, uint8_t(kTopDown | kRightToLeft)}) {
            for (const bool runLength : {false, true}) {
                SCOPED_TRACE(decodeCase.Name + ", origin bits " + std::to_string(origin) +
                             (runLength ? ", run-length" : ""));
                TgaFields fields = decodeCase.Fields;
                fields.Descriptor |= origin;
                fields.Pixels = InFileOrder(fields.Pixels, 3, 2, (fields.PixelBits + 7u) / 8, origin);
                fields.ImageType = static_cast<uint8_t>(fields.ImageType + (runLength ? 8 : 0));
                const std::vector<uint8_t> file = MakeTga(fields);
                const auto decoder = OpenTga(file);
                const BitmapInfo& info = decoder->Info();
                EXPECT_EQ(info.Width, 3u);
                EXPECT_EQ(info.Height, 2u);
                EXPECT_EQ(info.BitsPerPixel, decodeCase.Bits);
                EXPECT_EQ(info.HasPalette, !decodeCase.Palette.empty());
                EXPECT_EQ(info.Palette, decodeCase.Palette);
                EXPECT_EQ(info.HasAlpha, !decodeCase.Alpha.empty());
                EXPECT_NO_THROW(decoder->Verify());
                const DecodedPixels pixels = decoder->LoadPixels();
                EXPECT_EQ(pixels.Raster, decodeCase.Raster);
                EXPECT_EQ(pixels.Palette, decodeCase.Palette);
                EXPECT_EQ(pixels.Alpha, decodeCase.Alpha);
            }
        }
    }
}

// clang-format off
TEST(TgaReader, RunAndRawPacketsMixAndRunOnAcrossRows) {
    const std::vector<uint8_t> header = MakeTga({.ImageType = 10, .Width = 4, .Height = 2, .Descriptor = kTopDown});
    std::vector<uint8_t> file = header;
    file.insert(file.end(), {
        0x82, 0, 0, 255,             // run of 3: red
        0x01, 0, 255, 0, 255, 0, 0,  // raw 2: green ends the top row, blue starts the bottom one
        0x82, 255, 255, 255,         // run of 3: white
    });
    const std::vector<uint8_t> expected = {
        0, 0, 255, 255,  0, 0, 255, 255,  0, 0, 255, 255,  0, 255, 0, 255,
        255, 0, 0, 255,  255, 255, 255, 255,  255, 255, 255, 255,  255, 255, 255, 255,
    };
    EXPECT_EQ(ReadCompletely(file).Raster, expected);

    // A single run over both rows of a bottom-up colour-mapped image, then nothing else.
    std::vector<uint8_t> mapped = MakeTga({.ImageType = 9, .Width = 3, .Height = 2, .PixelBits = 8, .MapType = 1,
                                           .MapLength = 2, .MapEntryBits = 24, .Map = {1, 2, 3, 4, 5, 6}});
    mapped.insert(mapped.end(), {0x83, 1,  0x01, 0, 1});  // 4 × index 1, then indices 0, 1
    EXPECT_EQ(ReadCompletely(mapped).Raster, (std::vector<uint8_t>{1, 0, 1, 1, 1, 1}));
}
// clang-format on

// Damage inside the pixel data is found by Verify and by LoadPixels alike.
void ExpectRefusedOnVerifyAndLoad(const std::vector<uint8_t>& file, const std::string& message) {
    const auto decoder = OpenTga(file);
    EXPECT_EQ(test::ErrorText([&] { decoder->Verify(); }), "TGA image is not valid " + message);
    EXPECT_EQ(test::ErrorText([&] { decoder->LoadPixels(); }), "TGA image is not valid " + message);
}

TEST(TgaReader, PacketsRunningPastTheImageAreRefusedWithTheirOffset) {
    const std::vector<uint8_t> header = MakeTga({.ImageType = 11, .Width = 2, .Height = 2, .PixelBits = 8});
    const std::vector<std::pair<std::vector<uint8_t>, std::string>> cases = {
        {{0x84, 7}, "at byte 18 of 20: a run-length packet of 5 pixels runs past the image's 4 pixels, 4 left"},
        {{0x81, 7, 0x02, 1, 2, 3},
         "at byte 20 of 24: a run-length packet of 3 pixels runs past the image's 4 pixels, 2 left"},
        {{0x81, 7, 0x81}, "at byte 20 of 21: run-length data ends after 2 of 4 pixels"},
        {{0x81, 7, 0x01, 9}, "at byte 21 of 22: run-length data ends after 2 of 4 pixels"},
    };
    for (const auto& [data, message] : cases) {
        std::vector<uint8_t> file = header;
        file.insert(file.end(), data.begin(), data.end());
        ExpectRefusedOnVerifyAndLoad(file, message);
    }
}

TEST(TgaReader, IndicesOutsideTheColourMapAreRefusedWithTheirOffset) {
    for (const uint8_t type : {uint8_t{1}, uint8_t{9}}) {
        // Entries 4 and 5; index 3 lies below the map, 6 past it.
        const TgaFields mapped{.ImageType = type,
                               .Width = 2,
                               .Height = 1,
                               .PixelBits = 8,
                               .MapType = 1,
                               .MapFirst = 4,
                               .MapLength = 2,
                               .MapEntryBits = 24,
                               .Map = {1, 2, 3, 4, 5, 6}};
        for (const uint8_t index : {3, 6}) {
            SCOPED_TRACE("type " + std::to_string(type) + ", index " + std::to_string(index));
            TgaFields fields = mapped;
            fields.Pixels = {5, index};
            const std::vector<uint8_t> file = MakeTga(fields);
            const size_t offset = type == 1 ? 25 : 26;  // header, map, the first index (and the packet header)
            ExpectRefusedOnVerifyAndLoad(
                file, "at byte " + std::to_string(offset) + " of " + std::to_string(file.size()) + ": colour index " +
                          std::to_string(index) + " lies outside the colour map's 2 entries from index 4");
        }
    }
}

TEST(TgaReader, KeepsOnlyTheMapEntriesAnEightBitIndexReaches) {
    std::vector<uint8_t> map;
    for (uint8_t i = 0; i < 10; ++i) {
        map.insert(map.end(), {i, i, i});
    }
    const std::vector<uint8_t> file = MakeTga({.ImageType = 1,
                                               .Width = 2,
                                               .Height = 1,
                                               .PixelBits = 8,
                                               .MapType = 1,
                                               .MapFirst = 250,
                                               .MapLength = 10,
                                               .MapEntryBits = 24,
                                               .Map = map,
                                               .Pixels = {250, 255}});
    const DecodedPixels pixels = ReadCompletely(file);
    ASSERT_EQ(pixels.Palette.size(), 6u);
    EXPECT_EQ(pixels.Palette[5], (RgbColour{5, 5, 5}));
    EXPECT_EQ(pixels.Raster, (std::vector<uint8_t>{0, 5}));
}

TEST(TgaReader, StepsOverTheIdFieldATrueColourImagesMapAndTheFooter) {
    const TgaFields plain{.Width = 1, .Height = 2, .Pixels = {1, 2, 3, 4, 5, 6}};
    TgaFields dressed = plain;
    dressed.Id = {'h', 'e', 'l', 'l', 'o'};
    dressed.MapType = 1;
    dressed.MapLength = 2;
    dressed.MapEntryBits = 16;
    dressed.Map = {0xAA, 0xBB, 0xCC, 0xDD};
    const std::string footer = "TRUEVISION-XFILE.";
    dressed.Trailer = {0, 0, 0, 0, 0, 0, 0, 0};  // no extension area, no developer area
    dressed.Trailer.insert(dressed.Trailer.end(), footer.begin(), footer.end());
    dressed.Trailer.push_back(0);
    const std::vector<uint8_t> plainFile = MakeTga(plain);
    const std::vector<uint8_t> dressedFile = MakeTga(dressed);
    EXPECT_FALSE(OpenTga(dressedFile)->Info().HasPalette);
    EXPECT_EQ(ReadCompletely(dressedFile).Raster, ReadCompletely(plainFile).Raster);
    EXPECT_EQ(ReadCompletely(dressedFile).Raster, (std::vector<uint8_t>{4, 5, 6, 255, 1, 2, 3, 255}));
}

TEST(TgaReader, UnsupportedOrContradictoryHeadersThrowAClearMessage) {
    const std::vector<std::pair<TgaFields, std::string>> cases = {
        {{.ImageType = 0}, "image type 0 is not supported"},
        {{.ImageType = 32}, "image type 32 is not supported"},
        {{.ImageType = 2, .PixelBits = 8}, "8-bit true-colour pixels are not supported"},
        {{.ImageType = 3, .PixelBits = 24}, "24-bit grey pixels are not supported"},
        {{.ImageType = 3, .PixelBits = 8, .Descriptor = 8}, "8-bit grey pixels with 8 alpha bits are not supported"},
        {{.ImageType = 3, .PixelBits = 16}, "16-bit grey pixels with 0 alpha bits are not supported"},
        {{.PixelBits = 32, .Descriptor = 4}, "32-bit true-colour pixels with 4 alpha bits are not supported"},
        {{.PixelBits = 24, .Descriptor = 8}, "24-bit true-colour pixels with 8 alpha bits are not supported"},
        {{.PixelBits = 15, .Descriptor = 1}, "15-bit true-colour pixels with 1 alpha bit are not supported"},
        {{.Descriptor = 0x40}, "interleaved rows are not supported"},
        {{.ImageType = 1, .PixelBits = 16, .MapType = 1, .MapEntryBits = 24},
         "16-bit colour indices are not supported"},
        {{.ImageType = 1, .PixelBits = 8}, "a colour-mapped image has no colour map"},
        {{.ImageType = 1, .PixelBits = 8, .MapType = 1, .MapEntryBits = 8},
         "8-bit colour map entries are not supported"},
        {{.ImageType = 1, .PixelBits = 8, .Descriptor = 8, .MapType = 1, .MapEntryBits = 24},
         "24-bit colour map entries with 8 alpha bits are not supported"},
        {{.MapType = 2}, "colour map type 2 is not supported"},
        {{.MapType = 1, .MapLength = 3, .MapEntryBits = 24, .Map = {1, 2, 3}},
         "the colour map ends at byte 27 but the file has 21 bytes"},
        {{.Pixels = {1, 2, 3}}, "pixel data ends at byte 30 but the file has 21 bytes"},
    };
    for (const auto& [fields, reason] : cases) {
        SCOPED_TRACE(reason);
        EXPECT_EQ(ErrorOf(MakeTga(fields)), "TGA image is not valid: " + reason);
    }
    std::vector<uint8_t> shortHeader = MakeTga({});
    shortHeader.resize(17);
    EXPECT_EQ(ErrorOf(shortHeader), "TGA image is not valid: the file ends inside its 18-byte header (17 bytes)");
    std::vector<uint8_t> shortId = MakeTga({.Width = 0, .Id = {1, 2, 3}});
    shortId.resize(20);
    EXPECT_EQ(ErrorOf(shortId), "TGA image is not valid: the file ends inside its 3-byte image ID");
}

TEST(TgaReader, HugeDeclaredSizesAreRefusedBeforeAnythingIsAllocated) {
    std::vector<uint8_t> raw = MakeTga({.Width = 65535, .Height = 65535});
    raw.resize(raw.size() + 1000, 0);
    EXPECT_EQ(test::ThrownBy([&] { OpenTga(raw); }).Message,
              "TGA image is not valid: pixel data ends at byte 12884508693 but the file has 1018 bytes");
    std::vector<uint8_t> runs = MakeTga({.ImageType = 10, .Width = 65535, .Height = 65535, .PixelBits = 32});
    for (int i = 0; i < 200; ++i) {
        runs.insert(runs.end(), {0xFF, 1, 2, 3, 4});  // 128 pixels each
    }
    EXPECT_EQ(test::ThrownBy([&] { OpenTga(runs); }).Message,
              "TGA image is not valid: run-length data of 1000 bytes cannot describe 65535×65535 pixels");
}

TEST(TgaReader, RunLengthDataJustLongEnoughForItsSizeIsRead) {
    // 256 grey pixels need two packets of 128: four bytes at the least.
    std::vector<uint8_t> file = MakeTga({.ImageType = 11, .Width = 128, .Height = 2, .PixelBits = 8});
    file.insert(file.end(), {0xFF, 10, 0xFF});
    EXPECT_EQ(test::ErrorText([&] { OpenTga(file); }),
              "TGA image is not valid: run-length data of 3 bytes cannot describe 128×2 pixels");
    file.push_back(20);
    const DecodedPixels pixels = ReadCompletely(file);
    ASSERT_EQ(pixels.Raster.size(), 256u);
    EXPECT_EQ(pixels.Raster.front(), 20);  // the second run fills the top row of a bottom-up image
    EXPECT_EQ(pixels.Raster.back(), 10);
}

// Every cut through the headers, the map or the pixel data is found when the file is opened or
// verified, without decoding it.
TEST(TgaReader, FilesCutAnywhereFailOnOpeningOrVerifying) {
    for (const auto& [name, file] : DecodeCaseFiles()) {
        for (size_t size = 1; size < file.size(); ++size) {
            SCOPED_TRACE(name + ", cut to " + std::to_string(size));
            const test::Thrown thrown = test::ThrownBy([&] { OpenTga(std::span(file).first(size))->Verify(); });
            EXPECT_EQ(thrown.Kind, ErrorKind::Malformed);
            EXPECT_EQ(thrown.Message.rfind("TGA image is not valid", 0), 0u) << thrown.Message;
        }
    }
}

TEST(TgaReader, AlphaBitsThatAreAllZeroAreTakenForAnOpaqueImage) {
    TgaFields fields{.Width = 2, .Height = 1, .PixelBits = 32, .Descriptor = 8, .Pixels = {1, 2, 3, 0, 4, 5, 6, 0}};
    const std::vector<uint8_t> zero = MakeTga(fields);
    const DecodedPixels opaque = OpenTga(zero)->LoadPixels();
    EXPECT_EQ(opaque.Raster, (std::vector<uint8_t>{1, 2, 3, 255, 4, 5, 6, 255}));
    EXPECT_TRUE(opaque.Alpha.empty());
    fields.Pixels[7] = 1;
    const std::vector<uint8_t> one = MakeTga(fields);
    EXPECT_EQ(OpenTga(one)->LoadPixels().Alpha, (std::vector<uint8_t>{0, 1}));
}

TEST(TgaReader, AnEmptyFileIsAnImageOfNoSize) {
    const auto decoder = OpenTga({});
    EXPECT_EQ(decoder->Info().Width, 0u);
    EXPECT_EQ(decoder->Info().Height, 0u);
    EXPECT_NO_THROW(decoder->Verify());
}

// Damaged headers and data must end in a result or an Error: never a crash, an overread or a
// runaway allocation (the sanitizer build checks the first two). Both ends must occur, or the
// damage proved nothing about one of them.
TEST(TgaReader, RandomlyDamagedFilesFailCleanly) {
    std::mt19937 random(20261208);
    size_t read = 0;
    size_t refused = 0;
    for (const auto& [name, original] : DecodeCaseFiles()) {
        const test::DamageOutcome outcome = test::ReadDamagedCopies(
            random, original, 200, 3, [](std::span<const uint8_t> file) { ReadCompletely(file); });
        read += outcome.Read;
        refused += outcome.Refused;
    }
    EXPECT_GT(read, 0u) << refused << " refused";
    EXPECT_GT(refused, 0u) << read << " read";
}

}  // namespace
}  // namespace vc
