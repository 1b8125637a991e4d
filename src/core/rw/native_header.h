// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "io/byte_reader.h"
#include "raster/texture_format.h"
#include "raster/texture_raster.h"

namespace vc {

// The fixed fields of a texture native's data chunk, by their RenderWare names. Direct3D 8 and 9
// lay them out alike but for the word after the raster format and the byte after the raster type.
struct NativeHeader {
    uint32_t Platform = 0;
    uint32_t Flags = 0;  // filter mode and addressing
    std::string Name;    // UTF-8
    std::string MaskName;
    uint32_t RasterFormat = 0;
    uint32_t AlphaFlag = 0;  // Direct3D 8: the alpha field; Direct3D 9: the flags byte's alpha bit
    uint32_t D3dFormat = 0;  // Direct3D 9 only: the surface format code
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t Depth = 0;
    uint8_t Levels = 0;
    uint8_t RasterType = 0;
    uint8_t Compression = 0;  // Direct3D 8 only: 0, or the number of its DXT form
    uint8_t D3d9Flags = 0;    // Direct3D 9 only: alpha, cube texture, automatic mipmaps, compressed
};

// What a texture native holds besides its raster, as a build chooses it.
struct TextureFields {
    std::string Name;
    std::string MaskName;
    uint32_t Flags = 0;
    bool AlphaFlag = false;
    uint32_t RasterFormat = 0;
    uint8_t Depth = 0;               // 0: the depth of the raster's format
    std::vector<uint8_t> Extension;  // the content of the texture's own extension chunk
    // Direct3D 9 only: the surface format code and the flags byte, where they are not the format's.
    std::optional<uint32_t> D3dFormat;
    std::optional<uint8_t> D3d9Flags;
};

// What tells the platforms' natives apart: the field after the raster format, the byte after the
// raster type, where the alpha flag is read from, how the format is named, and the fields a
// texture is written with.
struct NativeLayout {
    uint32_t Platform = 0;
    uint32_t NativeHeader::*Word = nullptr;
    uint8_t NativeHeader::*Byte = nullptr;
    uint32_t (*AlphaFlagOf)(const NativeHeader& header) = nullptr;
    // Fails through data when the fields name no format this reader knows.
    TextureFormat (*FormatOf)(const ByteReader& data, const NativeHeader& header) = nullptr;
    NativeHeader (*HeaderFor)(const TextureFields& fields, const TextureRaster& raster) = nullptr;
};

// The fields both platforms write alike: all but the word after the raster format and the byte
// after the raster type.
NativeHeader CommonHeader(TxdPlatform platform, const TextureFields& fields, const TextureRaster& raster);

// For the platforms' readers: the format a raster format word names by itself (a palette, or one of
// the pixel formats), and the refusal of premultiplied DXT2 and DXT4.
TextureFormat FormatOfRasterWord(const ByteReader& data, uint32_t rasterFormat);
[[noreturn]] void FailPremultiplied(const ByteReader& data, unsigned dxt);

}  // namespace vc
