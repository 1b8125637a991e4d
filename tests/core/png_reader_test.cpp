// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <zlib.h>

#include <string>
#include <string_view>
#include <vector>

#include "image_files.h"
#include "io/error.h"
#include "pixels/image_decoder.h"
#include "thrown_error.h"

namespace vc {
namespace {

using test::ErrorText;
using test::MakePng;
using test::PngColour;
using test::PngFields;
using test::ThrownBy;

constexpr uint32_t kWidth = 13;  // odd sides leave partial bytes at low depths and short Adam7 passes
constexpr uint32_t kHeight = 9;

struct PngCase {
    PngColour Colour;
    int BitDepth;
    bool Transparency;  // a tRNS chunk
    bool Interlaced;
};

std::string Describe(const PngCase& c) {
    return "colour type " + std::to_string(static_cast<int>(c.Colour)) + ", " + std::to_string(c.BitDepth) + " bits" +
           (c.Transparency ? ", tRNS" : "") + (c.Interlaced ? ", interlaced" : "");
}

// Every colour type at every depth the format allows, with and without tRNS where it applies,
// interlaced and not.
std::vector<PngCase> AllCases() {
    const std::pair<PngColour, std::vector<int>> depths[] = {{PngColour::Grey, {1, 2, 4, 8, 16}},
                                                             {PngColour::Rgb, {8, 16}},
                                                             {PngColour::Palette, {1, 2, 4, 8}},
                                                             {PngColour::GreyAlpha, {8, 16}},
                                                             {PngColour::Rgba, {8, 16}}};
    std::vector<PngCase> cases;
    for (const auto& [colour, bitDepths] : depths) {
        const bool transparencyApplies =
            colour == PngColour::Grey || colour == PngColour::Rgb || colour == PngColour::Palette;
        for (const int bitDepth : bitDepths) {
            for (const bool transparency : {false, true}) {
                for (const bool interlaced : {false, true}) {
                    if (!transparency || transparencyApplies) {
                        cases.push_back({colour, bitDepth, transparency, interlaced});
                    }
                }
            }
        }
    }
    return cases;
}

int Channels(PngColour colour) {
    return colour == PngColour::Rgba ? 4 : colour == PngColour::Rgb ? 3 : colour == PngColour::GreyAlpha ? 2 : 1;
}

// A sample at the file's depth scaled to 8 bits, rounded to the nearest level.
uint8_t EightBit(uint16_t sample, int bitDepth) {
    const uint32_t largest = (1u << bitDepth) - 1;
    return static_cast<uint8_t>((sample * 255u + largest / 2) / largest);
}

// The file for a case: scattered samples; paletted files index a palette smaller than their depth
// allows and give alpha to its first entries only. With a transparent colour, pixel 0's colour
// recurs at pixel 5, and pixels 6 and 7 miss it by one step in one channel (at 16 bits a step that
// scaling to 8 bits hides).
PngFields FieldsFor(const PngCase& c) {
    PngFields fields{
        .Width = kWidth, .Height = kHeight, .Colour = c.Colour, .BitDepth = c.BitDepth, .Interlaced = c.Interlaced};
    const uint32_t range = 1u << c.BitDepth;
    const int channels = Channels(c.Colour);
    const uint32_t paletteSize = c.Colour == PngColour::Palette ? std::min(range, 200u) : 0;
    for (uint32_t i = 0; i < paletteSize; ++i) {
        fields.Palette.push_back(
            {static_cast<uint8_t>(i * 3), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
    }
    for (uint32_t i = 0; i < kWidth * kHeight; ++i) {
        for (int channel = 0; channel < channels; ++channel) {
            uint32_t hash = (i + 1) * 2654435761u ^ static_cast<uint32_t>(channel) * 40503u;
            hash ^= hash >> 15;
            fields.Samples.push_back(static_cast<uint16_t>(paletteSize != 0 ? hash % paletteSize : hash % range));
        }
    }
    if (c.Transparency && c.Colour == PngColour::Palette) {
        for (uint32_t i = 0; i < paletteSize / 2 + 1; ++i) {
            fields.PaletteAlpha.push_back(static_cast<uint8_t>(i * 37 + 11));
        }
    } else if (c.Transparency) {
        const auto pixel = [&](size_t i) { return fields.Samples.begin() + static_cast<ptrdiff_t>(i * channels); };
        fields.TransparentColour.assign(pixel(0), pixel(1));
        std::copy(pixel(0), pixel(1), pixel(5));
        std::copy(pixel(0), pixel(1), pixel(6));
        std::copy(pixel(0), pixel(1), pixel(7));
        pixel(6)[channels - 1] = static_cast<uint16_t>((pixel(6)[channels - 1] + 1) % range);
        pixel(7)[0] = static_cast<uint16_t>((pixel(7)[0] + 1) % range);
    }
    return fields;
}

// What the reader should make of a file, worked out from its fields.
DecodedPixels ExpectedPixels(const PngFields& fields) {
    DecodedPixels pixels;
    const int channels = Channels(fields.Colour);
    // Grey with an alpha channel is read as colour: its alpha does not follow its grey levels.
    const bool colour =
        fields.Colour == PngColour::Rgb || fields.Colour == PngColour::Rgba || fields.Colour == PngColour::GreyAlpha;
    if (fields.Colour == PngColour::Palette) {
        pixels.Palette = fields.Palette;
    } else if (!colour) {
        pixels.Palette = test::GreyPalette(256);
    }
    for (size_t i = 0; i < size_t{fields.Width} * fields.Height; ++i) {
        const auto* samples = &fields.Samples[i * static_cast<size_t>(channels)];
        if (fields.Colour == PngColour::Palette) {
            pixels.Raster.push_back(static_cast<uint8_t>(samples[0]));
            if (!fields.PaletteAlpha.empty()) {
                pixels.Alpha.push_back(samples[0] < fields.PaletteAlpha.size() ? fields.PaletteAlpha[samples[0]] : 255);
            }
            continue;
        }
        if (fields.Colour == PngColour::GreyAlpha) {
            const uint8_t grey = EightBit(samples[0], fields.BitDepth);
            pixels.Raster.insert(pixels.Raster.end(), {grey, grey, grey, 255});
        } else if (colour) {
            pixels.Raster.insert(pixels.Raster.end(),
                                 {EightBit(samples[2], fields.BitDepth), EightBit(samples[1], fields.BitDepth),
                                  EightBit(samples[0], fields.BitDepth), 255});
        } else {
            pixels.Raster.push_back(EightBit(samples[0], fields.BitDepth));
        }
        if (fields.Colour == PngColour::GreyAlpha || fields.Colour == PngColour::Rgba) {
            pixels.Alpha.push_back(EightBit(samples[channels - 1], fields.BitDepth));
        } else if (!fields.TransparentColour.empty()) {
            const bool transparent = std::equal(samples, samples + channels, fields.TransparentColour.begin());
            pixels.Alpha.push_back(transparent ? 0 : 255);
        }
    }
    return pixels;
}

TEST(PngReader, EveryColourTypeAndDepthDecodesToIndicesOrBlueGreenRedWithItsAlpha) {
    for (const PngCase& c : AllCases()) {
        SCOPED_TRACE(Describe(c));
        const PngFields fields = FieldsFor(c);
        const DecodedPixels expected = ExpectedPixels(fields);
        const std::vector<uint8_t> file = MakePng(fields);
        const auto decoder = OpenPng(file);
        const BitmapInfo& info = decoder->Info();
        const bool colour = c.Colour != PngColour::Palette && c.Colour != PngColour::Grey;
        EXPECT_EQ(info.Width, kWidth);
        EXPECT_EQ(info.Height, kHeight);
        EXPECT_EQ(info.BitsPerPixel, colour ? 24 : 8);
        EXPECT_EQ(info.HasPalette, !colour);
        EXPECT_EQ(info.Palette, expected.Palette);
        EXPECT_EQ(info.HasAlpha, !expected.Alpha.empty());
        EXPECT_EQ(ErrorText([&] { decoder->Verify(); }), "no error");
        const DecodedPixels pixels = decoder->LoadPixels();
        EXPECT_EQ(pixels.Raster, expected.Raster);
        EXPECT_EQ(pixels.Palette, expected.Palette);
        EXPECT_EQ(pixels.Alpha, expected.Alpha);
    }
}

// Deflate packs at most 1032 bytes into one; an image near that limit is genuine, not a false claim.
TEST(PngReader, MostCompressibleImageIsNotMistakenForAFalseSize) {
    const PngFields blank{.Width = 4096,
                          .Height = 4096,
                          .Colour = PngColour::Palette,
                          .BitDepth = 1,
                          .Palette = {{1, 2, 3}},
                          .Samples = std::vector<uint16_t>(4096 * 4096, 0)};
    const std::vector<uint8_t> file = MakePng(blank);
    const DecodedPixels pixels = OpenPng(file)->LoadPixels();
    EXPECT_EQ(pixels.Raster, std::vector<uint8_t>(4096 * 4096, 0));
}

TEST(PngReader, EmptyFileIsAnImageOfNoSize) {
    const auto decoder = OpenPng({});
    EXPECT_EQ(decoder->Info().Width, 0u);
    EXPECT_EQ(decoder->Info().Height, 0u);
    EXPECT_EQ(ErrorText([&] { decoder->Verify(); }), "no error");
}

TEST(PngReader, FileWithoutThePngSignatureIsRefused) {
    const std::vector<uint8_t> bitmap = test::MakePalettedBmp(4, 4, test::GreyPalette(2), [](int, int) { return 0; });
    EXPECT_EQ(ErrorText([&] { OpenPng(bitmap); }),
              "PNG image is not valid: the file does not start with the PNG signature");
}

// An RGBA image, interlaced, so that a cut can fall in any pass.
std::vector<uint8_t> SmallFile() {
    return MakePng(FieldsFor({PngColour::Rgba, 8, false, true}));
}

// The length field of the chunk starting at the given offset.
uint32_t ChunkLength(const std::vector<uint8_t>& file, size_t at) {
    return uint32_t{file[at]} << 24 | uint32_t{file[at + 1]} << 16 | uint32_t{file[at + 2]} << 8 | file[at + 3];
}

// Where the chunk of the given type starts (its length field).
size_t ChunkStart(const std::vector<uint8_t>& file, std::string_view type) {
    for (size_t at = 8; at + 8 <= file.size(); at += 12 + ChunkLength(file, at)) {
        if (std::string_view(reinterpret_cast<const char*>(&file[at + 4]), 4) == type) {
            return at;
        }
    }
    ADD_FAILURE() << "no " << type << " chunk";
    return 0;
}

void PutU32BigEndian(std::vector<uint8_t>& file, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        file[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
    }
}

// Gives the header new sides and a CRC that matches them.
void SetHeaderSize(std::vector<uint8_t>& file, uint32_t width, uint32_t height) {
    const size_t header = ChunkStart(file, "IHDR");
    PutU32BigEndian(file, header + 8, width);
    PutU32BigEndian(file, header + 12, height);
    PutU32BigEndian(file, header + 8 + 13, static_cast<uint32_t>(crc32(0, &file[header + 4], 4 + 13)));
}

TEST(PngReader, FileCutShortAnywhereFailsAsDamaged) {
    const std::vector<uint8_t> file = SmallFile();
    for (size_t length = 1; length < file.size(); ++length) {
        SCOPED_TRACE("cut to " + std::to_string(length) + " of " + std::to_string(file.size()) + " bytes");
        const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(length));
        const auto verify = ThrownBy([&] { OpenPng(cut)->Verify(); });
        const auto load = ThrownBy([&] { OpenPng(cut)->LoadPixels(); });
        EXPECT_EQ(verify.Kind, ErrorKind::Malformed);
        EXPECT_EQ(load.Kind, ErrorKind::Malformed);
        EXPECT_EQ(verify.Message.rfind("PNG image is ", 0), 0u) << verify.Message;
        EXPECT_EQ(load.Message, verify.Message);
    }
    const size_t insideImageData = ChunkStart(file, "IDAT") + 20;
    const std::vector<uint8_t> cut(file.begin(), file.begin() + static_cast<ptrdiff_t>(insideImageData));
    EXPECT_EQ(ErrorText([&] { OpenPng(cut)->LoadPixels(); }),
              "PNG image is damaged: the file ends early, after " + std::to_string(insideImageData) + " bytes");
}

TEST(PngReader, ChunkWithAWrongCrcFailsWithLibpngsMessage) {
    std::vector<uint8_t> badData = SmallFile();
    const size_t data = ChunkStart(badData, "IDAT");
    badData[data + 8 + ChunkLength(badData, data)] ^= 0x01;
    const auto decoder = OpenPng(badData);
    EXPECT_EQ(ErrorText([&] { decoder->Verify(); }), "PNG image is damaged: IDAT: CRC error");
    EXPECT_EQ(ErrorText([&] { decoder->LoadPixels(); }), "PNG image is damaged: IDAT: CRC error");

    std::vector<uint8_t> badHeader = SmallFile();
    badHeader[ChunkStart(badHeader, "IHDR") + 8 + 13] ^= 0x01;
    EXPECT_EQ(ErrorText([&] { OpenPng(badHeader); }), "PNG image is damaged: IHDR: CRC error");
}

// Compressed data is inflated as it arrives, so damage inside it is found before the chunk's CRC.
TEST(PngReader, DamagedCompressedDataFailsWithZlibsMessage) {
    std::vector<uint8_t> file = SmallFile();
    file[ChunkStart(file, "IDAT") + 10] ^= 0x01;
    const auto decoder = OpenPng(file);
    EXPECT_EQ(ErrorText([&] { decoder->Verify(); }), "PNG image is damaged: IDAT: invalid code lengths set");
    EXPECT_EQ(ErrorText([&] { decoder->LoadPixels(); }), "PNG image is damaged: IDAT: invalid code lengths set");
}

// A small file claiming a huge image is refused from its header, before anything is sized by it.
TEST(PngReader, HugeDeclaredSizeIsRefusedBeforeAnyAllocation) {
    std::vector<uint8_t> file = SmallFile();
    SetHeaderSize(file, 1000000, 1000000);
    EXPECT_EQ(ErrorText([&] { OpenPng(file); }), "PNG image is damaged: a file of " + std::to_string(file.size()) +
                                                     " bytes cannot hold 1000000×1000000 pixels");
}

// The header claims more rows than the image data holds: only reading the data finds out.
TEST(PngReader, ImageDataShortOfTheDeclaredRowsFailsOnVerifyAndLoad) {
    std::vector<uint8_t> file = MakePng(FieldsFor({PngColour::Rgb, 8, false, false}));
    SetHeaderSize(file, kWidth, 4 * kHeight);
    const auto decoder = OpenPng(file);
    EXPECT_EQ(decoder->Info().Height, 4 * kHeight);
    EXPECT_EQ(ErrorText([&] { decoder->Verify(); }), "PNG image is damaged: Not enough image data");
    EXPECT_EQ(ErrorText([&] { decoder->LoadPixels(); }), "PNG image is damaged: Not enough image data");
}

}  // namespace
}  // namespace vc
