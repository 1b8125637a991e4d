// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixels/palette_quantization.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <iterator>
#include <limits>
#include <span>
#include <stdexcept>
#include <string>

namespace vc {

namespace {

using Colour = std::array<uint8_t, 4>;  // red, green, blue, alpha
constexpr size_t kEntries = 256;

Colour ColourOf(const uint8_t* bgra) {
    return {bgra[2], bgra[1], bgra[0], bgra[3]};
}

// One distinct colour and the pixels that have it.
struct Entry {
    Colour Rgba{};
    uint32_t Count = 0;
};

// The distinct colours of the levels in ascending order of red, green, blue, alpha.
std::vector<Entry> Histogram(std::span<const PixelLevel> levels) {
    size_t pixels = 0;
    for (const PixelLevel& level : levels) {
        pixels += level.Bgra.size() / 4;
    }
    std::vector<uint32_t> packed;
    packed.reserve(pixels);
    for (const PixelLevel& level : levels) {
        for (size_t i = 0; i < level.Bgra.size(); i += 4) {
            const uint8_t* bgra = level.Bgra.data() + i;
            packed.push_back(uint32_t{bgra[2]} << 24 | uint32_t{bgra[1]} << 16 | uint32_t{bgra[0]} << 8 | bgra[3]);
        }
    }
    std::sort(packed.begin(), packed.end());
    std::vector<Entry> entries;
    for (const uint32_t value : packed) {
        const Colour colour = {uint8_t(value >> 24), uint8_t(value >> 16), uint8_t(value >> 8), uint8_t(value)};
        if (!entries.empty() && entries.back().Rgba == colour) {
            ++entries.back().Count;
        } else {
            entries.push_back({colour, 1});
        }
    }
    return entries;
}

// The pixel count, sums and sums of squares of a set of colours, per channel.
struct Moments {
    double Count = 0;
    std::array<double, 4> Sum{};
    std::array<double, 4> SumOfSquares{};

