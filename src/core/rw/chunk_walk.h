// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "rw/chunk_log.h"

namespace vc {

// One texture reference found in a model; the check fills the two Found flags.
struct TDFFTex {
    std::string TexName;
    std::string AlphaName;
    bool HasAlpha = false;
    bool TexFound = false;
    bool AlphaFound = false;

    bool operator==(const TDFFTex&) const = default;
};

struct ChunkHeader {
    uint32_t Type = 0;
    uint32_t Size = 0;
    uint32_t Version = 0;
};

// Depth 0 to 14; a container at depth 14 is not descended into.
constexpr int kWalkLevels = 15;

// The walk over a model's chunk tree: it descends only into the chunk types that can lead to a
// texture and collects one TDFFTex per Texture chunk, named by its String children, and one per
// textured material of a San Andreas breakable object. Every level
// resumes at its own end, whatever its children declared. The walk reads only bytes of the file,
// and stops when the file ends inside a header or when chunks that overrun their parents have
// made it read more headers than the file can hold several times over.
class ChunkWalk {
  public:
    ChunkWalk(std::span<const uint8_t> model, ChunkLog* log);

    // Reads the chunk at the read position as a chunk of the given depth, with its descendants,
    // and leaves the read position at its end. False when no chunk could be read there.
    bool WalkChunk(int depth);

    uint64_t Position() const { return m_position; }
    std::vector<TDFFTex> TakeScanList() { return std::move(m_scanList); }

  private:
    void WalkChildren(int depth);
    void ReadName(int depth);
    // Walks the Texture chunks of a material effects payload read by its layout; false, with
    // nothing read, when the payload does not follow that layout to its last byte.
    bool WalkEffectTextures(int depth);
    void ReadBreakableNames(int depth);

    std::span<const uint8_t> m_model;
    ChunkLog* m_log;
    uint64_t m_position = 0;
    uint64_t m_headerBudget;
    bool m_stopNoted = false;
    std::array<ChunkHeader, kWalkLevels> m_headers{};
    std::array<uint64_t, kWalkLevels> m_ends{};
    std::vector<TDFFTex> m_scanList;
};

struct ModelScan {
    std::vector<TDFFTex> ScanList;      // one element per Texture chunk, in file order
    uint64_t EndPosition = 0;           // the read position after the first top-level chunk
    std::optional<uint32_t> FirstType;  // the first top-level chunk's type; none in a file shorter than a header
};

// Walks the first top-level chunk of a model; the log, when given, receives its chunk lines.
ModelScan ScanModel(std::span<const uint8_t> model, ChunkLog* log);

}  // namespace vc
