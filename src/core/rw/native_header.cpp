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
    switch (pixels) {
        case kRasterC1555:
            return TextureFormat::C1555;
        case kRasterC565:
            return TextureFormat::C565;
        case kRasterC4444:
            return TextureFormat::C4444;
        case kRasterLum8:
            return TextureFormat::Lum8;
        case kRasterC8888:
            return TextureFormat::C8888;
        case kRasterC888:
            return TextureFormat::C888;
        case kRasterC555:
            return TextureFormat::C555;
        default:
            data.Fail("raster format " + HexText(rasterFormat, 4) + " names no pixel format this reader knows");
    }
}

void FailPremultiplied(const ByteReader& data, unsigned dxt) {
    data.Fail("DXT" + std::to_string(dxt) + " (premultiplied alpha) is not supported");
}

}  // namespace vc
