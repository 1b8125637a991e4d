// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/error.h"

namespace vc {

// Throws the error of a picture file whose bytes are not what its kind allows:
// "<kind> is not valid: <reason>".
struct ImageFault {
    std::string_view Kind;
    [[noreturn]] void operator()(const std::string& reason) const {
        throw Error(ErrorKind::Malformed, std::string(Kind) + " is not valid: " + reason);
    }
};

struct RgbColour {
    uint8_t Red = 0;
    uint8_t Green = 0;
    uint8_t Blue = 0;

    bool operator==(const RgbColour&) const = default;
};

// What a reader learns from an image's headers, before any pixel is decoded.
struct BitmapInfo {
    uint32_t Width = 0;
    uint32_t Height = 0;
    uint16_t BitsPerPixel = 0;
    bool HasPalette = false;
    std::vector<RgbColour> Palette;  // the entries present, at most 256
    bool HasAlpha = false;           // the image carries its own alpha (an alpha channel or transparent colours)
};

// Pixels of a paletted or 24-bit image, rows from the visual top down, no row padding.
struct DecodedPixels {
    // Paletted images (8 bits per pixel or fewer): one palette index per pixel, a byte each; 24:
    // blue, green, red, 255 per pixel.
    std::vector<uint8_t> Raster;
    std::vector<RgbColour> Palette;  // the palette the indices refer to, at most 256 entries
    // Images that carry their own alpha: one level per pixel, in the order of Raster; else empty,
    // also when the header announced alpha that the pixels turn out not to use.
    std::vector<uint8_t> Alpha;
};

// A reader over one image file's bytes. Construction parses the headers and throws an Error
// when the file is not an image of its kind.
class ImageDecoder {
  public:
    virtual ~ImageDecoder() = default;

    virtual const BitmapInfo& Info() const = 0;
    // Reads through the pixel data without keeping it, so that a damaged file fails now.
    virtual void Verify() const = 0;
    // Decodes a paletted or 24-bit image; throws on a damaged file.
    virtual DecodedPixels LoadPixels() const = 0;
};

std::unique_ptr<ImageDecoder> OpenBmp(std::span<const uint8_t> file);
// A bitmap known by the start of its file and the file's size: enough for its size, format and
// palette, and to tell whether its pixel data is all there; its pixels cannot be read.
std::unique_ptr<ImageDecoder> OpenBmpHeaders(std::span<const uint8_t> start, uint64_t fileSize);
// The bytes of a bitmap's start that OpenBmpHeaders needs at most: headers and a full palette.
constexpr size_t kBmpHeadersSize = 4096;
std::unique_ptr<ImageDecoder> OpenJpeg(std::span<const uint8_t> file);
std::unique_ptr<ImageDecoder> OpenPng(std::span<const uint8_t> file);
std::unique_ptr<ImageDecoder> OpenTga(std::span<const uint8_t> file);

}  // namespace vc
