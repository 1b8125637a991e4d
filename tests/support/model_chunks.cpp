// SPDX-License-Identifier: GPL-3.0-or-later
#include "model_chunks.h"

#include <algorithm>

#include "io/byte_writer.h"

namespace vc::test {

Bytes Header(uint32_t type, uint32_t size, uint32_t stamp) {
    ByteWriter out;
    out.U32(type);
    out.U32(size);
    out.U32(stamp);
    return out.Take();
}

Bytes Chunk(uint32_t type, const Bytes& payload, uint32_t stamp) {
    Bytes chunk = Header(type, static_cast<uint32_t>(payload.size()), stamp);
    chunk.insert(chunk.end(), payload.begin(), payload.end());
    return chunk;
}

Bytes String(std::string_view text) {
    Bytes payload(text.begin(), text.end());
    payload.resize((text.size() + 4) / 4 * 4, 0);
    return Chunk(2, payload);
}

Bytes Texture(std::initializer_list<std::string_view> names) {
    Bytes payload = Chunk(1, U32(0x1106));  // filter and addressing
    for (const std::string_view name : names) {
        const Bytes string = String(name);
        payload.insert(payload.end(), string.begin(), string.end());
    }
    const Bytes extension = Chunk(3, {});
    payload.insert(payload.end(), extension.begin(), extension.end());
    return Chunk(6, payload);
}

Bytes U32(uint32_t value) {
    ByteWriter out;
    out.U32(value);
    return out.Take();
}

Bytes BreakablePayload(const std::vector<std::pair<std::string, std::string>>& materials, uint16_t vertices,
                       uint16_t triangles) {
    ByteWriter out;
    out.U32(1);
    // The header: what the game does not read holds anything.
    const auto countAndFill = [&](uint16_t count, size_t fill) {
        out.U16(count);
        out.Append(Bytes(fill, 0xCD));
    };
    out.U32(0);  // positions relative to the object
    countAndFill(vertices, 14);
    countAndFill(triangles, 10);
    countAndFill(static_cast<uint16_t>(materials.size()), 18);
    out.Append(Bytes(size_t{vertices} * 24 + size_t{triangles} * 8, 0x11));
    for (const bool masks : {false, true}) {
        for (const auto& [texture, mask] : materials) {
            Bytes name(32, 0);
            const std::string& text = masks ? mask : texture;
            std::copy(text.begin(), text.end(), name.begin());
            out.Append(name);
        }
    }
    out.Append(Bytes(materials.size() * 12, 0));
    return out.Take();
}

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) {
        joined.insert(joined.end(), part.begin(), part.end());
    }
    return joined;
}

TDFFTex TextureRef(std::string name, std::string alpha) {
    TDFFTex texture;
    texture.TexName = std::move(name);
    texture.HasAlpha = !alpha.empty();
    texture.AlphaName = std::move(alpha);
    return texture;
}

}  // namespace vc::test
