// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/chunk_names.h"

#include "rw/chunk_type.h"

namespace vc {

bool IsContainerChunk(uint32_t type) {
    switch (static_cast<ChunkType>(type)) {
        case ChunkType::Extension:
        case ChunkType::Texture:
        case ChunkType::Material:
        case ChunkType::MaterialList:
        case ChunkType::FrameList:
        case ChunkType::Geometry:
        case ChunkType::Clump:
        case ChunkType::Atomic:
        case ChunkType::GeometryList:
        case ChunkType::MatFX:
            return true;
        default:
            return false;
    }
}

std::string ChunkTypeName(uint32_t type) {
    const char* name = nullptr;
    switch (static_cast<ChunkType>(type)) {
        // clang-format off
        case ChunkType::Data:            name = "Data"; break;
        case ChunkType::String:          name = "String"; break;
        case ChunkType::Extension:       name = "Extension"; break;
        case ChunkType::Texture:         name = "Texture"; break;
        case ChunkType::Material:        name = "Material"; break;
        case ChunkType::MaterialList:    name = "Material List"; break;
        case ChunkType::FrameList:       name = "Frame List"; break;
        case ChunkType::Geometry:        name = "Geometry"; break;
        case ChunkType::Clump:           name = "Clump"; break;
        case ChunkType::Atomic:          name = "Atomic"; break;
        case ChunkType::GeometryList:    name = "Geometry List"; break;
        case ChunkType::HAnim:           name = "Unknown"; break;
        case ChunkType::MatFX:           name = "Another Extension"; break;
        case ChunkType::BinMesh:         name = "Material Split"; break;
        case ChunkType::NativeData:      name = "VC Geometry Data"; break;
        case ChunkType::Frame:           name = "Frame"; break;
        default:                         name = "UNKNOWN"; break;
            // clang-format on
    }
    return std::string(name) + " [" + std::to_string(type) + "]";
}

std::string LogIndent(int depth) {
    if (depth < 0) {
        return {};
    }
    std::string indent;
    for (int level = 0; level < depth; ++level) {
        indent += "  :  ";
    }
    return indent + "  :. ";
}

}  // namespace vc