    void Add(const Entry& entry) {
        const double count = entry.Count;
        Count += count;
        for (size_t c = 0; c < 4; ++c) {
            Sum[c] += count * entry.Rgba[c];
            SumOfSquares[c] += count * entry.Rgba[c] * entry.Rgba[c];
        }
    }
    // The squared error of one channel about its mean.
    double ChannelError(size_t c) const { return Count > 0 ? SumOfSquares[c] - Sum[c] * Sum[c] / Count : 0; }
    double Error() const { return ChannelError(0) + ChannelError(1) + ChannelError(2) + ChannelError(3); }
    Moments Without(const Moments& part) const {
        Moments rest = *this;
        rest.Count -= part.Count;
        for (size_t c = 0; c < 4; ++c) {
            rest.Sum[c] -= part.Sum[c];
            rest.SumOfSquares[c] -= part.SumOfSquares[c];
        }
        return rest;
    }
    Colour Mean() const {
        Colour mean{};
        for (size_t c = 0; c < 4; ++c) {
            mean[c] = static_cast<uint8_t>(std::clamp(Sum[c] / Count + 0.5, 0.0, 255.0));
        }
        return mean;
    }
};

// The entries [First, End) of the histogram.
struct Box {
    size_t First = 0;
    size_t End = 0;
    Moments Stats;
};

Box MakeBox(const std::vector<Entry>& entries, size_t first, size_t end) {
    Box box{first, end, {}};
    for (size_t i = first; i < end; ++i) {
        box.Stats.Add(entries[i]);
    }
    return box;
}

// Orders a box's entries by one channel, keeping the order of equal values (a counting sort).
void SortByChannel(std::vector<Entry>& entries, const Box& box, size_t channel) {
    std::array<size_t, 257> starts{};
    for (size_t i = box.First; i < box.End; ++i) {
        ++starts[entries[i].Rgba[channel] + 1];
    }
    for (size_t value = 1; value < starts.size(); ++value) {
        starts[value] += starts[value - 1];
    }
    std::vector<Entry> sorted(box.End - box.First);
    for (size_t i = box.First; i < box.End; ++i) {
        sorted[starts[entries[i].Rgba[channel]]++] = entries[i];
    }
    std::copy(sorted.begin(), sorted.end(), entries.begin() + static_cast<std::ptrdiff_t>(box.First));
}

// Splits a box across the channel that varies most, where the two halves' summed squared error is
// least (a variance-based median cut); the box holds at least two distinct colours.
std::array<Box, 2> Split(std::vector<Entry>& entries, const Box& box) {
    size_t channel = 0;
    for (size_t c = 1; c < 4; ++c) {
        if (box.Stats.ChannelError(c) > box.Stats.ChannelError(channel)) {
            channel = c;
        }
    }
    SortByChannel(entries, box, channel);
    Moments before;
    size_t bestCut = box.First + 1;
    double bestError = std::numeric_limits<double>::infinity();
    for (size_t cut = box.First + 1; cut < box.End; ++cut) {
        before.Add(entries[cut - 1]);
        if (entries[cut - 1].Rgba[channel] == entries[cut].Rgba[channel]) {
            continue;
        }
        const double error = before.Error() + box.Stats.Without(before).Error();
        if (error < bestError) {
            bestError = error;
            bestCut = cut;
        }
    }
    return {MakeBox(entries, box.First, bestCut), MakeBox(entries, bestCut, box.End)};
}

std::vector<Colour> MedianCut(std::vector<Entry> entries, size_t count) {
    std::vector<Box> boxes = {MakeBox(entries, 0, entries.size())};
    while (boxes.size() < count) {
        // The box with the largest error among those that can be split; the first on a tie.
        size_t worst = boxes.size();
        double worstError = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            const double error = boxes[i].Stats.Error();
            if (boxes[i].End - boxes[i].First > 1 && (worst == boxes.size() || error > worstError)) {
                worst = i;
                worstError = error;
            }
        }
        if (worst == boxes.size()) {
            break;
        }
        const std::array<Box, 2> halves = Split(entries, boxes[worst]);
        boxes[worst] = halves[0];
        boxes.push_back(halves[1]);
    }
    std::vector<Colour> palette;
    for (const Box& box : boxes) {
        palette.push_back(box.Stats.Mean());
    }
    return palette;
}

// At most count colours for the entries: all of them when they fit, else by median cut.
std::vector<Colour> ChooseColours(std::vector<Entry> entries, size_t count) {
    if (count == 0) {
        return {};
    }
    if (entries.size() > count) {
        return MedianCut(std::move(entries), count);
    }
    std::vector<Colour> colours;
    for (const Entry& entry : entries) {
        colours.push_back(entry.Rgba);
    }
    return colours;
}

// The colours of the levels that none of known has; known is in ascending order.
std::vector<Entry> ColoursBesides(std::span<const PixelLevel> levels, const std::vector<Entry>& known) {
    const std::vector<Entry> all = Histogram(levels);
    std::vector<Entry> besides;
    std::set_difference(all.begin(), all.end(), known.begin(), known.end(), std::back_inserter(besides),
                        [](const Entry& a, const Entry& b) { return a.Rgba < b.Rgba; });
    return besides;
}

// The top level's colours exactly when they fit, the lower levels' own colours in the entries they
// leave free; else colours by median cut over the whole chain.
std::vector<Colour> ChoosePalette(std::span<const PixelLevel> levels, size_t count) {
    std::vector<Entry> top = Histogram(levels.first(1));
    if (top.size() > count) {
        return MedianCut(levels.size() == 1 ? std::move(top) : Histogram(levels), count);
    }
    std::vector<Colour> palette = ChooseColours(top, count);
    if (levels.size() > 1 && palette.size() < count) {
        const std::vector<Colour> lower = ChooseColours(ColoursBesides(levels.subspan(1), top), count - palette.size());
        palette.insert(palette.end(), lower.begin(), lower.end());
    }
    return palette;
}

int Distance(const Colour& a, const Colour& b) {
    int sum = 0;
    for (size_t c = 0; c < 4; ++c) {
        const int d = int{a[c]} - int{b[c]};
        sum += d * d;
    }
    return sum;
}

int KeyOf(const Colour& colour) {
    return colour[0] + colour[1] + colour[2] + colour[3];
}

// Finds the nearest palette entry (the lowest index on a tie) by walking out from the colour
// through the entries ordered by the sum of their channels, stopping each way once that sum alone
// puts an entry too far: the squared gap of the sums is at most 4 times the squared distance.
class NearestEntry {
  public:
    explicit NearestEntry(const std::vector<Colour>& palette) {
        for (size_t i = 0; i < palette.size(); ++i) {
            m_entries.push_back({palette[i], KeyOf(palette[i]), static_cast<uint8_t>(i)});
        }
        std::stable_sort(m_entries.begin(), m_entries.end(),
                         [](const Sorted& a, const Sorted& b) { return a.Key < b.Key; });
    }

