// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/chunk_walk.h"

#include <algorithm>
#include <optional>
#include <string_view>

#include "io/byte_reader.h"
#include "io/code_page.h"
#include "io/file_names.h"
#include "rw/breakable_names.h"
#include "rw/chunk_names.h"
#include "rw/chunk_type.h"

namespace vc {

namespace {

constexpr size_t kNameBufferSize = 256;
constexpr uint64_t kEffectsSkip = 20;
// A well-formed model has each header read once; overlapping chunks make levels read bytes again.
// The walk reads at most this many headers per header the file could hold.
constexpr uint64_t kHeaderReadsPerHeader = 4;
constexpr uint64_t kHeaderReadsSpare = 64;

bool Is(uint32_t type, ChunkType expected) {
    return type == static_cast<uint32_t>(expected);
}

// Model names are Windows-1252, unless a newer tool wrote valid UTF-8.
std::string NameText(std::string_view bytes) {
    return IsValidUtf8(bytes) ? std::string(bytes) : Windows1252ToUtf8(bytes);
}

// Steps through a material effects payload by its layout, collecting where its Texture chunks
// start. Any deviation makes the whole payload fall back to the fixed skip.
class EffectsLayout {
  public:
    explicit EffectsLayout(std::span<const uint8_t> payload) : m_payload(payload) {}

    std::optional<std::vector<size_t>> TextureOffsets() {
        if (!Skip(4)) {  // effects type
            return std::nullopt;
        }
        for (int slot = 0; slot < 2; ++slot) {
            const std::optional<uint32_t> id = Number();
            if (!id || !Effect(*id)) {
                return std::nullopt;
            }
        }
        if (m_offset != m_payload.size()) {
            return std::nullopt;
        }
        return m_textures;
    }

  private:
    bool Effect(uint32_t id) {
        switch (id) {
            case 0:
            case 5:
            case 6:
                return true;
            case 1:  // bump map: intensity, then up to two textures
                return Skip(4) && OptionalTexture() && OptionalTexture();
            case 2:  // environment map: coefficient, frame-buffer alpha, texture
            case 4:  // dual texture: two blend modes, texture
                return Skip(8) && OptionalTexture();
            default:
                return false;
        }
    }

    bool OptionalTexture() {
        const std::optional<uint32_t> present = Number();
        if (!present) {
            return false;
        }
        if (*present != 1) {
            return true;
        }
        if (m_payload.size() - m_offset < kChunkHeaderSize) {
            return false;
        }
        const uint8_t* header = &m_payload[m_offset];
        const uint32_t size = LoadU32(header + 4);
        if (!Is(LoadU32(header), ChunkType::Texture) || size > m_payload.size() - m_offset - kChunkHeaderSize) {
            return false;
        }
        m_textures.push_back(m_offset);
        m_offset += kChunkHeaderSize + size;
        return true;
    }

    std::optional<uint32_t> Number() {
        if (m_payload.size() - m_offset < 4) {
            return std::nullopt;
        }
        const uint32_t value = LoadU32(&m_payload[m_offset]);
        m_offset += 4;
        return value;
    }

    bool Skip(size_t count) {
        if (m_payload.size() - m_offset < count) {
            return false;
        }
        m_offset += count;
        return true;
    }

