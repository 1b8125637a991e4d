// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/breakable_names.h"

#include "io/byte_reader.h"

namespace vc {

namespace {

constexpr size_t kMarkerSize = 4;
constexpr size_t kHeaderSize = 52;
// Where the header keeps its 16-bit counts.
constexpr size_t kVertexCountAt = 4;
constexpr size_t kTriangleCountAt = 20;
constexpr size_t kMaterialCountAt = 32;
constexpr uint64_t kVertexSize = 12 + 8 + 4;
constexpr uint64_t kTriangleSize = 6 + 2;
constexpr size_t kNameSize = 32;
constexpr uint64_t kMaterialSize = 2 * kNameSize + 12;

std::string_view NameAt(std::span<const uint8_t> payload, size_t offset) {
    const std::string_view field(reinterpret_cast<const char*>(payload.data()) + offset, kNameSize);
    return field.substr(0, field.find('\0'));
}

}  // namespace

std::optional<std::vector<BreakableMaterial>> BreakableMaterials(std::span<const uint8_t> payload) {
    if (payload.size() < kMarkerSize) {
        return std::nullopt;
    }
    if (LoadU32(payload.data()) == 0) {
        return payload.size() == kMarkerSize ? std::optional(std::vector<BreakableMaterial>()) : std::nullopt;
    }
    if (payload.size() < kMarkerSize + kHeaderSize) {
        return std::nullopt;
    }
    const uint8_t* header = payload.data() + kMarkerSize;
    const uint64_t vertices = LoadU16(header + kVertexCountAt);
    const uint64_t triangles = LoadU16(header + kTriangleCountAt);
    const uint64_t materials = LoadU16(header + kMaterialCountAt);
    const uint64_t namesAt = kMarkerSize + kHeaderSize + vertices * kVertexSize + triangles * kTriangleSize;
    if (namesAt + materials * kMaterialSize != payload.size()) {
        return std::nullopt;
    }
    std::vector<BreakableMaterial> found;
    for (uint64_t i = 0; i < materials; ++i) {
        found.push_back(
            {NameAt(payload, namesAt + i * kNameSize), NameAt(payload, namesAt + (materials + i) * kNameSize)});
    }
    return found;
}

}  // namespace vc