    uint8_t Find(const Colour& colour) const {
        const int key = KeyOf(colour);
        const auto start = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                            [](const Sorted& entry, int k) { return entry.Key < k; });
        int bestDistance = std::numeric_limits<int>::max();
        uint8_t best = 0;
        const auto consider = [&](const Sorted& entry) {
            const int keyGap = entry.Key - key;
            if (keyGap * keyGap > 4 * int64_t{bestDistance}) {
                return false;
            }
            const int distance = Distance(entry.Rgba, colour);
            if (distance < bestDistance || (distance == bestDistance && entry.Index < best)) {
                bestDistance = distance;
                best = entry.Index;
            }
            return true;
        };
        for (auto up = start; up != m_entries.end() && consider(*up); ++up) {
        }
        for (auto down = start; down != m_entries.begin() && consider(*(down - 1)); --down) {
        }
        return best;
    }

  private:
    struct Sorted {
        Colour Rgba;
        int Key = 0;
        uint8_t Index = 0;
    };
    std::vector<Sorted> m_entries;  // in ascending order of the sum of their channels
};

std::vector<uint8_t> Indices(const PixelLevel& level, const NearestEntry& nearest) {
    std::vector<uint8_t> indices(level.Bgra.size() / 4);
    Colour last{};
    uint8_t lastIndex = 0;
    for (size_t i = 0; i < indices.size(); ++i) {
        const Colour colour = ColourOf(level.Bgra.data() + 4 * i);
        if (i == 0 || colour != last) {
            last = colour;
            lastIndex = nearest.Find(colour);
        }
        indices[i] = lastIndex;
    }
    return indices;
}

}  // namespace

PalettedLevels QuantizeLevels(const std::vector<PixelLevel>& levels, size_t colours) {
    PalettedLevels paletted;
    if (levels.empty()) {
        return paletted;
    }
    if (colours == 0 || colours > kEntries) {
        throw std::invalid_argument("a palette holds 1 to 256 colours, not " + std::to_string(colours));
    }
    for (const PixelLevel& level : levels) {
        CheckPixelLevel(level);
    }
    const std::vector<Colour> palette = ChoosePalette(levels, colours);
    for (size_t i = 0; i < palette.size(); ++i) {
        std::copy(palette[i].begin(), palette[i].end(), paletted.Palette.begin() + static_cast<std::ptrdiff_t>(4 * i));
    }
    const NearestEntry nearest(palette);
    for (const PixelLevel& level : levels) {
        paletted.Indices.push_back(Indices(level, nearest));
    }
    return paletted;
}

std::vector<std::vector<uint8_t>> IndexLowerLevels(std::array<uint8_t, 1024>& palette, size_t colours,
                                                   std::span<const uint8_t> pictureIndices,
                                                   std::span<const PixelLevel> lower) {
    for (const PixelLevel& level : lower) {
        CheckPixelLevel(level);
    }
    std::vector<Colour> entries(std::min(colours, kEntries));
    for (size_t i = 0; i < entries.size(); ++i) {
        std::copy_n(palette.begin() + static_cast<std::ptrdiff_t>(4 * i), 4, entries[i].begin());
    }
    std::array<bool, kEntries> used{};
    for (const uint8_t index : pictureIndices) {
        used[index] = true;
    }
    std::vector<size_t> free;
    std::vector<Entry> kept;
    for (size_t i = 0; i < entries.size(); ++i) {
        if (used[i]) {
            kept.push_back({entries[i], 1});
        } else {
            free.push_back(i);
        }
    }
    std::sort(kept.begin(), kept.end(), [](const Entry& a, const Entry& b) { return a.Rgba < b.Rgba; });
    const std::vector<Colour> added = ChooseColours(ColoursBesides(lower, kept), free.size());
    for (size_t i = 0; i < added.size(); ++i) {
        entries[free[i]] = added[i];
        std::copy(added[i].begin(), added[i].end(), palette.begin() + static_cast<std::ptrdiff_t>(4 * free[i]));
    }
    const NearestEntry nearest(entries);
    std::vector<std::vector<uint8_t>> indices;
    for (const PixelLevel& level : lower) {
        indices.push_back(Indices(level, nearest));
    }
    return indices;
}

}  // namespace vc
