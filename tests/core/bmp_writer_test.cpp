// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <type_traits>
#include <vector>

#include "io/byte_writer.h"
#include "io/error.h"
#include "pixels/bmp_writer.h"
#include "pixels/image_decoder.h"

namespace vc {
namespace {

struct Size {
    uint32_t Width;
    uint32_t Height;
};

// Odd widths give every amount of row padding at both depths; 1 × 1 and single rows and columns
// are the smallest images the reader takes.
const std::vector<Size> kSizes = {{1, 1}, {2, 1}, {3, 1},  {1, 3},  {3, 5},   {4, 4},   {5, 2},
                                  {6, 7}, {7, 3}, {17, 1}, {1, 17}, {64, 32}, {32, 64}, {13, 11}};

std::vector<RgbColour> Palette(size_t entries) {
    std::vector<RgbColour> palette;
    for (size_t i = 0; i < entries; ++i) {
        palette.push_back({static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
    }
    return palette;
}

// Indices that differ from row to row and column to column and use every entry of the palette.
std::vector<uint8_t> Indices(Size size, size_t entries) {
    std::vector<uint8_t> indices;
    for (uint32_t y = 0; y < size.Height; ++y) {
        for (uint32_t x = 0; x < size.Width; ++x) {
            indices.push_back(static_cast<uint8_t>((x * 3 + y * 5 + x * y) % entries));
        }
    }
    return indices;
}

// Four bytes per pixel, every channel different, alpha varied too.
std::vector<uint8_t> Pixels(Size size) {
    std::vector<uint8_t> pixels;
    for (uint32_t y = 0; y < size.Height; ++y) {
        for (uint32_t x = 0; x < size.Width; ++x) {
            pixels.insert(pixels.end(), {static_cast<uint8_t>(x * 11 + y), static_cast<uint8_t>(y * 13 + 1),
                                         static_cast<uint8_t>(x ^ (y * 29)), static_cast<uint8_t>(x + y * 3)});
        }
    }
    return pixels;
}

// What the reader delivers for the pixels: blue, green, red, 255.
std::vector<uint8_t> AsDecoded(const std::vector<uint8_t>& pixels, PixelOrder order) {
    std::vector<uint8_t> decoded;
    for (size_t i = 0; i < pixels.size(); i += 4) {
        const uint8_t red = order == PixelOrder::Rgba ? pixels[i] : pixels[i + 2];
        const uint8_t blue = order == PixelOrder::Rgba ? pixels[i + 2] : pixels[i];
        decoded.insert(decoded.end(), {blue, pixels[i + 1], red, 255});
    }
    return decoded;
}

// Writes through a sink and checks the bytes written against the size computed first.
template <typename Image>
std::vector<uint8_t> Written(const Image& image) {
    ByteWriter out;
    WriteBmp(out, image);
    EXPECT_EQ(out.Size(), BmpFileSize(image));
    return out.Take();
}

TEST(BmpWriter, PalettedFileIsLaidOutBottomUpWithPaddedRows) {
    const std::vector<RgbColour> palette = {{10, 20, 30}, {255, 128, 0}};
    const std::vector<uint8_t> indices = {0, 1, 1,   // top row
                                          1, 0, 0};  // bottom row
    // clang-format off
    const std::vector<uint8_t> expected = {
        'B', 'M',
        70, 0, 0, 0,    // file size: 14 + 40 + 2 × 4 + 2 rows × 4
        0, 0, 0, 0,     // reserved
        62, 0, 0, 0,    // pixel data offset
        40, 0, 0, 0,    // info header size
        3, 0, 0, 0,     // width
        2, 0, 0, 0,     // height, positive: bottom-up
        1, 0,           // planes
        8, 0,           // bits per pixel
        0, 0, 0, 0,     // compression: none
        8, 0, 0, 0,     // pixel data size
        0x13, 0x0B, 0, 0,  // 2835 pixels per metre across
        0x13, 0x0B, 0, 0,  // and down
        2, 0, 0, 0,     // colours used
        0, 0, 0, 0,     // colours important: all
        30, 20, 10, 0,  // entry 0: blue, green, red, unused
        0, 128, 255, 0, // entry 1
        1, 0, 0, 0,     // bottom row and one byte of padding
        0, 1, 1, 0,     // top row
    };
    // clang-format on
    EXPECT_EQ(Written(PalettedImage{.Width = 3, .Height = 2, .Palette = palette, .Indices = indices}), expected);
}

TEST(BmpWriter, TrueColourFileDropsAlphaAndStoresBlueGreenRed) {
    const std::vector<uint8_t> rgba = {1, 2, 3, 200,  // top pixel: red, green, blue, alpha
                                       4, 5, 6, 0};   // bottom pixel
    // clang-format off
    const std::vector<uint8_t> expected = {
        'B', 'M',
        62, 0, 0, 0,    // file size: 14 + 40 + 2 rows × 4
        0, 0, 0, 0,     // reserved
        54, 0, 0, 0,    // pixel data offset: no palette
        40, 0, 0, 0,    // info header size
        1, 0, 0, 0,     // width
        2, 0, 0, 0,     // height
        1, 0,           // planes
        24, 0,          // bits per pixel
        0, 0, 0, 0,     // compression: none
        8, 0, 0, 0,     // pixel data size
        0x13, 0x0B, 0, 0,
        0x13, 0x0B, 0, 0,
        0, 0, 0, 0,     // colours used: no palette
        0, 0, 0, 0,     // colours important
        6, 5, 4, 0,     // bottom pixel and one byte of padding
        3, 2, 1, 0,     // top pixel
    };
    // clang-format on
    EXPECT_EQ(Written(TrueColourImage{.Width = 1, .Height = 2, .Pixels = rgba, .Order = PixelOrder::Rgba}), expected);
    const std::vector<uint8_t> bgra = {3, 2, 1, 200, 6, 5, 4, 0};
    EXPECT_EQ(Written(TrueColourImage{.Width = 1, .Height = 2, .Pixels = bgra, .Order = PixelOrder::Bgra}), expected);
}

TEST(BmpWriter, ImagesOfEverySizeReadBackWithTheirIndicesAndPaletteOrTheirColours) {
    for (const Size size : kSizes) {
        SCOPED_TRACE(std::to_string(size.Width) + "×" + std::to_string(size.Height));
        // Palettes of up to 16 colours also in 4 bits, two pixels a byte.
        for (const auto& [entries, bits] :
             {std::pair<size_t, uint16_t>{1, 8}, {2, 8}, {16, 8}, {255, 8}, {256, 8}, {1, 4}, {2, 4}, {16, 4}}) {
            const std::vector<RgbColour> palette = Palette(entries);
            const std::vector<uint8_t> indices = Indices(size, entries);
            const std::vector<uint8_t> file = Written(PalettedImage{.Width = size.Width,
                                                                    .Height = size.Height,
                                                                    .Palette = palette,
                                                                    .Indices = indices,
                                                                    .BitsPerPixel = bits});
            const auto decoder = OpenBmp(file);
            EXPECT_EQ(decoder->Info().Width, size.Width);
            EXPECT_EQ(decoder->Info().Height, size.Height);
            EXPECT_EQ(decoder->Info().BitsPerPixel, bits);
            EXPECT_TRUE(decoder->Info().HasPalette);
            const DecodedPixels decoded = decoder->LoadPixels();
            EXPECT_EQ(decoded.Palette, palette) << entries << " colours";
            EXPECT_EQ(decoded.Raster, indices) << entries << " colours";
        }
        for (const PixelOrder order : {PixelOrder::Rgba, PixelOrder::Bgra}) {
            const std::vector<uint8_t> pixels = Pixels(size);
            const std::vector<uint8_t> file =
                Written(TrueColourImage{.Width = size.Width, .Height = size.Height, .Pixels = pixels, .Order = order});
            const auto decoder = OpenBmp(file);
            EXPECT_EQ(decoder->Info().Width, size.Width);
            EXPECT_EQ(decoder->Info().Height, size.Height);
            EXPECT_EQ(decoder->Info().BitsPerPixel, 24);
            EXPECT_FALSE(decoder->Info().HasPalette);
            EXPECT_EQ(decoder->LoadPixels().Raster, AsDecoded(pixels, order));
        }
    }
}

TEST(BmpWriter, WritesAfterBytesAlreadyInTheSink) {
    const std::vector<RgbColour> palette = Palette(4);
    const std::vector<uint8_t> indices = Indices({3, 3}, 4);
    const PalettedImage image{.Width = 3, .Height = 3, .Palette = palette, .Indices = indices};
    ByteWriter out;
    out.U32(0xDEADBEEF);
    WriteBmp(out, image);
    const std::vector<uint8_t> expected = EncodeBmp(image);
    ASSERT_EQ(out.Size(), 4 + expected.size());
    EXPECT_EQ(std::vector<uint8_t>(out.View().begin() + 4, out.View().end()), expected);
}

TEST(BmpWriter, SidesNearTheLargestTextureReadBack) {
    const std::vector<RgbColour> palette = Palette(256);
    for (const Size size : {Size{65535, 1}, Size{1, 65535}, Size{65535, 3}}) {
        SCOPED_TRACE(std::to_string(size.Width) + "×" + std::to_string(size.Height));
        const std::vector<uint8_t> indices = Indices(size, 256);
        const DecodedPixels paletted =
            OpenBmp(Written(PalettedImage{
                        .Width = size.Width, .Height = size.Height, .Palette = palette, .Indices = indices}))
                ->LoadPixels();
        EXPECT_EQ(paletted.Raster, indices);
        const std::vector<uint8_t> pixels = Pixels(size);
        const DecodedPixels trueColour =
            OpenBmp(Written(TrueColourImage{.Width = size.Width, .Height = size.Height, .Pixels = pixels}))
                ->LoadPixels();
        EXPECT_EQ(trueColour.Raster, AsDecoded(pixels, PixelOrder::Rgba));
    }
}

TEST(BmpWriter, FileSizeIsComputedWithoutOverflowForTheLargestSides) {
    const std::vector<RgbColour> palette = Palette(256);
    // 65535 indices padded to 65536 per row: just below 4 GiB, so such a file can be written. The
    // 24-bit file of these sides, past 4 GiB, is sized in the refusal below.
    EXPECT_EQ(BmpFileSize(PalettedImage{.Width = 65535, .Height = 65535, .Palette = palette}),
              54u + 1024u + 65536ull * 65535);
}

// Runs the write and gives the message of what it throws: a write Error for a file that cannot be,
// an std::invalid_argument for a caller's fault; either way before anything is written.
template <typename Refusal = std::invalid_argument, typename Image>
std::string RefusalOf(const Image& image) {
    ByteWriter out;
    try {
        WriteBmp(out, image);
    } catch (const Refusal& refusal) {
        if constexpr (std::is_same_v<Refusal, Error>) {
            EXPECT_EQ(refusal.Kind(), ErrorKind::Write);
        }
        EXPECT_EQ(out.Size(), 0u) << "bytes written before the refusal";
        return refusal.what();
    }
    return "no refusal";
}

TEST(BmpWriter, FileBeyondTheBitmapSizeFieldIsRefusedBeforeAnythingIsWritten) {
    // The pixels are not needed to see that the file cannot be written, so none are given.
    EXPECT_EQ(RefusalOf<Error>(TrueColourImage{.Width = 65535, .Height = 65535}),
              "Bitmap image of 65535×65535 pixels would need 12884705334 bytes, more than the 4294967295 a bitmap "
              "file can hold");
    const std::vector<RgbColour> palette = Palette(256);
    EXPECT_EQ(RefusalOf<Error>(PalettedImage{.Width = 65536, .Height = 65536, .Palette = palette}),
              "Bitmap image of 65536×65536 pixels would need 4294968374 bytes, more than the 4294967295 a bitmap "
              "file can hold");
}

TEST(BmpWriter, RefusesImagesWhoseFieldsDisagree) {
    const std::vector<RgbColour> two = Palette(2);
    const std::vector<RgbColour> tooMany = Palette(257);
    const std::vector<uint8_t> fourIndices = {0, 1, 1, 0};
    const std::vector<uint8_t> pastPalette = {0, 1, 2, 0};
    const std::vector<uint8_t> fourPixels(16);
    EXPECT_EQ(RefusalOf(PalettedImage{.Width = 0, .Height = 4, .Palette = two}),
              "a bitmap of 0×4 pixels cannot be written");
    EXPECT_EQ(RefusalOf(TrueColourImage{.Width = 4, .Height = 0}), "a bitmap of 4×0 pixels cannot be written");
    EXPECT_EQ(RefusalOf(TrueColourImage{.Width = 0x80000000u, .Height = 1}),
              "a bitmap of 2147483648×1 pixels cannot be written");
    EXPECT_EQ(RefusalOf(PalettedImage{.Width = 2, .Height = 2, .Indices = fourIndices}),
              "an 8-bit bitmap palette holds 1 to 256 colours, not 0");
    EXPECT_EQ(RefusalOf(PalettedImage{.Width = 2, .Height = 2, .Palette = tooMany, .Indices = fourIndices}),
              "an 8-bit bitmap palette holds 1 to 256 colours, not 257");
    const std::vector<RgbColour> seventeen(17);
    EXPECT_EQ(RefusalOf(PalettedImage{
                  .Width = 2, .Height = 2, .Palette = seventeen, .Indices = fourIndices, .BitsPerPixel = 4}),
              "a 4-bit bitmap palette holds 1 to 16 colours, not 17");
    EXPECT_EQ(
        RefusalOf(PalettedImage{.Width = 2, .Height = 2, .Palette = two, .Indices = fourIndices, .BitsPerPixel = 2}),
        "a paletted bitmap cannot have 2 bits per pixel");
    EXPECT_EQ(RefusalOf(PalettedImage{.Width = 2, .Height = 2, .Palette = two, .Indices = pastPalette}),
              "palette index 2 lies past the 2 colours of the palette");
    // A full 4-bit palette still leaves indices past it, which would spill into the next pixel.
    const std::vector<RgbColour> sixteen(16);
    const std::vector<uint8_t> past16 = {0, 1, 16, 0};
    EXPECT_EQ(
        RefusalOf(PalettedImage{.Width = 2, .Height = 2, .Palette = sixteen, .Indices = past16, .BitsPerPixel = 4}),
        "palette index 16 lies past the 16 colours of the palette");
    EXPECT_EQ(RefusalOf(PalettedImage{.Width = 3, .Height = 2, .Palette = two, .Indices = fourIndices}),
              "a bitmap of 3×2 pixels cannot be written from 4 bytes of pixels");
    EXPECT_EQ(RefusalOf(TrueColourImage{.Width = 2, .Height = 1, .Pixels = fourPixels}),
              "a bitmap of 2×1 pixels cannot be written from 16 bytes of pixels");
}

}  // namespace
}  // namespace vc
