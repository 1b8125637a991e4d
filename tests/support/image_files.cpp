// SPDX-License-Identifier: GPL-3.0-or-later
#include "image_files.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <stdexcept>

#include <jpeglib.h>
#include <png.h>

#include "io/byte_writer.h"
#include "pixels/bmp_writer.h"

namespace vc::test {

std::vector<uint8_t> MakeBmp(const BmpFields& fields) {
    const bool core = fields.HeaderSize == 12;
    const size_t entrySize = core ? 3 : 4;
    const uint32_t width = static_cast<uint32_t>(fields.Width < 0 ? -fields.Width : fields.Width);
    const uint32_t height = static_cast<uint32_t>(fields.Height < 0 ? -fields.Height : fields.Height);
    const size_t stride = (size_t{width} * fields.BitsPerPixel + 31) / 32 * 4;
    const size_t pixelOffset = 14 + fields.HeaderSize + fields.Palette.size() * entrySize;

    ByteWriter out;
    out.U8('B');
    out.U8('M');
    out.U32(static_cast<uint32_t>(pixelOffset + stride * height));
    out.U32(0);
    out.U32(static_cast<uint32_t>(pixelOffset));
    out.U32(fields.HeaderSize);
    if (core) {
        out.U16(static_cast<uint16_t>(width));
        out.U16(static_cast<uint16_t>(height));
        out.U16(1);
        out.U16(fields.BitsPerPixel);
    } else {
        out.U32(static_cast<uint32_t>(fields.Width));
        out.U32(static_cast<uint32_t>(fields.Height));
        out.U16(1);
        out.U16(fields.BitsPerPixel);
        out.U32(0);  // uncompressed
        out.U32(static_cast<uint32_t>(stride * height));
        out.U32(2835);
        out.U32(2835);
        out.U32(static_cast<uint32_t>(fields.Palette.size()));
        out.U32(0);
        for (size_t i = 40; i < fields.HeaderSize; ++i) {
            out.U8(0);
        }
    }
    for (const RgbColour& colour : fields.Palette) {
        out.U8(colour.Blue);
        out.U8(colour.Green);
        out.U8(colour.Red);
        if (!core) {
            out.U8(0);
        }
    }
    const size_t bytesPerPixel = fields.BitsPerPixel == 24 ? 3 : 1;
    for (uint32_t fileRow = 0; fileRow < height; ++fileRow) {
        const uint32_t row = fields.Height < 0 ? fileRow : height - 1 - fileRow;
        size_t written = 0;
        if (!fields.Pixels.empty()) {
            const size_t rowBytes = width * bytesPerPixel;
            for (size_t i = 0; i < rowBytes; ++i) {
                out.U8(fields.Pixels.at(row * rowBytes + i));
            }
            written = rowBytes;
        }
        for (; written < stride; ++written) {
            out.U8(0);
        }
    }
    return out.Take();
}

std::vector<uint8_t> MakePalettedBmp(int width, int height, const std::vector<RgbColour>& palette,
                                     const std::function<uint8_t(int, int)>& pixel) {
    std::vector<uint8_t> indices;
    indices.reserve(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            indices.push_back(pixel(x, y));
        }
    }
    return EncodeBmp(PalettedImage{.Width = static_cast<uint32_t>(width),
                                   .Height = static_cast<uint32_t>(height),
                                   .Palette = palette,
                                   .Indices = indices});
}

std::vector<uint8_t> MakeTrueColourBmp(int width, int height, const std::function<RgbColour(int, int)>& pixel) {
    std::vector<uint8_t> pixels;
    pixels.reserve(4 * static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const RgbColour colour = pixel(x, y);
            pixels.insert(pixels.end(), {colour.Red, colour.Green, colour.Blue, 255});
        }
    }
    return EncodeBmp(TrueColourImage{.Width = static_cast<uint32_t>(width),
                                     .Height = static_cast<uint32_t>(height),
                                     .Pixels = pixels,
                                     .Order = PixelOrder::Rgba});
}

std::vector<RgbColour> GreyPalette(int entries) {
    std::vector<RgbColour> palette;
    for (int i = 0; i < entries; ++i) {
        const auto level = static_cast<uint8_t>(entries == 1 ? 0 : i * 255 / (entries - 1));
        palette.push_back({level, level, level});
    }
    return palette;
}

std::vector<uint8_t> MakeJpeg(int width, int height, JpegKind kind, const std::function<RgbColour(int, int)>& colour,
                              int quality) {
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr errors{};
    cinfo.err = jpeg_std_error(&errors);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = kind == JpegKind::Grey ? 1 : kind == JpegKind::Cmyk ? 4 : 3;
    cinfo.in_color_space = kind == JpegKind::Grey ? JCS_GRAYSCALE : kind == JpegKind::Cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (kind == JpegKind::ProgressiveColour) {
        jpeg_simple_progression(&cinfo);
    }
    cinfo.arith_code = kind == JpegKind::ArithmeticColour ? TRUE : FALSE;
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<uint8_t> row(static_cast<size_t>(width) * cinfo.input_components);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const RgbColour c = colour(x, y);
            uint8_t* sample = &row[static_cast<size_t>(x) * cinfo.input_components];
            if (kind == JpegKind::Grey) {
                sample[0] = c.Green;
            } else if (kind == JpegKind::Cmyk) {
                // Adobe-style inverted ink without black: the sample equals the colour channel.
                sample[0] = c.Red;
                sample[1] = c.Green;
                sample[2] = c.Blue;
                sample[3] = 255;
            } else {
                sample[0] = c.Red;
                sample[1] = c.Green;
                sample[2] = c.Blue;
            }
        }
        JSAMPROW rowPointer = row.data();
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::vector<uint8_t> bytes(buffer, buffer + size);
    std::free(buffer);
    return bytes;
}

