// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/txd_format.h"

#include <algorithm>

namespace vc {

uint32_t VersionStamp(size_t versionIndex) {
    return kVersionStamps.at(versionIndex);
}

std::optional<size_t> VersionIndexOf(uint32_t stamp) {
    const auto* found = std::find(kVersionStamps.begin(), kVersionStamps.end(), stamp);
    return found == kVersionStamps.end() ? std::nullopt : std::optional(size_t(found - kVersionStamps.begin()));
}

uint32_t TextureFlag(size_t flagIndex) {
    return kTextureFlags.at(flagIndex);
}

void AppendChunkHeader(ByteSink& out, ChunkType type, uint64_t size, uint32_t versionStamp) {
    std::array<uint8_t, kChunkHeaderSize> header{};
    const uint32_t fields[] = {static_cast<uint32_t>(type), static_cast<uint32_t>(size), versionStamp};
    for (size_t field = 0; field < 3; ++field) {
        for (size_t byte = 0; byte < 4; ++byte) {
            header[4 * field + byte] = static_cast<uint8_t>(fields[field] >> (8 * byte));
        }
    }
    out.Append(header);  // in one piece: a sink may be a file
}

TextureNativeSizes TextureNativeSizesFor(uint16_t width, uint16_t height, uint8_t depth) {
    TextureNativeSizes sizes{};
    sizes.Raster = uint64_t{width} * height * depth / 8;
    sizes.DataContent = kFixedFieldsSize + (depth == 8 ? kPaletteSize : 0) + 4 + sizes.Raster;
    sizes.Content = sizes.DataContent + 2 * kChunkHeaderSize;
    return sizes;
}

uint32_t RasterFormat(uint8_t depth, bool hasAlpha) {
    return (depth == 8 ? kRasterPal8 : 0) | (hasAlpha ? kRasterC8888 : kRasterC888);
}

uint32_t RasterFormatOf(TextureFormat format, bool hasAlpha, size_t levels) {
    const uint32_t mipmap = levels > 1 ? kRasterMipmap : 0;
    const uint32_t paletteEntries = hasAlpha ? kRasterC8888 : kRasterC888;
    switch (format) {
        case TextureFormat::Pal8:
            return kRasterPal8 | paletteEntries | mipmap;
        case TextureFormat::Pal4:
            return kRasterPal4 | paletteEntries | mipmap;
        case TextureFormat::Dxt1:
            return (hasAlpha ? kRasterC1555 : kRasterC565) | mipmap;
        case TextureFormat::Dxt3:
        case TextureFormat::Dxt5:
            return kRasterC4444 | mipmap;
        default:
            const auto* named =
                std::find_if(kRasterPixelFormats.begin(), kRasterPixelFormats.end(),
                             [format](const RasterPixelFormat& pixel) { return pixel.Format == format; });
            return named->Bits | mipmap;
    }
}

uint8_t DepthOf(TextureFormat format) {
    switch (format) {
        case TextureFormat::Pal8:
        case TextureFormat::Lum8:
            return 8;
        case TextureFormat::Pal4:
            return 4;
        case TextureFormat::C8888:
        case TextureFormat::C888:
            return 32;
        default:
            return 16;
    }
}

uint8_t CompressionOf(TextureFormat format) {
    switch (format) {
        case TextureFormat::Dxt1:
            return 1;
        case TextureFormat::Dxt3:
            return 3;
        case TextureFormat::Dxt5:
            return 5;
        default:
            return 0;
    }
}

uint32_t MipmapFlag(uint32_t flag) {
    switch (static_cast<TextureFilter>(flag & 0xFF)) {
        case TextureFilter::Nearest:
            return (flag & ~0xFFu) | static_cast<uint32_t>(TextureFilter::MipNearest);
        case TextureFilter::Linear:
            return (flag & ~0xFFu) | static_cast<uint32_t>(TextureFilter::LinearMipLinear);
        default:
            return flag;
    }
}

}  // namespace vc
