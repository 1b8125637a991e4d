#include "txd/txd_reader.h"

#include "io/byte_reader.h"
#include "io/code_page.h"
#include "txd/txd_format.h"

namespace vc {

namespace {

std::string ChunkName(ChunkType type) {
    switch (type) {
        case ChunkType::Data:
            return "data";
        case ChunkType::Extension:
            return "extension";
        case ChunkType::TextureNative:
            return "texture native";
        case ChunkType::TextureDictionary:
            return "texture dictionary";
        default:
            return "chunk";
    }
}

// Reads a chunk header of the expected type and gives a reader over exactly its content.
ByteReader OpenChunk(ByteReader& in, ChunkType expected, uint32_t* versionStamp = nullptr) {
    const uint32_t type = in.U32();
    if (type != static_cast<uint32_t>(expected)) {
        in.Fail("found chunk type " + std::to_string(type) + " where a " + ChunkName(expected) + " chunk (type " +
                std::to_string(static_cast<uint32_t>(expected)) + ") belongs");
    }
    const uint32_t size = in.U32();
    const uint32_t stamp = in.U32();
    if (versionStamp != nullptr) {
        *versionStamp = stamp;
    }
    if (size > in.Remaining()) {
        in.Fail("the " + ChunkName(expected) + " chunk declares " + std::to_string(size) + " bytes but only " +
                std::to_string(in.Remaining()) + " follow");
    }
    return in.Nested(size);
}

std::string ReadName(ByteReader& in) {
    const auto field = in.Bytes(kNameFieldSize);
    size_t length = 0;
    while (length < field.size() && field[length] != 0) {
        ++length;
    }
    return Windows1252ToUtf8({reinterpret_cast<const char*>(field.data()), length});
}

TxdTexture ReadTextureNative(ByteReader& dictionary) {
    ByteReader native = OpenChunk(dictionary, ChunkType::TextureNative);
    ByteReader data = OpenChunk(native, ChunkType::Data);
    TxdTexture texture;
    texture.Platform = data.U32();
    texture.Flags = data.U32();
    texture.Name = ReadName(data);
    texture.MaskName = ReadName(data);
    texture.RasterFormat = data.U32();
    texture.AlphaFlag = data.U32();
    texture.Width = data.U16();
    texture.Height = data.U16();
    texture.Depth = data.U8();
    texture.Levels = data.U8();
    texture.RasterType = data.U8();
    texture.Compression = data.U8();
    if (texture.RasterFormat & kRasterPal8) {
        data.Skip(kPaletteSize);
    } else if (texture.RasterFormat & kRasterPal4) {
        data.Skip(16 * 4);
    }
    for (unsigned level = 0; level < texture.Levels; ++level) {
        const uint32_t size = data.U32();
        if (size > data.Remaining()) {
            data.Fail("mipmap level " + std::to_string(level) + " declares " + std::to_string(size) +
                      " bytes of pixels but only " + std::to_string(data.Remaining()) + " follow");
        }
        data.Skip(size);
    }
    // What follows the levels in the data chunk, and the extension after it, carry nothing we show.
    OpenChunk(native, ChunkType::Extension);
    return texture;
}

}  // namespace

TxdContents ReadTxd(std::span<const uint8_t> file) {
    ByteReader in(file, "Texture dictionary");
    TxdContents contents;
    ByteReader dictionary = OpenChunk(in, ChunkType::TextureDictionary, &contents.VersionStamp);
    ByteReader info = OpenChunk(dictionary, ChunkType::Data);
    const uint32_t count = info.U32();
    for (uint32_t i = 0; i < count; ++i) {
        // Each texture needs at least its headers, so a false count fails before it can loop long.
        contents.Textures.push_back(ReadTextureNative(dictionary));
    }
    OpenChunk(dictionary, ChunkType::Extension);
    return contents;
}

}  // namespace vc
