// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/list_editing.h"

#include <algorithm>
#include <numeric>
#include <string>

#include "io/text_order.h"
#include "texlist/entry_texts.h"

namespace vc {

namespace {

// The value an entry sorts by: text keys in their collation order, numeric keys as numbers, a
// number before a text where a key has both.
struct SortValue {
    uint32_t Number = 0;
    std::u32string Text;

    auto operator<=>(const SortValue&) const = default;
};

// The bits per pixel a texture is written with: of its output format, else of its image's depth.
uint32_t WrittenBits(const TTexFile& entry) {
    const std::optional<TextureFormat> format = entry.Output.Format ? entry.Output.Format : entry.TexInfo.StoredFormat;
    constexpr uint32_t kBlockPixels = 16;
    return format ? static_cast<uint32_t>(LevelSize(*format, 4, 4) * 8 / kBlockPixels) : entry.TexInfo.Depth;
}

SortValue ValueOf(const TTexFile& entry, SortKey key) {
    switch (key) {
        case SortKey::Name:
            return {0, CaseBlindOrder(entry.TexName)};
        case SortKey::Path:
            return {0, CaseBlindOrder(entry.TexPath)};
        case SortKey::Size:
            return {uint32_t{entry.TexInfo.Width} * entry.TexInfo.Height, {}};
        case SortKey::Format:
            // By bits per pixel, which puts paletted images before true-colour ones, then by the
            // format's name, so that formats of one size stay apart.
            return {WrittenBits(entry), CaseBlindOrder(OutputFormatText(entry))};
        case SortKey::AlphaName:
            return {0, CaseBlindOrder(entry.HasAlpha ? entry.AlphaName : std::string())};
    }
    return {};
}

}  // namespace

void SortList(TextureList& list, SortKey key, bool ascending) {
    if (list.size() <= 1) {
        return;
    }
    // Each key is worked out once, so a long list sorts in n log n comparisons of ready values.
    std::vector<SortValue> values;
    values.reserve(list.size());
    for (const TTexFile& entry : list) {
        values.push_back(ValueOf(entry, key));
    }
    std::vector<size_t> order(list.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return ascending ? values[a] < values[b] : values[b] < values[a]; });
    TextureList sorted;
    sorted.reserve(list.size());
    for (const size_t index : order) {
        sorted.push_back(std::move(list[index]));
    }
    list = std::move(sorted);
}

std::vector<size_t> MoveTextures(TextureList& list, std::span<const size_t> selected, int step) {
    std::vector<size_t> moved(selected.begin(), selected.end());
    const bool inside = std::all_of(selected.begin(), selected.end(), [&](size_t i) { return i < list.size(); });
    const bool blocked =
        selected.empty() || (step < 0 && selected.front() == 0) || (step > 0 && selected.back() + 1 >= list.size());
    if (!inside || blocked) {
        return moved;
    }
    // Each entry passes the one it moves over; going down, the last entry moves first.
    const auto move = [&](size_t& index) {
        const size_t target = step < 0 ? index - 1 : index + 1;
        std::swap(list[index], list[target]);
        index = target;
    };
    if (step < 0) {
        std::for_each(moved.begin(), moved.end(), move);
    } else {
        std::for_each(moved.rbegin(), moved.rend(), move);
    }
    return moved;
}

size_t DeleteTextures(TextureList& list, std::span<const size_t> selected) {
    if (selected.empty()) {
        return 0;
    }
    for (auto index = selected.rbegin(); index != selected.rend(); ++index) {
        if (*index < list.size()) {
            list.erase(list.begin() + static_cast<std::ptrdiff_t>(*index));
        }
    }
    return std::min(selected.front(), list.empty() ? 0 : list.size() - 1);
}

void ClearAlphas(TextureList& list, std::span<const size_t> selected) {
    for (const size_t index : selected) {
        if (index < list.size()) {
            TTexFile& entry = list[index];
            entry.HasAlpha = false;
            entry.AlphaName.clear();
            entry.AlphaPath.clear();
            if (entry.TexInfo.HasAlpha) {
                entry.Output.AlphaFlag = false;  // the image's own alpha is left out too
            }
        }
    }
}

void SetOutputs(TextureList& list, std::span<const size_t> selected, const TextureOutput& chosen, OutputFields fields) {
    for (const size_t index : selected) {
        if (index < list.size()) {
            TextureOutput& output = list[index].Output;
            output.Format = fields.Format ? chosen.Format : output.Format;
            output.Mipmaps = fields.Mipmaps ? chosen.Mipmaps : output.Mipmaps;
            output.Flags = fields.Flags ? chosen.Flags : output.Flags;
        }
    }
}

void RemoveAlphas(TextureList& list) {
    std::vector<size_t> all(list.size());
    std::iota(all.begin(), all.end(), size_t{0});
    ClearAlphas(list, all);
}

void ApplyOutputDefaults(TextureList& list, const TextureOutput& defaults) {
    for (TTexFile& entry : list) {
        TextureOutput& output = entry.Output;
        output.Format = output.Format ? output.Format : defaults.Format;
        output.Flags = output.Flags ? output.Flags : defaults.Flags;
        output.Mipmaps = output.Mipmaps || defaults.Mipmaps;
    }
}

}  // namespace vc
