#include "txd/txd_format.h"

namespace vc {

uint32_t VersionStamp(size_t versionIndex) {
    return kVersionStamps.at(versionIndex);
}

uint32_t TextureFlag(size_t flagIndex) {
    return kTextureFlags.at(flagIndex);
}

ChunkHeaderBytes MakeChunkHeader(ChunkType type, uint32_t size, uint32_t versionStamp) {
    ChunkHeaderBytes header{};
    const uint32_t fields[] = {static_cast<uint32_t>(type), size, versionStamp};
    for (size_t field = 0; field < 3; ++field) {
        for (size_t byte = 0; byte < 4; ++byte) {
            header[4 * field + byte] = static_cast<uint8_t>(fields[field] >> (8 * byte));
        }
    }
    return header;
}

TextureNativeSizes TextureNativeSizesFor(uint16_t width, uint16_t height, uint8_t depth) {
    TextureNativeSizes sizes{};
    sizes.Raster = uint64_t{width} * height * depth / 8;
    sizes.DataContent = kFixedFieldsSize + (depth == 8 ? kPaletteSize : 0) + 4 + sizes.Raster;
    sizes.Content = sizes.DataContent + 2 * kChunkHeaderSize;
    return sizes;
}

uint32_t RasterFormat(uint8_t depth, bool hasAlpha) {
    return (depth == 8 ? kRasterPal8 : 0) | (hasAlpha ? kRasterC8888 : kRasterC888);
}

}  // namespace vc
