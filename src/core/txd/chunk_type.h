#pragma once

#include <cstddef>
#include <cstdint>

namespace vc {

// RenderWare binary stream chunk types, as dictionaries and models use them.
enum class ChunkType : uint32_t {
    Data = 1,
    String = 2,
    Extension = 3,
    Texture = 6,
    Material = 7,
    MaterialList = 8,
    FrameList = 14,
    Geometry = 15,
    Clump = 16,
    Atomic = 20,
    TextureNative = 21,
    TextureDictionary = 22,
    GeometryList = 26,
    Unknown286 = 286,
    MaterialEffects = 288,
    MaterialSplit = 1294,
    VcGeometryData = 1296,
    Frame = 0x0253F2FE,
};

// Every chunk starts with its type, the size of its content and a version stamp, 32 bits each.
constexpr size_t kChunkHeaderSize = 12;

}  // namespace vc
