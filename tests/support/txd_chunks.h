// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "model_chunks.h"

namespace vc::test {

// The fields of one texture native as a test spells them out; written in file order.
struct NativeFields {
    uint32_t Platform = 8;
    uint32_t Flags = 0x1106;
    std::string Name;  // written as its bytes, cut to 31
    std::string MaskName;
    uint32_t RasterFormat = 0;
    uint32_t AlphaOrD3dFormat = 0;  // Direct3D 8: the alpha flag; Direct3D 9: the surface format
    uint16_t Width = 0;
    uint16_t Height = 0;
    uint8_t Depth = 32;
    std::optional<uint8_t> Levels;  // the level count written; the number of LevelPixels when empty
    uint8_t RasterType = 4;
    uint8_t CompressionOrFlags = 0;  // Direct3D 8: compression; Direct3D 9: the flags byte
    Bytes Palette;                   // written as given, before the levels
    std::vector<Bytes> LevelPixels;  // each written after its 32-bit size
    Bytes Extension;                 // the content of the texture's extension chunk
};

// Bytes that differ from one pattern number to the next (a linear congruential sequence), for
// levels and palettes whose content only has to be told apart.
Bytes PatternBytes(size_t size, uint32_t number);

// A texture native chunk: header, data chunk with the fields, extension chunk.
Bytes TextureNative(const NativeFields& fields, uint32_t stamp = 0x0C02FFFF);

// A texture dictionary: header, data chunk with the 16-bit count (the number of natives unless
// given) and the device id, the natives, and an empty closing extension.
Bytes Dictionary(const std::vector<Bytes>& natives, uint16_t deviceId = 0, uint32_t stamp = 0x0C02FFFF,
                 std::optional<uint16_t> count = {});

// Each texture native chunk of a dictionary, header and all, in order, as the reader finds them.
std::vector<Bytes> NativeChunks(const Bytes& dictionary);

}  // namespace vc::test
