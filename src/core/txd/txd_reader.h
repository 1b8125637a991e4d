#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace vc {

// The fixed fields of one texture native chunk.
struct TxdTexture {
    std::string Name;  // UTF-8
    std::string MaskName;
    uint32_t Platform = 0;
    uint32_t Flags = 0;
    uint32_t RasterFormat = 0;
    uint32_t AlphaFlag = 0;
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t Depth = 0;
    uint8_t Levels = 0;
    uint8_t RasterType = 0;
    uint8_t Compression = 0;
};

struct TxdContents {
    uint32_t VersionStamp = 0;
    std::vector<TxdTexture> Textures;
};

// Reads a texture dictionary of the layout the build writes (mipmap levels and a closing
// extension of any content are accepted too). Every size field is checked against the bytes
// present; a malformed file throws an Error naming the offset and the reason.
TxdContents ReadTxd(std::span<const uint8_t> file);

}  // namespace vc
