// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/d3d9_native.h"

#include <algorithm>
#include <utility>

#include "io/number_format.h"
#include "rw/txd_format.h"

namespace vc {

namespace {

// The surface formats and the formats they hold.
// clang-format off
constexpr std::pair<D3dFormat, TextureFormat> kD3dFormats[] = {
    {D3dFormat::A8R8G8B8, TextureFormat::C8888},
    {D3dFormat::X8R8G8B8, TextureFormat::C888},
    {D3dFormat::R5G6B5,   TextureFormat::C565},
    {D3dFormat::X1R5G5B5, TextureFormat::C555},
    {D3dFormat::A1R5G5B5, TextureFormat::C1555},
    {D3dFormat::A4R4G4B4, TextureFormat::C4444},
    {D3dFormat::L8,       TextureFormat::Lum8},
    {D3dFormat::Dxt1,     TextureFormat::Dxt1},
    {D3dFormat::Dxt3,     TextureFormat::Dxt3},
    {D3dFormat::Dxt5,     TextureFormat::Dxt5},
};
// clang-format on

NativeHeader D3d9Header(const TextureFields& fields, const TextureRaster& raster) {
    NativeHeader header = CommonHeader(TxdPlatform::Direct3D9, fields, raster);
    header.D3dFormat = fields.D3dFormat.value_or(D3d9FormatCode(raster.Format));
    header.D3d9Flags = fields.D3d9Flags.value_or(D3d9FlagsOf(raster.Format, fields.AlphaFlag));
    return header;
}

TextureFormat D3d9Format(const ByteReader& data, const NativeHeader& header) {
    if (header.D3d9Flags & kD3d9CubeTexture) {
        data.Fail("the texture is a cube texture, which is not read");
    }
    if (header.D3dFormat == 0 || (header.RasterFormat & (kRasterPal8 | kRasterPal4)) != 0) {
        return FormatOfRasterWord(data, header.RasterFormat);
    }
    for (const auto& [code, format] : kD3dFormats) {
        if (static_cast<uint32_t>(code) == header.D3dFormat) {
            return format;
        }
    }
    for (const auto& [code, dxt] : {std::pair{D3dFormat::Dxt2, 2u}, std::pair{D3dFormat::Dxt4, 4u}}) {
        if (static_cast<uint32_t>(code) == header.D3dFormat) {
            FailPremultiplied(data, dxt);
        }
    }
    data.Fail("Direct3D format " + std::to_string(header.D3dFormat) + " (" + HexText(header.D3dFormat, 8) +
              ") is not one this reader knows");
}

}  // namespace

const NativeLayout kD3d9Layout = {
    .Platform = static_cast<uint32_t>(TxdPlatform::Direct3D9),
    .Word = &NativeHeader::D3dFormat,
    .Byte = &NativeHeader::D3d9Flags,
    .AlphaFlagOf = [](const NativeHeader& header) -> uint32_t { return header.D3d9Flags & kD3d9HasAlpha; },
    .FormatOf = D3d9Format,
    .HeaderFor = D3d9Header,
};

uint32_t D3d9FormatCode(TextureFormat format) {
    if (IsPaletted(format)) {
        return static_cast<uint32_t>(D3dFormat::P8);
    }
    return static_cast<uint32_t>(
        std::ranges::find(kD3dFormats, format, &std::pair<D3dFormat, TextureFormat>::second)->first);
}

uint8_t D3d9FlagsOf(TextureFormat format, bool alphaFlag) {
    return (alphaFlag ? kD3d9HasAlpha : 0) | (IsBlockCompressed(format) ? kD3d9Compressed : 0);
}

}  // namespace vc
