#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "raster/texture_format.h"

namespace vc {

// Where some bytes lie in the dictionary's file.
struct ByteRange {
    size_t Offset = 0;
    size_t Size = 0;
};

// One texture native chunk: its fixed fields as written, and where its palette and levels lie.
struct TxdTexture {
    size_t Offset = 0;  // of the texture native chunk in the file
    std::string Name;   // UTF-8
    std::string MaskName;
    uint32_t Platform = 0;
    uint32_t Flags = 0;  // filter mode and addressing
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

    // Set when the content was read and checked: every level holds at least the bytes its size
    // and format need, so the picture can be decoded. Empty when Problem says why not.
    std::optional<TextureFormat> Format;
    ByteRange Palette;                   // paletted formats: 4 bytes per entry, red, green, blue, alpha
    std::vector<ByteRange> LevelPixels;  // each level's pixels, the picture first
    std::vector<uint8_t> Extension;      // the content of the texture's own extension chunk
    std::string Problem;                 // why the content cannot be read, with its offset

    bool HasAlpha() const { return AlphaFlag != 0; }
};

struct TxdContents {
    uint32_t VersionStamp = 0;
    uint16_t DeviceId = 0;  // 0 for dictionaries that name no device, 1 Direct3D 8, 2 Direct3D 9
    std::vector<TxdTexture> Textures;
};

// Reads a texture dictionary of platform 8 (Direct3D 8) or 9 (Direct3D 9) natives. Every size
// field is checked against the bytes present. A texture whose chunks are sound but whose content
// cannot be read (another platform, an unknown format, levels cut short) keeps its Problem and the
// rest is read on; a broken chunk structure throws an Error naming the offset and the reason.
TxdContents ReadTxd(std::span<const uint8_t> file);

}  // namespace vc
