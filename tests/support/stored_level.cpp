// SPDX-License-Identifier: GPL-3.0-or-later
#include "stored_level.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "raster/texture_decoder.h"
#include "rw/native_picture.h"
#include "rw/txd_format.h"
#include "rw/txd_reader.h"
#include "txd_chunks.h"

namespace vc::test {

namespace {

// The raster format, compression and depth a Direct3D 8 texture native gives for format.
NativeFields FieldsOf(TextureFormat format) {
    switch (format) {
        case TextureFormat::C8888:
            return {.RasterFormat = kRasterC8888, .Depth = 32};
        case TextureFormat::C888:
            return {.RasterFormat = kRasterC888, .Depth = 32};
        case TextureFormat::C565:
            return {.RasterFormat = kRasterC565, .Depth = 16};
        case TextureFormat::C1555:
            return {.RasterFormat = kRasterC1555, .Depth = 16};
        case TextureFormat::C4444:
            return {.RasterFormat = kRasterC4444, .Depth = 16};
        case TextureFormat::C555:
            return {.RasterFormat = kRasterC555, .Depth = 16};
        case TextureFormat::Pal8:
            return {.RasterFormat = kRasterPal8 | kRasterC8888, .Depth = 8};
        case TextureFormat::Dxt1:
            return {.RasterFormat = kRasterC1555, .Depth = 16, .CompressionOrFlags = 1};
        case TextureFormat::Dxt3:
            return {.RasterFormat = kRasterC4444, .Depth = 16, .CompressionOrFlags = 3};
        case TextureFormat::Dxt5:
            return {.RasterFormat = kRasterC4444, .Depth = 16, .CompressionOrFlags = 5};
        default:
            throw std::invalid_argument("DecodeStoredLevel: no stored level of this format is written by the encoders");
    }
}

}  // namespace

Bytes DecodeStoredLevel(TextureFormat format, uint16_t width, uint16_t height, const Bytes& pixels,
                        const Bytes& palette) {
    NativeFields fields = FieldsOf(format);
    fields.Name = "level";
    fields.AlphaOrD3dFormat = 1;
    fields.Width = width;
    fields.Height = height;
    fields.Palette = palette;
    fields.LevelPixels = {pixels};
    const Bytes file = Dictionary({TextureNative(fields)});
    const TxdTexture texture = ReadTxd(file).Textures.at(0);
    Bytes bgra = DecodeTexture(file, texture).Rgba;
    for (size_t i = 0; i < bgra.size(); i += 4) {
        std::swap(bgra[i], bgra[i + 2]);
    }
    return bgra;
}

double Psnr(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t channels) {
    if (a.size() != b.size() || a.size() % 4 != 0 || a.empty()) {
        throw std::invalid_argument("Psnr: the pictures differ in size or are empty");
    }
    double squares = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        if (i % 4 < channels) {
            const double difference = static_cast<double>(a[i]) - static_cast<double>(b[i]);
            squares += difference * difference;
        }
    }
    if (squares == 0) {
        return std::numeric_limits<double>::infinity();
    }
    const double mean = squares / static_cast<double>(a.size() / 4 * channels);
    return 10 * std::log10(255.0 * 255.0 / mean);
}

}  // namespace vc::test
