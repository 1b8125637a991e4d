// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "raster/texture_format.h"

namespace vc {

// How one texture is written: its own choices, each empty or off while the build's defaults hold.
struct TextureOutput {
    std::optional<TextureFormat> Format;  // empty: as the image is (8-bit paletted or 32-bit)
    bool Mipmaps = false;                 // a full chain of levels down to 1 × 1
    std::optional<uint32_t> Flags;        // filter mode and addressing; empty: the build's flag word

    // Fields of a texture taken from a dictionary that the image and the entry cannot say
    // themselves; extraction sets them only when the build would otherwise write other bytes.
    std::optional<std::string> MaskName;   // the mask name field as it stood, even empty
    std::optional<bool> AlphaFlag;         // the alpha field as it stood
    std::optional<uint32_t> RasterFormat;  // the raster format field as it stood
    std::optional<uint8_t> RasterLevels;   // its texture's levels, where its mipmap bit does not say them
    std::optional<uint8_t> Depth;          // the depth field as it stood, for the entry's own format
    std::optional<uint32_t> D3dFormat;     // Direct3D 9: the surface format code as it stood, likewise
    std::optional<uint8_t> D3d9Flags;      // Direct3D 9: the flags byte as it stood, likewise
    std::vector<uint8_t> Extension;        // the content of the texture's own extension chunk
    bool KeepSize = false;                 // the image keeps its texture's size, whatever the size rules
    bool RepeatedName = false;             // a texture before it in the dictionary had the same name
    // A PAL4 texture's levels below its picture: 4-bit bitmaps of their indices, in order.
    std::vector<std::string> LevelPaths;
    // A PAL4 palette's entries 16 to 31, which no index uses, where they were not all zero.
    std::vector<uint8_t> PaletteTail;

    bool operator==(const TextureOutput&) const = default;
};

// "DXT1", "8888", ... as the list file and the command line name them; "as image" for none.
std::string OutputFormatName(const std::optional<TextureFormat>& format);
// A format named as OutputFormatName names it, in any letter case; nothing for "as image" and for
// names of no format.
std::optional<TextureFormat> ParseOutputFormat(std::string_view name);
// "0x1106": a flag word or raster format as the list file and the window write it, at least four
// hexadecimal digits.
std::string WordText(uint32_t value);

// Every format a texture may be written in, in the order choices show them.
const std::vector<TextureFormat>& OutputFormats();
// Their names as a sentence lists them: "DXT1, DXT3, ... PAL8 or PAL4".
std::string OutputFormatList();

}  // namespace vc
