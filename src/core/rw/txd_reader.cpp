// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/txd_reader.h"

#include <algorithm>

#include "io/byte_reader.h"
#include "io/byte_source.h"
#include "io/error.h"
#include "io/number_format.h"
#include "rw/texture_native.h"
#include "rw/txd_format.h"

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

// Reads a chunk header of the expected type and gives a reader over exactly its content, or over
// what there is of it when it may be cut short.
ByteReader OpenChunk(ByteReader& in, ChunkType expected, uint32_t* versionStamp = nullptr, bool mayBeCut = false) {
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
    if (size > in.Remaining() && mayBeCut) {
        return in.Nested(in.Remaining());
    }
    if (size > in.Remaining()) {
        in.Fail("the " + ChunkName(expected) + " chunk declares " + std::to_string(size) + " bytes but only " +
                std::to_string(in.Remaining()) + " follow");
    }
    return in.Nested(size);
}

// Checks that every index of a PAL4 level lies among the palette's 16 colours, so that each level
// can be decoded and kept in a 4-bit bitmap.
void CheckPal4Indices(const ByteReader& data, ByteSlice pixels, unsigned level) {
    for (size_t i = 0; i < pixels.Size(); ++i) {
        if (pixels[i] >= PaletteColours(TextureFormat::Pal4)) {
            data.Fail("pixel " + std::to_string(i) + " of " +
                      (level == 0 ? std::string("the picture") : "mipmap level " + std::to_string(level)) +
                      " indexes colour " + std::to_string(pixels[i]) + " of a PAL4 palette, which has 16");
        }
    }
}

// The palette and the levels, each level checked against the bytes its size and format need.
void ReadContent(ByteReader& data, TxdTexture& texture) {
    const TextureFormat format = NativeFormat(data, texture);
    const std::string_view formatName = TextureFormatName(format);
    if (texture.Width == 0 || texture.Height == 0) {
        data.Fail("the texture has no pixels: " + SizeText(texture.Width, texture.Height));
    }
    if (texture.Levels == 0) {
        data.Fail("the texture has no levels");
    }
    // Direct3D makes no texture with more levels than its whole chain, nor can a DDS file hold one.
    if (const uint32_t chain = FullChainLevels(texture.Width, texture.Height); texture.Levels > chain) {
        data.Fail("the texture has " + std::to_string(texture.Levels) + " levels, more than the " +
                  std::to_string(chain) + " of a whole chain from " + SizeText(texture.Width, texture.Height));
    }
    if (const size_t size = StoredPaletteSize(format); size != 0) {
        if (size > data.Remaining()) {
            data.Fail("the " + std::string(formatName) + " palette of " + std::to_string(size / 4) + " entries needs " +
                      std::to_string(size) + " bytes but only " + std::to_string(data.Remaining()) + " follow");
        }
        texture.Palette = {data.Offset(), size};
        data.Skip(size);
    }
    for (unsigned level = 0; level < texture.Levels; ++level) {
        const uint32_t size = data.U32();
        if (size > data.Remaining()) {
            data.Fail("mipmap level " + std::to_string(level) + " declares " + std::to_string(size) +
                      " bytes of pixels but only " + std::to_string(data.Remaining()) + " follow");
        }
        const uint32_t width = LevelSide(texture.Width, level);
        const uint32_t height = LevelSide(texture.Height, level);
        const uint64_t needed = LevelSize(format, width, height);
        if (size < needed) {
            data.Fail("mipmap level " + std::to_string(level) + " holds " + std::to_string(size) + " bytes where " +
                      SizeText(width, height) + " pixels of " + std::string(formatName) + " need " +
                      std::to_string(needed));
        }
        texture.LevelPixels.push_back({data.Offset(), size});
        const ByteSlice pixels = data.Slice(size);
        if (format == TextureFormat::Pal4) {
            CheckPal4Indices(data, pixels.Sub(0, needed), level);
        }
    }
    texture.Format = format;
}

TxdTexture ReadTextureNative(ByteReader& dictionary) {
    TxdTexture texture;
    texture.Offset = dictionary.Offset();
    ByteReader native = OpenChunk(dictionary, ChunkType::TextureNative);
    ByteReader data = OpenChunk(native, ChunkType::Data);
    // The data chunk's size is sound, so a texture whose content is not can be passed over.
    try {
        ReadNativeHeader(data, texture);
        ReadContent(data, texture);
    } catch (const Error& error) {
        texture.Problem = error.what();
        texture.Palette = {};
        texture.LevelPixels.clear();
    }
    ByteReader extension = OpenChunk(native, ChunkType::Extension);
    const auto extensionBytes = extension.Bytes(extension.Remaining());
    texture.Extension.assign(extensionBytes.begin(), extensionBytes.end());
    return texture;
}

