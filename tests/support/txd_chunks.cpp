// SPDX-License-Identifier: GPL-3.0-or-later
#include "txd_chunks.h"

#include "io/byte_writer.h"
#include "rw/txd_reader.h"

namespace vc::test {

Bytes TextureNative(const NativeFields& fields, uint32_t stamp) {
    ByteWriter data;
    data.U32(fields.Platform);
    data.U32(fields.Flags);
    data.FixedText(fields.Name, 32);
    data.FixedText(fields.MaskName, 32);
    data.U32(fields.RasterFormat);
    data.U32(fields.AlphaOrD3dFormat);
    data.U16(fields.Width);
    data.U16(fields.Height);
    data.U8(fields.Depth);
    data.U8(fields.Levels.value_or(static_cast<uint8_t>(fields.LevelPixels.size())));
    data.U8(fields.RasterType);
    data.U8(fields.CompressionOrFlags);
    data.Append(fields.Palette);
    for (const Bytes& level : fields.LevelPixels) {
        data.U32(static_cast<uint32_t>(level.size()));
        data.Append(level);
    }
    return Chunk(0x15, Join({Chunk(1, data.Take(), stamp), Chunk(3, fields.Extension, stamp)}), stamp);
}

Bytes Dictionary(const std::vector<Bytes>& natives, uint16_t deviceId, uint32_t stamp, std::optional<uint16_t> count) {
    ByteWriter info;
    info.U16(count.value_or(static_cast<uint16_t>(natives.size())));
    info.U16(deviceId);
    Bytes content = Chunk(1, info.Take(), stamp);
    for (const Bytes& native : natives) {
        content.insert(content.end(), native.begin(), native.end());
    }
    const Bytes closing = Chunk(3, {}, stamp);
    content.insert(content.end(), closing.begin(), closing.end());
    return Chunk(0x16, content, stamp);
}

Bytes PatternBytes(size_t size, uint32_t number) {
    Bytes bytes(size);
    for (uint8_t& byte : bytes) {
        number = number * 1103515245 + 12345;
        byte = static_cast<uint8_t>(number >> 16);
    }
    return bytes;
}

std::vector<Bytes> NativeChunks(const Bytes& dictionary) {
    std::vector<Bytes> chunks;
    for (const TxdTexture& texture : ReadTxd(dictionary).Textures) {
        const size_t size = 12 + (dictionary.at(texture.Offset + 4) | dictionary.at(texture.Offset + 5) << 8 |
                                  dictionary.at(texture.Offset + 6) << 16 | dictionary.at(texture.Offset + 7) << 24);
        chunks.emplace_back(dictionary.begin() + static_cast<ptrdiff_t>(texture.Offset),
                            dictionary.begin() + static_cast<ptrdiff_t>(texture.Offset + size));
    }
    return chunks;
}

}  // namespace vc::test
