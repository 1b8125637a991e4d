// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace vc {

// RenderWare binary stream chunk types, as dictionaries and models use them, by their RenderWare
// names. Types above 0xFF are plugin ids: the plugin's vendor in the upper 24 bits, its number in
// the low 8 bits. The chunk log shows them by names of its own (ChunkTypeName).
enum class ChunkType : uint32_t {
    // clang-format off
    Data              = 0x01,       // the fixed fields of its parent (Struct in RenderWare)
    String            = 0x02,
    Extension         = 0x03,
    Texture           = 0x06,
    Material          = 0x07,
    MaterialList      = 0x08,
    FrameList         = 0x0E,
    Geometry          = 0x0F,
    Clump             = 0x10,
    Atomic            = 0x14,
    TextureNative     = 0x15,
    TextureDictionary = 0x16,
    GeometryList      = 0x1A,
    UvAnimDictionary  = 0x2B,       // may come before a model's clump
    HAnim             = 0x11E,      // Criterion toolkit: animation hierarchy of a frame
    MatFX             = 0x120,      // Criterion toolkit: material effects, may name further textures
    BinMesh           = 0x50E,      // Criterion world: a geometry's triangles split by material
    NativeData        = 0x510,      // Criterion world: geometry in a platform's own form
    Breakable         = 0x0253F2FD, // Rockstar: how a San Andreas object breaks, naming its pieces' textures
    Frame             = 0x0253F2FE, // Rockstar: a frame's name (NodeName in librw)
    // clang-format on
};

// Every chunk starts with its type, the size of its content and a version stamp, 32 bits each.
constexpr size_t kChunkHeaderSize = 12;

}  // namespace vc