constexpr size_t kChunkHeaderSize = 12;
constexpr char kWhat[] = "Texture dictionary";

// Whether a texture native chunk at offset runs past the end of the file (or its headers do).
bool EndsPastFile(const ByteSource& file, size_t offset, std::vector<uint8_t>& scratch) {
    const uint64_t size = file.Size();
    if (offset + kChunkHeaderSize > size) {
        return true;
    }
    return LoadU32(&file.View(offset, kChunkHeaderSize, scratch)[4]) > size - offset - kChunkHeaderSize;
}

// A reader over the rest of the dictionary's content, [offset, end), that holds only the chunk
// starting at offset: its header and as much of the content it declares as there is. It sees the
// chunk as a reader of the whole dictionary would, with one chunk in memory at a time.
ByteReader ChunkAt(const ByteSource& file, size_t offset, size_t end, std::vector<uint8_t>& scratch) {
    const size_t left = end - offset;
    size_t held = std::min(left, kChunkHeaderSize);
    if (held == kChunkHeaderSize) {
        held += std::min<size_t>(LoadU32(&file.View(offset, kChunkHeaderSize, scratch)[4]), left - held);
    }
    return ByteReader(file.View(offset, held, scratch), left, kWhat, offset, file.Size());
}

TxdContents ReadContents(const ByteSource& file, bool upToDamage) {
    std::vector<uint8_t> scratch;
    const uint64_t size = file.Size();
    // The dictionary's own headers, its data chunk normally 4 bytes: the count and the device.
    constexpr size_t kHeadersSize = 2 * kChunkHeaderSize + 4;
    const std::span<const uint8_t> headers = file.View(0, std::min<uint64_t>(size, kHeadersSize), scratch);
    ByteReader in(headers, size, kWhat, 0, size);
    TxdContents contents;
    const bool cutShort = upToDamage && size >= kChunkHeaderSize && LoadU32(&headers[4]) > size - kChunkHeaderSize;
    ByteReader dictionary = OpenChunk(in, ChunkType::TextureDictionary, &contents.VersionStamp, cutShort);
    ByteReader info = OpenChunk(dictionary, ChunkType::Data);
    const uint16_t count = info.U16();
    contents.DeviceId = info.U16();
    const size_t end = dictionary.Offset() + dictionary.Remaining();
    size_t next = 0;
    size_t start = dictionary.Offset();  // of the texture being read
    try {
        for (; next < count; ++next) {
            ByteReader chunk = ChunkAt(file, start, end, scratch);
            // Each texture needs at least its headers, so a false count fails before it can loop long.
            contents.Textures.push_back(ReadTextureNative(chunk));
            start = chunk.Offset();
        }
        ByteReader extension = ChunkAt(file, start, end, scratch);
        OpenChunk(extension, ChunkType::Extension);
    } catch (const Error& error) {
        if (!upToDamage) {
            throw;
        }
        contents.Damage = TxdDamage{.Texture = next,
                                    .Count = count,
                                    .CutShort = cutShort || (next < count && EndsPastFile(file, start, scratch)),
                                    .Detail = error.what()};
    }
    return contents;
}

}  // namespace

TxdContents ReadTxd(std::span<const uint8_t> file) {
    return ReadContents(MemoryBytes(file), false);
}

TxdContents ReadTxdUpToDamage(std::span<const uint8_t> file) {
    return ReadContents(MemoryBytes(file), true);
}

TxdContents ReadTxdUpToDamage(const ByteSource& file) {
    return ReadContents(file, true);
}

std::span<const uint8_t> BytesOf(std::span<const uint8_t> file, ByteRange range) {
    return file.subspan(range.Offset, range.Size);
}

bool HoldsDirect3d9(const TxdContents& contents) {
    return std::any_of(contents.Textures.begin(), contents.Textures.end(), [](const TxdTexture& texture) {
        return texture.Platform == static_cast<uint32_t>(TxdPlatform::Direct3D9);
    });
}

}  // namespace vc
