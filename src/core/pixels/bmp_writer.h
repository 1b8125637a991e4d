// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "io/byte_sink.h"
#include "pixels/grey_ramp.h"
#include "pixels/image_decoder.h"

namespace vc {

// Windows bitmaps as every reader takes them: the 14-byte file header, the 40-byte info header,
// no compression, rows stored from the bottom up, each padded to a multiple of 4 bytes. Images
// come as the decoders deliver them: rows from the top down, each row left to right, no padding.

// A paletted image: one palette index per pixel, written with 8 bits per pixel, or with 4 for a
// palette of at most 16 colours.
struct PalettedImage {
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::span<const RgbColour> Palette;  // 1 to 256 entries, written as they are
    std::span<const uint8_t> Indices;    // Width × Height, each below the palette's size
    uint16_t BitsPerPixel = 8;           // 8 or 4
};

// The order of the four bytes of a pixel.
enum class PixelOrder { Rgba, Bgra };

// A 24-bit image from four bytes per pixel; alpha is not written.
struct TrueColourImage {
    uint32_t Width = 0;
    uint32_t Height = 0;
    std::span<const uint8_t> Pixels;  // 4 × Width × Height bytes
    PixelOrder Order = PixelOrder::Rgba;
};

// The size of the file the image is written as. Throws std::invalid_argument for an image without
// pixels or wider or taller than a bitmap's signed 32-bit fields hold.
uint64_t BmpFileSize(const PalettedImage& image);
uint64_t BmpFileSize(const TrueColourImage& image);

// Appends the image's file to out, exactly BmpFileSize bytes. Throws std::invalid_argument when
// the image's fields disagree, and an Error before anything is written when the file would not
// fit the 32-bit size field of a bitmap.
void WriteBmp(ByteSink& out, const PalettedImage& image);
void WriteBmp(ByteSink& out, const TrueColourImage& image);

std::vector<uint8_t> EncodeBmp(const PalettedImage& image);
std::vector<uint8_t> EncodeBmp(const TrueColourImage& image);

// An 8-bit greyscale image: its indices are its grey levels.
PalettedImage GreyImage(uint32_t width, uint32_t height, std::span<const uint8_t> levels);
// A palette whose entry i has the grey level levels[i]. Over a paletted texture's own indices and
// with the alpha of each palette entry, it makes the texture's mask.
std::vector<RgbColour> GreyLevelPalette(std::span<const uint8_t> levels);

}  // namespace vc
