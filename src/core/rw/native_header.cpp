// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/native_header.h"

#include "io/number_format.h"
#include "rw/txd_format.h"

namespace vc {

TextureFormat FormatOfRasterWord(const ByteReader& data, uint32_t rasterFormat) {
    const uint32_t pixels = rasterFormat & kRasterPixelFormat;
    const bool pal8 = (rasterFormat & kRasterPal8) != 0;
    const bool pal4 = (rasterFormat & kRasterPal4) != 0;
    if (pal8 && pal4) {
        data.Fail("raster format " + HexText(rasterFormat, 4) + " asks for both PAL8 and PAL4");
    }
    if (pal8 || pal4) {
        if (pixels != kRasterC8888 && pixels != kRasterC888) {
            data.Fail("raster format " + HexText(rasterFormat, 4) + " gives palette entries of no known form (" +
                      HexText(pixels, 4) + ")");
        }
        return pal8 ? TextureFormat::Pal8 : TextureFormat::Pal4;
    }
    for (const RasterPixelFormat& named : kRasterPixelFormats) {
        if (named.Bits == pixels) {
            return named.Format;
        }
    }
    data.Fail("raster format " + HexText(rasterFormat, 4) + " names no pixel format this reader knows");
}

NativeHeader CommonHeader(TxdPlatform platform, const TextureFields& fields, const TextureRaster& raster) {
    return {.Platform = static_cast<uint32_t>(platform),
            .Flags = fields.Flags,
            .Name = fields.Name,
            .MaskName = fields.MaskName,
            .RasterFormat = fields.RasterFormat,
            .AlphaFlag = fields.AlphaFlag ? 1u : 0u,
            .Width = raster.Width,
            .Height = raster.Height,
            .Depth = fields.Depth != 0 ? fields.Depth : DepthOf(raster.Format),
            .Levels = static_cast<uint8_t>(raster.Levels.size()),
            .RasterType = kRasterTypeTexture};
}

void FailPremultiplied(const ByteReader& data, unsigned dxt) {
    data.Fail("DXT" + std::to_string(dxt) + " (premultiplied alpha) is not supported");
}

}  // namespace vc
