// SPDX-License-Identifier: GPL-3.0-or-later
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

NativeHeader D3d8Header(const TextureFields& fields, const TextureRaster& raster) {
    NativeHeader header = CommonHeader(TxdPlatform::Direct3D8, fields, raster);
    header.Compression = CompressionOf(raster.Format);
    return header;
}

}  // namespace

const NativeLayout kD3d8Layout = {
    .Platform = static_cast<uint32_t>(TxdPlatform::Direct3D8),
    .Word = &NativeHeader::AlphaFlag,
    .Byte = &NativeHeader::Compression,
    .AlphaFlagOf = [](const NativeHeader& header) { return header.AlphaFlag; },
    .FormatOf = D3d8Format,
    .HeaderFor = D3d8Header,
};

}  // namespace vc
