// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rw/chunk_walk.h"

namespace vc::test {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t kModelStamp = 0x1003FFFF;

// A chunk: header (type, size of the payload, stamp) and the payload.
Bytes Chunk(uint32_t type, const Bytes& payload, uint32_t stamp = kModelStamp);
// A chunk whose size field says size, whatever follows.
Bytes Header(uint32_t type, uint32_t size, uint32_t stamp = kModelStamp);
// A String chunk: the text, a zero, padded with zeros to a multiple of four bytes.
Bytes String(std::string_view text);
// A Texture chunk with its Data child and one String child per name.
Bytes Texture(std::initializer_list<std::string_view> names);
Bytes U32(uint32_t value);
// The payload of a San Andreas breakable object: the marker, the header's counts, the pieces'
// vertices and triangles, then per material its texture name, mask name and ambient colour.
Bytes BreakablePayload(const std::vector<std::pair<std::string, std::string>>& materials, uint16_t vertices = 3,
                       uint16_t triangles = 1);

// The texture reference a model's Texture chunk should give, with an alpha name when not empty.
TDFFTex TextureRef(std::string name, std::string alpha = "");
Bytes Join(std::initializer_list<Bytes> parts);

}  // namespace vc::test
