// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "io/byte_source.h"
#include "raster/texture_format.h"
#include "rw/native_header.h"

namespace vc {

// Where some bytes lie in the dictionary's file.
struct ByteRange {
    size_t Offset = 0;
    size_t Size = 0;
};

// One texture native chunk: its fixed fields as written, and where its palette and levels lie.
struct TxdTexture : NativeHeader {
    size_t Offset = 0;  // of the texture native chunk in the file

    // Set when the content was read and checked: every level holds at least the bytes its size
    // and format need, so the picture can be decoded. Empty when Problem says why not.
    std::optional<TextureFormat> Format;
    ByteRange Palette;                   // paletted formats: 4 bytes per entry, red, green, blue, alpha
    std::vector<ByteRange> LevelPixels;  // each level's pixels, the picture first
    std::vector<uint8_t> Extension;      // the content of the texture's own extension chunk
    std::string Problem;                 // why the content cannot be read, with its offset

    bool HasAlpha() const { return AlphaFlag != 0; }
};

// Where and why a dictionary's chunk structure breaks.
struct TxdDamage {
    size_t Texture = 0;     // the one that could not be read, counted from 0; the count when none
    size_t Count = 0;       // the textures the dictionary says it holds
    bool CutShort = false;  // the file ends inside the dictionary
    std::string Detail;     // the reader's own message, with the offset
};

struct TxdContents {
    uint32_t VersionStamp = 0;
    uint16_t DeviceId = 0;  // 0 for dictionaries that name no device, 1 Direct3D 8, 2 Direct3D 9
    std::vector<TxdTexture> Textures;
    std::optional<TxdDamage> Damage;  // only from ReadTxdUpToDamage
};

// True when some texture of the dictionary is a Direct3D 9 native, as San Andreas writes them.
bool HoldsDirect3d9(const TxdContents& contents);

// The bytes of a range ReadTxd found in file (the same bytes).
std::span<const uint8_t> BytesOf(std::span<const uint8_t> file, ByteRange range);

// Reads a texture dictionary of platform 8 (Direct3D 8) or 9 (Direct3D 9) natives. Every size
// field is checked against the bytes present. A texture whose chunks are sound but whose content
// cannot be read (another platform, an unknown format, levels cut short) keeps its Problem and the
// rest is read on; a broken chunk structure throws an Error naming the offset and the reason.
TxdContents ReadTxd(std::span<const uint8_t> file);

// The same, except that a break in the chunk structure after the dictionary's own headers ends the
// reading there: the textures before it are kept and Damage says where and why. A file cut short
// is read as far as it goes. A file that does not start as a dictionary still throws.
TxdContents ReadTxdUpToDamage(std::span<const uint8_t> file);
// The same, reading one texture at a time: the textures' ranges are offsets in the source.
TxdContents ReadTxdUpToDamage(const ByteSource& file);

}  // namespace vc
