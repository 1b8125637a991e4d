// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixels/bmp_writer.h"

#include <algorithm>
#include <limits>
#include <stdexcept>
#include <string>

#include "io/byte_writer.h"
#include "io/error.h"

namespace vc {

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kPaletteEntrySize = 4;   // blue, green, red, unused
constexpr size_t kAllIndices = 256;         // a byte's values: every index has a colour in a palette this long
constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch
// Width and height are signed 32-bit fields; a negative height would mean rows stored top-down.
constexpr uint32_t kLargestSide = std::numeric_limits<int32_t>::max();
constexpr uint64_t kLargestFile = std::numeric_limits<uint32_t>::max();

// Where the parts of one bitmap file lie.
struct FileLayout {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint16_t BitsPerPixel = 0;
    size_t PaletteEntries = 0;
    uint64_t RowStride = 0;  // bytes per stored row, padding included
    uint64_t PixelOffset = 0;
    uint64_t FileSize = 0;
};

// With both sides below 2^31 and at most 24 bits per pixel, none of these sums can overflow.
FileLayout LayoutOf(uint32_t width, uint32_t height, uint16_t bitsPerPixel, size_t paletteEntries) {
    if (width == 0 || height == 0 || width > kLargestSide || height > kLargestSide) {
        throw std::invalid_argument("a bitmap of " + std::to_string(width) + "×" + std::to_string(height) +
                                    " pixels cannot be written");
    }
    FileLayout layout{.Width = width, .Height = height, .BitsPerPixel = bitsPerPixel, .PaletteEntries = paletteEntries};
    layout.RowStride = (uint64_t{width} * bitsPerPixel + 31) / 32 * 4;
    layout.PixelOffset = kFileHeaderSize + kInfoHeaderSize + kPaletteEntrySize * uint64_t{paletteEntries};
    layout.FileSize = layout.PixelOffset + layout.RowStride * height;
    return layout;
}

FileLayout LayoutOf(const PalettedImage& image) {
    return LayoutOf(image.Width, image.Height, image.BitsPerPixel, image.Palette.size());
}

FileLayout LayoutOf(const TrueColourImage& image) {
    return LayoutOf(image.Width, image.Height, 24, 0);
}

void RequirePixelCount(const FileLayout& layout, size_t bytes, size_t bytesPerPixel) {
    if (bytes != uint64_t{layout.Width} * layout.Height * bytesPerPixel) {
        throw std::invalid_argument("a bitmap of " + std::to_string(layout.Width) + "×" +
                                    std::to_string(layout.Height) + " pixels cannot be written from " +
                                    std::to_string(bytes) + " bytes of pixels");
    }
}

void RequireFileFits(const FileLayout& layout) {
    if (layout.FileSize > kLargestFile) {
        throw Error(ErrorKind::Write, "Bitmap image of " + std::to_string(layout.Width) + "×" +
                                          std::to_string(layout.Height) + " pixels would need " +
                                          std::to_string(layout.FileSize) + " bytes, more than the " +
                                          std::to_string(kLargestFile) + " a bitmap file can hold");
    }
}

void CheckPaletted(const PalettedImage& image, const FileLayout& layout) {
    if (image.BitsPerPixel != 8 && image.BitsPerPixel != 4) {
        throw std::invalid_argument("a paletted bitmap cannot have " + std::to_string(image.BitsPerPixel) +
                                    " bits per pixel");
    }
    const size_t most = size_t{1} << image.BitsPerPixel;
    if (image.Palette.empty() || image.Palette.size() > most) {
        throw std::invalid_argument(std::string(image.BitsPerPixel == 8 ? "an 8" : "a 4") +
                                    "-bit bitmap palette holds 1 to " + std::to_string(most) + " colours, not " +
                                    std::to_string(image.Palette.size()));
    }
    RequireFileFits(layout);
    RequirePixelCount(layout, image.Indices.size(), 1);
    if (image.Palette.size() < kAllIndices) {
        const auto highest = std::max_element(image.Indices.begin(), image.Indices.end());
        if (*highest >= image.Palette.size()) {
            throw std::invalid_argument("palette index " + std::to_string(*highest) + " lies past the " +
                                        std::to_string(image.Palette.size()) + " colours of the palette");
        }
    }
}

void AppendHeaders(ByteSink& out, const FileLayout& layout, std::span<const RgbColour> palette) {
    ByteWriter header;
    header.Reserve(static_cast<size_t>(layout.PixelOffset));
    header.U8('B');
    header.U8('M');
    header.U32(static_cast<uint32_t>(layout.FileSize));
    header.U32(0);  // reserved
    header.U32(static_cast<uint32_t>(layout.PixelOffset));
    header.U32(kInfoHeaderSize);
    header.U32(layout.Width);
    header.U32(layout.Height);  // positive: rows stored from the bottom up
    header.U16(1);              // planes
    header.U16(layout.BitsPerPixel);
    header.U32(0);  // no compression
    header.U32(static_cast<uint32_t>(layout.RowStride * layout.Height));
    header.U32(kPixelsPerMetre);
    header.U32(kPixelsPerMetre);
    header.U32(static_cast<uint32_t>(layout.PaletteEntries));  // colours used: the whole palette
    header.U32(0);                                             // every colour is important
    for (const RgbColour& colour : palette) {
        header.U8(colour.Blue);
        header.U8(colour.Green);
        header.U8(colour.Red);
        header.U8(0);
    }
    out.Append(header.View());
}

// Appends the rows from the bottom up; fillRow(y, row) fills the pixels of row y counted from the
// top, and the padding after them stays zero.
template <typename FillRow>
void AppendRows(ByteSink& out, const FileLayout& layout, FillRow fillRow) {
    std::vector<uint8_t> row(static_cast<size_t>(layout.RowStride));
    for (uint32_t fileRow = 0; fileRow < layout.Height; ++fileRow) {
        fillRow(layout.Height - 1 - fileRow, std::span<uint8_t>(row));
        out.Append(row);
    }
}

void RequireWrittenSize(const ByteSink& out, uint64_t start, const FileLayout& layout) {
    if (out.Size() - start != layout.FileSize) {
        throw std::logic_error("bitmap written with " + std::to_string(out.Size() - start) +
                               " bytes, its header says " + std::to_string(layout.FileSize));
    }
}

template <typename Image>
std::vector<uint8_t> Encode(const Image& image) {
    ByteWriter out;
    const uint64_t size = BmpFileSize(image);
    if (size <= kLargestFile) {  // a larger file is refused before anything is written
        out.Reserve(static_cast<size_t>(size));
    }
    WriteBmp(out, image);
    return out.Take();
}

}  // namespace

