#include "rw/d3d8_native.h"

#include "rw/txd_format.h"

namespace vc {

namespace {

TextureFormat D3d8Format(const ByteReader& data, const NativeHeader& header) {
    switch (header.Compression) {
        case 0:
            return FormatOfRasterWord(data, header.RasterFormat);
        case 1:
            return TextureFormat::Dxt1;
        case 3:
            return TextureFormat::Dxt3;
        case 5:
            return TextureFormat::Dxt5;
        case 2:
        case 4:
            FailPremultiplied(data, header.Compression);
        default:
            data.Fail("compression " + std::to_string(header.Compression) + " is not one of DXT1 to DXT5");
    }
}

}  // namespace

const NativeLayout kD3d8Layout = {
    .Platform = static_cast<uint32_t>(TxdPlatform::Direct3D8),
    .Word = &NativeHeader::AlphaFlag,
    .Byte = &NativeHeader::Compression,
    .AlphaFlagOf = [](const NativeHeader& header) { return header.AlphaFlag; },
    .FormatOf = D3d8Format,
};

NativeHeader D3d8Header(const TextureFields& fields, const TextureRaster& raster) {
    return {.Platform = static_cast<uint32_t>(TxdPlatform::Direct3D8),
            .Flags = fields.Flags,
            .Name = fields.Name,
            .MaskName = fields.MaskName,
            .RasterFormat = fields.RasterFormat,
            .AlphaFlag = fields.AlphaFlag ? 1u : 0u,
            .Width = raster.Width,
            .Height = raster.Height,
            .Depth = DepthOf(raster.Format),
            .Levels = static_cast<uint8_t>(raster.Levels.size()),
            .RasterType = kRasterTypeTexture,
            .Compression = CompressionOf(raster.Format)};
}

}  // namespace vc
