// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/dff_check.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

#include "archive/archive_address.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "io/text_order.h"
#include "rw/chunk_type.h"

namespace vc {

bool InDFFTexList(const std::vector<TDFFTex>& dffTexList, std::string_view name) {
    return std::any_of(dffTexList.begin(), dffTexList.end(),
                       [&](const TDFFTex& texture) { return texture.TexName == name; });
}

std::vector<TDFFTex> BuildDffTexList(const std::vector<TDFFTex>& scanList) {
    // Same result as asking InDFFTexList for every element, without the quadratic search.
    std::unordered_set<std::string_view> names;
    std::vector<std::pair<std::u32string, TDFFTex>> keyed;
    for (const TDFFTex& texture : scanList) {
        if (names.insert(texture.TexName).second) {
            keyed.emplace_back(CaseBlindOrder(texture.TexName), texture);
        }
    }
    std::stable_sort(keyed.begin(), keyed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TDFFTex> dffTexList;
    dffTexList.reserve(keyed.size());
    for (auto& [key, texture] : keyed) {
        dffTexList.push_back(std::move(texture));
    }
    return dffTexList;
}

void CompareWithTextureList(std::vector<TDFFTex>& dffTexList, const TextureList& list) {
    for (TDFFTex& texture : dffTexList) {
        const std::string name = LowerAscii(texture.TexName);
        const std::string alpha = LowerAscii(texture.AlphaName);
        for (const TTexFile& entry : list) {
            if (LowerAscii(entry.TexName) == name) {
                texture.TexFound = true;
                texture.AlphaFound = texture.AlphaFound || LowerAscii(entry.AlphaName) == alpha;
            }
        }
    }
}

Rgb ColourOf(ResultColour colour) {
    switch (colour) {
        case ResultColour::Green:
            return {0, 128, 0};
        case ResultColour::Red:
            return {255, 0, 0};
        case ResultColour::Orange:
            return {255, 176, 0};
    }
    return {0, 0, 0};
}

CheckSummary Summarize(const std::vector<TDFFTex>& dffTexList) {
    CheckSummary summary;
    summary.Missing = static_cast<size_t>(std::count_if(dffTexList.begin(), dffTexList.end(), [](const TDFFTex& t) {
        return !t.TexFound || (t.HasAlpha && !t.AlphaFound);
    }));
    if (summary.Missing == 0) {
        summary.Text = "All textures are available.";
        summary.Colour = ResultColour::Green;
    } else if (summary.Missing == dffTexList.size()) {
        summary.Text = "No textures are available!";
        summary.Colour = ResultColour::Red;
    } else {
        summary.Text = std::to_string(summary.Missing) + " textures are missing!";
        summary.Colour = ResultColour::Orange;
    }
    return summary;
}

std::string ItemText(const TDFFTex& texture) {
    return texture.HasAlpha ? texture.TexName + "; " + texture.AlphaName : texture.TexName;
}

DffCheckResult RunDffCheck(std::string_view modelPath, const TextureList& list,
                           const std::optional<ChunkLogRequest>& log) {
    const std::vector<uint8_t> model = ReadFileOrEntry(modelPath);
    std::optional<ChunkLog> chunkLog;
    if (log) {
        chunkLog.emplace(log->DateTimeText, modelPath, model.size(), log->Format);
    }
    ModelScan scan = ScanModel(model, chunkLog ? &*chunkLog : nullptr);
    if (chunkLog) {
        chunkLog->AppendixLine(static_cast<int64_t>(model.size()) - static_cast<int64_t>(scan.EndPosition));
        chunkLog->Save(log->Path);
    }
    const std::string name(NamedFileName(modelPath));
    const auto starts = [&](ChunkType type) { return scan.FirstType == static_cast<uint32_t>(type); };
    if (!starts(ChunkType::Clump) && !starts(ChunkType::UvAnimDictionary)) {
        throw Error(ErrorKind::Malformed,
                    "\"" + name + "\" is not a RenderWare model: it does not start with a clump.");
    }
    DffCheckResult result;
    result.Caption = "DFF Texture Check - " + name;
    if (scan.EndPosition > model.size()) {
        result.CutShortNote = "The model \"" + name + "\" is cut short: its chunks declare " +
                              std::to_string(scan.EndPosition) + " bytes, but the file has " +
                              std::to_string(model.size()) + ". The textures listed are those read before its end.";
    }
    result.DFFTexList = BuildDffTexList(scan.ScanList);
    CompareWithTextureList(result.DFFTexList, list);
    result.Summary = Summarize(result.DFFTexList);
    return result;
}

}  // namespace vc
