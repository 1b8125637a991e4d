// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "pixels/image_decoder.h"

namespace vc::test {

// A bitmap to write field by field, for the forms the product's own writer never makes (OS/2 and
// longer headers, rows stored top-down, other depths); fields default to an ordinary bottom-up
// 8-bit file with a 40-byte header.
struct BmpFields {
    int32_t Width = 4;
    int32_t Height = 4;  // negative: rows stored top-down
    uint16_t BitsPerPixel = 8;
    uint32_t HeaderSize = 40;  // 12 writes the OS/2 form
    std::vector<RgbColour> Palette;
    // Rows from the visual top down, no padding: one index per pixel at 8 bits, blue, green, red at
    // 24 bits; left zero for other depths.
    std::vector<uint8_t> Pixels;
};

std::vector<uint8_t> MakeBmp(const BmpFields& fields);

// Ordinary bitmaps, written by the product's own writer.
// An 8-bit bitmap whose pixel at (x, y) has index pixel(x, y), with the given palette.
std::vector<uint8_t> MakePalettedBmp(int width, int height, const std::vector<RgbColour>& palette,
                                     const std::function<uint8_t(int, int)>& pixel);
// A 24-bit bitmap whose pixel at (x, y) has colour pixel(x, y).
std::vector<uint8_t> MakeTrueColourBmp(int width, int height, const std::function<RgbColour(int, int)>& pixel);

std::vector<RgbColour> GreyPalette(int entries);

enum class JpegKind { Colour, Grey, Cmyk, ProgressiveColour, ArithmeticColour };
// A JPEG of the given kind; colour(x, y) gives the pixel (its green for Grey, inverted ink for Cmyk).
std::vector<uint8_t> MakeJpeg(int width, int height, JpegKind kind, const std::function<RgbColour(int, int)>& colour,
                              int quality = 95);

// A TGA file to write field by field; fields default to an uncompressed 24-bit true-colour image
// stored from the bottom row up.
struct TgaFields {
    uint8_t ImageType = 2;  // 1 colour-mapped, 2 true-colour, 3 grey; 9, 10, 11 their run-length forms
    uint16_t Width = 2;
    uint16_t Height = 2;
    uint8_t PixelBits = 24;
    uint8_t Descriptor = 0;  // alpha bits, 0x10 right to left, 0x20 rows from the top
    std::vector<uint8_t> Id;
    uint8_t MapType = 0;  // 1 when a colour map follows the ID
    uint16_t MapFirst = 0;
    uint16_t MapLength = 0;
    uint8_t MapEntryBits = 0;
    std::vector<uint8_t> Map;  // the colour map as stored
    // Pixel values as stored, in file order; run-length types get them packed into run and raw
    // packets, runs reaching across rows.
    std::vector<uint8_t> Pixels;
    std::vector<uint8_t> Trailer;  // bytes after the pixel data: an extension area, a footer
};

std::vector<uint8_t> MakeTga(const TgaFields& fields);

// PNG colour types, numbered as in the file's header.
enum class PngColour { Grey = 0, Rgb = 2, Palette = 3, GreyAlpha = 4, Rgba = 6 };

// A PNG written by libpng from samples given at the file's own depth.
struct PngFields {
    uint32_t Width = 4;
    uint32_t Height = 4;
    PngColour Colour = PngColour::Palette;
    int BitDepth = 8;
    bool Interlaced = false;
    std::vector<RgbColour> Palette;     // PLTE, for paletted images
    std::vector<uint8_t> PaletteAlpha;  // tRNS for paletted images: the alpha of the first entries
    // tRNS for grey and colour images: the transparent grey level, or red, green and blue.
    std::vector<uint16_t> TransparentColour;
    // Rows from the top down, each pixel's samples in the file's order (index; grey; red, green,
    // blue; then alpha), each below 2^BitDepth.
    std::vector<uint16_t> Samples;
};

std::vector<uint8_t> MakePng(const PngFields& fields);

}  // namespace vc::test