namespace {

// Packs pixel values of valueSize bytes into run-length packets of at most 128 pixels: two or more
// equal values in a row make a run packet, anything else goes into raw packets.
void WriteRunLength(ByteWriter& out, std::span<const uint8_t> pixels, size_t valueSize) {
    const size_t count = pixels.size() / valueSize;
    const auto value = [&](size_t i) { return pixels.subspan(i * valueSize, valueSize); };
    const auto same = [&](size_t a, size_t b) { return std::ranges::equal(value(a), value(b)); };
    size_t i = 0;
    while (i < count) {
        size_t run = 1;
        while (i + run < count && run < 128 && same(i, i + run)) {
            ++run;
        }
        if (run > 1) {
            out.U8(static_cast<uint8_t>(0x80 | (run - 1)));
            out.Append(value(i));
            i += run;
            continue;
        }
        size_t raw = 1;
        while (i + raw < count && raw < 128 && !(i + raw + 1 < count && same(i + raw, i + raw + 1))) {
            ++raw;
        }
        out.U8(static_cast<uint8_t>(raw - 1));
        out.Append(pixels.subspan(i * valueSize, raw * valueSize));
        i += raw;
    }
}

}  // namespace

std::vector<uint8_t> MakeTga(const TgaFields& fields) {
    ByteWriter out;
    out.U8(static_cast<uint8_t>(fields.Id.size()));
    out.U8(fields.MapType);
    out.U8(fields.ImageType);
    out.U16(fields.MapFirst);
    out.U16(fields.MapLength);
    out.U8(fields.MapEntryBits);
    out.U16(0);  // screen origin
    out.U16(0);
    out.U16(fields.Width);
    out.U16(fields.Height);
    out.U8(fields.PixelBits);
    out.U8(fields.Descriptor);
    out.Append(fields.Id);
    out.Append(fields.Map);
    if (fields.ImageType >= 9) {
        WriteRunLength(out, fields.Pixels, (fields.PixelBits + 7u) / 8);
    } else {
        out.Append(fields.Pixels);
    }
    out.Append(fields.Trailer);
    return out.Take();
}

namespace {

extern "C" void AbortOnPngError(png_structp, png_const_charp message) {
    std::fprintf(stderr, "libpng could not write a test image: %s\n", message);
    std::abort();
}

extern "C" void AppendToVector(png_structp png, png_bytep data, size_t length) {
    auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    bytes->insert(bytes->end(), data, data + length);
}

extern "C" void FlushNothing(png_structp) {}

int ChannelsOf(PngColour colour) {
    switch (colour) {
        case PngColour::Rgb:
            return 3;
        case PngColour::GreyAlpha:
            return 2;
        case PngColour::Rgba:
            return 4;
        default:
            return 1;
    }
}

// One row as the file stores it: samples packed from the high bit down below 8 bits, two bytes
// high first at 16.
std::vector<uint8_t> PackRow(std::span<const uint16_t> samples, int bitDepth) {
    std::vector<uint8_t> row((samples.size() * static_cast<size_t>(bitDepth) + 7) / 8);
    for (size_t i = 0; i < samples.size(); ++i) {
        if (bitDepth == 16) {
            row[2 * i] = static_cast<uint8_t>(samples[i] >> 8);
            row[2 * i + 1] = static_cast<uint8_t>(samples[i]);
        } else {
            const size_t bit = i * static_cast<size_t>(bitDepth);
            row[bit / 8] |= static_cast<uint8_t>(samples[i] << (8 - bitDepth - bit % 8));
        }
    }
    return row;
}

}  // namespace

std::vector<uint8_t> MakePng(const PngFields& fields) {
    const size_t rowSamples = size_t{fields.Width} * static_cast<size_t>(ChannelsOf(fields.Colour));
    std::vector<std::vector<uint8_t>> rows;
    for (uint32_t y = 0; y < fields.Height; ++y) {
        rows.push_back(PackRow(std::span(fields.Samples).subspan(y * rowSamples, rowSamples), fields.BitDepth));
    }
    std::vector<png_bytep> rowPointers;
    for (std::vector<uint8_t>& row : rows) {
        rowPointers.push_back(row.data());
    }
    std::vector<png_color> palette;
    for (const RgbColour& colour : fields.Palette) {
        palette.push_back({colour.Red, colour.Green, colour.Blue});
    }
    std::vector<uint8_t> paletteAlpha = fields.PaletteAlpha;
    png_color_16 transparent{};
    if (!fields.TransparentColour.empty()) {
        transparent.gray = fields.TransparentColour[0];
        transparent.red = fields.TransparentColour[0];
        transparent.green = fields.TransparentColour.at(fields.Colour == PngColour::Rgb ? 1 : 0);
        transparent.blue = fields.TransparentColour.at(fields.Colour == PngColour::Rgb ? 2 : 0);
    }

    std::vector<uint8_t> bytes;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, AbortOnPngError, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &bytes, AppendToVector, FlushNothing);
    png_set_IHDR(png, info, fields.Width, fields.Height, fields.BitDepth, static_cast<int>(fields.Colour),
                 fields.Interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    }
    if (!paletteAlpha.empty()) {
        png_set_tRNS(png, info, paletteAlpha.data(), static_cast<int>(paletteAlpha.size()), nullptr);
    } else if (!fields.TransparentColour.empty()) {
        png_set_tRNS(png, info, nullptr, 0, &transparent);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return bytes;
}

}  // namespace vc::test