uint64_t BmpFileSize(const PalettedImage& image) {
    return LayoutOf(image).FileSize;
}

uint64_t BmpFileSize(const TrueColourImage& image) {
    return LayoutOf(image).FileSize;
}

void WriteBmp(ByteSink& out, const PalettedImage& image) {
    const FileLayout layout = LayoutOf(image);
    CheckPaletted(image, layout);
    const uint64_t start = out.Size();
    AppendHeaders(out, layout, image.Palette);
    const size_t width = layout.Width;
    AppendRows(out, layout, [&](size_t y, std::span<uint8_t> row) {
        const std::span<const uint8_t> indices = image.Indices.subspan(y * width, width);
        if (image.BitsPerPixel == 8) {
            std::copy(indices.begin(), indices.end(), row.begin());
            return;
        }
        for (size_t x = 0; x < width; ++x) {  // the leftmost pixel in the high bits
            row[x / 2] = static_cast<uint8_t>(x % 2 == 0 ? indices[x] << 4 : row[x / 2] | indices[x]);
        }
    });
    RequireWrittenSize(out, start, layout);
}

void WriteBmp(ByteSink& out, const TrueColourImage& image) {
    const FileLayout layout = LayoutOf(image);
    RequireFileFits(layout);
    RequirePixelCount(layout, image.Pixels.size(), 4);
    const uint64_t start = out.Size();
    AppendHeaders(out, layout, {});
    const size_t width = layout.Width;
    const size_t blue = image.Order == PixelOrder::Rgba ? 2 : 0;
    const size_t red = 2 - blue;
    AppendRows(out, layout, [&](size_t y, std::span<uint8_t> row) {
        const std::span<const uint8_t> pixels = image.Pixels.subspan(4 * y * width, 4 * width);
        for (size_t x = 0; x < width; ++x) {
            row[3 * x] = pixels[4 * x + blue];
            row[3 * x + 1] = pixels[4 * x + 1];
            row[3 * x + 2] = pixels[4 * x + red];
        }
    });
    RequireWrittenSize(out, start, layout);
}

std::vector<uint8_t> EncodeBmp(const PalettedImage& image) {
    return Encode(image);
}

std::vector<uint8_t> EncodeBmp(const TrueColourImage& image) {
    return Encode(image);
}

PalettedImage GreyImage(uint32_t width, uint32_t height, std::span<const uint8_t> levels) {
    return {.Width = width, .Height = height, .Palette = GreyRamp(), .Indices = levels};
}

std::vector<RgbColour> GreyLevelPalette(std::span<const uint8_t> levels) {
    std::vector<RgbColour> palette;
    palette.reserve(levels.size());
    for (const uint8_t level : levels) {
        palette.push_back({level, level, level});
    }
    return palette;
}

}  // namespace vc
