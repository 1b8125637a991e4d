#include "rw/d3d9_native.h"

#include "io/number_format.h"
#include "rw/txd_format.h"

namespace vc {

namespace {

TextureFormat D3d9Format(const ByteReader& data, const NativeHeader& header) {
    if (header.D3d9Flags & kD3d9CubeTexture) {
        data.Fail("the texture is a cube texture, which is not read");
    }
    if (header.RasterFormat & (kRasterPal8 | kRasterPal4)) {
        return FormatOfRasterWord(data, header.RasterFormat);
    }
    switch (static_cast<D3dFormat>(header.D3dFormat)) {
        case D3dFormat::A8R8G8B8:
            return TextureFormat::C8888;
        case D3dFormat::X8R8G8B8:
            return TextureFormat::C888;
        case D3dFormat::R5G6B5:
            return TextureFormat::C565;
        case D3dFormat::X1R5G5B5:
            return TextureFormat::C555;
        case D3dFormat::A1R5G5B5:
            return TextureFormat::C1555;
        case D3dFormat::A4R4G4B4:
            return TextureFormat::C4444;
        case D3dFormat::L8:
            return TextureFormat::Lum8;
        case D3dFormat::Dxt1:
            return TextureFormat::Dxt1;
        case D3dFormat::Dxt3:
            return TextureFormat::Dxt3;
        case D3dFormat::Dxt5:
            return TextureFormat::Dxt5;
        case D3dFormat::Dxt2:
            FailPremultiplied(data, 2);
        case D3dFormat::Dxt4:
            FailPremultiplied(data, 4);
        default:
            if (header.D3dFormat == 0) {
                return FormatOfRasterWord(data, header.RasterFormat);
            }
            data.Fail("Direct3D format " + std::to_string(header.D3dFormat) + " (" + HexText(header.D3dFormat, 8) +
                      ") is not one this reader knows");
    }
}

}  // namespace

const NativeLayout kD3d9Layout = {
    .Platform = static_cast<uint32_t>(TxdPlatform::Direct3D9),
    .Word = &NativeHeader::D3dFormat,
    .Byte = &NativeHeader::D3d9Flags,
    .AlphaFlagOf = [](const NativeHeader& header) -> uint32_t { return header.D3d9Flags & kD3d9HasAlpha; },
    .FormatOf = D3d9Format,
};

}  // namespace vc
