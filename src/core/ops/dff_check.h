// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "io/number_format.h"
#include "rw/chunk_walk.h"
#include "texlist/tex_file.h"

namespace vc {

// True when some element's TexName equals name exactly.
bool InDFFTexList(const std::vector<TDFFTex>& dffTexList, std::string_view name);

// The model's texture list: the first element of each texture name, sorted by name lower-cased
// (equal names keep their order).
std::vector<TDFFTex> BuildDffTexList(const std::vector<TDFFTex>& scanList);

// Marks each model texture present when a list entry has its name (A to Z compared without case),
// and its alpha present when such an entry also has its alpha name.
void CompareWithTextureList(std::vector<TDFFTex>& dffTexList, const TextureList& list);

enum class ResultColour { Green, Red, Orange };
struct Rgb {
    int Red;
    int Green;
    int Blue;
};
Rgb ColourOf(ResultColour colour);

struct CheckSummary {
    size_t Missing = 0;  // textures missing, or present with their alpha missing
    std::string Text;
    ResultColour Colour = ResultColour::Green;
};
CheckSummary Summarize(const std::vector<TDFFTex>& dffTexList);

// "wheel", or "rim; rim_a" for a texture with an alpha name.
std::string ItemText(const TDFFTex& texture);

// Where and how the chunk log of a check is written.
struct ChunkLogRequest {
    std::string Path;
    std::string DateTimeText;
    NumberFormat Format;
};

struct DffCheckResult {
    std::string Caption;  // "DFF Texture Check - car.dff"
    std::vector<TDFFTex> DFFTexList;
    CheckSummary Summary;
    // Set when the model is cut short: what its chunks declare ends past the file. The list then
    // holds the textures read before the file's end.
    std::string CutShortNote;
};

// Reads the model, writes the chunk log when asked, and compares the model's textures with the
// list. Throws an Error when the model cannot be read, is no RenderWare model at all (it does not
// start with a clump, or a UV animation dictionary before one), or the log cannot be written; a
// model malformed or cut short is no error: the result holds whatever the walk found.
DffCheckResult RunDffCheck(std::string_view modelPath, const TextureList& list,
                           const std::optional<ChunkLogRequest>& log);

}  // namespace vc
