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

void FailPremultiplied(const ByteReader& data, unsigned dxt) {
    data.Fail("DXT" + std::to_string(dxt) + " (premultiplied alpha) is not supported");
}

}  // namespace vc
