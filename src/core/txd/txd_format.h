#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "txd/chunk_type.h"

namespace vc {

using ChunkHeaderBytes = std::array<uint8_t, kChunkHeaderSize>;

// The version stamp carries the RenderWare version in its upper 16 bits and 0xFFFF below.
constexpr std::array<uint32_t, 3> kVersionStamps = {0x0800FFFF, 0x0C02FFFF, 0x1003FFFF};
// An opaque word the games expect in every texture; written unchanged.
constexpr std::array<uint32_t, 3> kTextureFlags = {0x00001101, 0x00001102, 0x00001106};

constexpr uint32_t kPlatformId = 8;
constexpr size_t kNameFieldSize = 32;
constexpr size_t kFixedFieldsSize = 88;
constexpr size_t kPaletteSize = 1024;
constexpr std::string_view kCreatorText = "Created with Vellumcraft 1.1";
// Offsets of the values patched once the whole dictionary is written.
constexpr size_t kDictionarySizeOffset = 4;
constexpr size_t kTextureCountOffset = 24;

// Raster format bits of the texture native fixed fields.
constexpr uint32_t kRasterPal8 = 0x2000;
constexpr uint32_t kRasterPal4 = 0x4000;

// Selections outside the tables throw std::out_of_range.
uint32_t VersionStamp(size_t versionIndex);
uint32_t TextureFlag(size_t flagIndex);

ChunkHeaderBytes MakeChunkHeader(ChunkType type, uint32_t size, uint32_t versionStamp);

// Sizes of a texture native chunk for a texture of the given width, height and depth (8 or 32).
struct TextureNativeSizes {
    uint64_t Raster;       // pixel data bytes
    uint64_t DataContent;  // fixed fields, palette, pixel data size and pixel data
    uint64_t Content;      // the data chunk with its header, and the empty extension header
};
TextureNativeSizes TextureNativeSizesFor(uint16_t width, uint16_t height, uint8_t depth);

// 0x2600 for 8-bit, 0x0600 for 32-bit textures, 0x100 less with alpha.
uint32_t RasterFormat(uint8_t depth, bool hasAlpha);

}  // namespace vc
