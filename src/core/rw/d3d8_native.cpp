#include "rw/d3d8_native.h"

#include "rw/txd_format.h"

namespace vc {

namespace {

TextureFormat D3d8Format(const ByteReader& data, const NativeHeader& header) {
    if (header.Compression == 0) {
        return FormatOfRasterWord(data, header.RasterFormat);
    }
    for (const TextureFormat dxt : {TextureFormat::Dxt1, TextureFormat::Dxt3, TextureFormat::Dxt5}) {
        if (CompressionOf(dxt) == header.Compression) {
            return dxt;
        }
    }
    if (header.Compression == 2 || header.Compression == 4) {
        FailPremultiplied(data, header.Compression);
    }
    data.Fail("compression " + std::to_string(header.Compression) + " is not one of DXT1 to DXT5");
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
            .Depth = fields.Depth != 0 ? fields.Depth : DepthOf(raster.Format),
            .Levels = static_cast<uint8_t>(raster.Levels.size()),
            .RasterType = kRasterTypeTexture,
            .Compression = CompressionOf(raster.Format)};
}

}  // namespace vc