    std::span<const uint8_t> m_payload;
    size_t m_offset = 0;
    std::vector<size_t> m_textures;
};

}  // namespace

ChunkWalk::ChunkWalk(std::span<const uint8_t> model, ChunkLog* log)
    : m_model(model),
      m_log(log),
      m_headerBudget(kHeaderReadsPerHeader * (model.size() / kChunkHeaderSize) + kHeaderReadsSpare) {}

bool ChunkWalk::WalkChunk(int depth) {
    if (m_position > m_model.size() || m_model.size() - m_position < kChunkHeaderSize) {
        return false;  // the file ends inside a header: this level ends here
    }
    if (m_headerBudget == 0) {
        if (m_log != nullptr && !m_stopNoted) {
            m_log->NoteLine(depth, "Walk stopped: the chunks overlap more often than the file can hold");
        }
        m_stopNoted = true;
        return false;
    }
    --m_headerBudget;
    const uint8_t* bytes = &m_model[m_position];
    const ChunkHeader header{LoadU32(bytes), LoadU32(bytes + 4), LoadU32(bytes + 8)};
    m_headers[depth] = header;
    m_position += kChunkHeaderSize;
    const uint64_t payload = m_position;
    m_ends[depth] = payload + header.Size;

    const bool container = IsContainerChunk(header.Type) || (Is(header.Type, ChunkType::Data) && depth == 0);
    const bool tooDeep = container && depth + 1 >= kWalkLevels;
    if (m_log != nullptr) {
        m_log->ChunkLine(depth, header.Type, header.Size, payload, depth > 0 && header.Version != m_headers[0].Version,
                         tooDeep ? " - TOO DEEP, not read" : "");
    }
    if (container && !tooDeep) {
        if (Is(header.Type, ChunkType::Texture)) {
            m_scanList.emplace_back();
        }
        if (!Is(header.Type, ChunkType::MatFX)) {
            WalkChildren(depth);
        } else if (!WalkEffectTextures(depth)) {
            m_position += kEffectsSkip;
            WalkChildren(depth);
        }
    } else if (Is(header.Type, ChunkType::String) && depth > 0 && Is(m_headers[depth - 1].Type, ChunkType::Texture)) {
        ReadName(depth);
    } else if (Is(header.Type, ChunkType::Breakable)) {
        ReadBreakableNames(depth);
    }
    m_position = m_ends[depth];
    return true;
}

void ChunkWalk::WalkChildren(int depth) {
    while (m_position < m_ends[depth] && WalkChunk(depth + 1)) {
    }
}

void ChunkWalk::ReadName(int depth) {
    // Only what the file holds, and at most the name buffer's 256 bytes, is read.
    const uint64_t available = m_model.size() - std::min<uint64_t>(m_position, m_model.size());
    const auto length = static_cast<size_t>(std::min<uint64_t>({m_headers[depth].Size, kNameBufferSize, available}));
    std::string_view buffer(reinterpret_cast<const char*>(m_model.data()) + (m_model.size() - available), length);
    buffer = buffer.substr(0, buffer.find('\0'));
    const std::string name = NameText(TrimText(buffer));
    if (m_log != nullptr) {
        m_log->NameLine(depth, name);
    }
    TDFFTex& texture = m_scanList.back();
    if (texture.TexName.empty()) {
        texture.TexName = name;
    } else if (!name.empty()) {
        texture.AlphaName = name;
        texture.HasAlpha = true;
    }
}

void ChunkWalk::ReadBreakableNames(int depth) {
    if (m_ends[depth] > m_model.size()) {
        return;
    }
    const std::optional<std::vector<BreakableMaterial>> materials =
        BreakableMaterials(m_model.subspan(m_position, m_ends[depth] - m_position));
    if (!materials) {
        return;
    }
    for (const BreakableMaterial& material : *materials) {
        const std::string name = NameText(TrimText(material.Texture));
        const std::string mask = NameText(TrimText(material.Mask));
        if (name.empty()) {
            continue;  // an untextured piece
        }
        if (m_log != nullptr) {
            m_log->NameLine(depth, name);
            if (!mask.empty()) {
                m_log->NameLine(depth, mask);
            }
        }
        m_scanList.push_back({.TexName = name, .AlphaName = mask, .HasAlpha = !mask.empty()});
    }
}

bool ChunkWalk::WalkEffectTextures(int depth) {
    const uint64_t payload = m_position;
    if (m_ends[depth] > m_model.size()) {
        return false;
    }
    const std::optional<std::vector<size_t>> textures =
        EffectsLayout(m_model.subspan(payload, m_ends[depth] - payload)).TextureOffsets();
    if (!textures) {
        return false;
    }
    for (const size_t offset : *textures) {
        m_position = payload + offset;
        WalkChunk(depth + 1);
    }
    return true;
}

ModelScan ScanModel(std::span<const uint8_t> model, ChunkLog* log) {
    ChunkWalk walk(model, log);
    const bool read = walk.WalkChunk(0);
    ModelScan scan{walk.TakeScanList(), walk.Position(), {}};
    if (read) {
        scan.FirstType = LoadU32(model.data());
    }
    return scan;
}

}  // namespace vc
