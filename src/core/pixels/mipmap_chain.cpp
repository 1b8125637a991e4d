// SPDX-License-Identifier: GPL-3.0-or-later
#include "pixels/mipmap_chain.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace vc {

namespace {

// The run of pixels above that one pixel covers along one side.
struct Span {
    uint32_t First = 0;
    uint32_t Count = 0;
};

std::vector<Span> Spans(uint32_t from, uint32_t to) {
    std::vector<Span> spans(to);
    for (uint32_t i = 0; i < to; ++i) {
        const auto first = static_cast<uint32_t>(uint64_t{i} * from / to);
        const auto end = static_cast<uint32_t>(uint64_t{i + 1} * from / to);
        spans[i] = {first, end - first};
    }
    return spans;
}

// Conversions between sRGB bytes and linear light through tables, so that no pixel pays for a pow.
struct GammaTables {
    std::array<float, 256> Linear{};      // sRGB byte to linear light in [0, 1]
    std::array<uint8_t, 4096> Encoded{};  // linear light in 4095ths to the nearest sRGB byte
};

GammaTables MakeGammaTables() {
    GammaTables tables;
    for (size_t i = 0; i < tables.Linear.size(); ++i) {
        const double c = static_cast<double>(i) / 255.0;
        tables.Linear[i] = static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
    }
    for (size_t i = 0; i < tables.Encoded.size(); ++i) {
        const double l = static_cast<double>(i) / 4095.0;
        const double c = l <= 0.0031308 ? 12.92 * l : 1.055 * std::pow(l, 1.0 / 2.4) - 0.055;
        tables.Encoded[i] = static_cast<uint8_t>(std::lround(255.0 * c));
    }
    return tables;
}

const GammaTables& Gamma() {
    static const GammaTables tables = MakeGammaTables();
    return tables;
}

void BoxPixel(const uint8_t* above, size_t stride, Span across, Span down, uint8_t* out) {
    std::array<uint32_t, 4> sums{};
    for (uint32_t y = 0; y < down.Count; ++y) {
        const uint8_t* row = above + (down.First + y) * stride + 4 * size_t{across.First};
        for (uint32_t x = 0; x < 4 * across.Count; ++x) {
            sums[x % 4] += row[x];
        }
    }
    const uint32_t count = across.Count * down.Count;
    for (size_t channel = 0; channel < 4; ++channel) {
        out[channel] = static_cast<uint8_t>((sums[channel] + count / 2) / count);
    }
}

void GammaCorrectPixel(const uint8_t* above, size_t stride, Span across, Span down, uint8_t* out) {
    const GammaTables& gamma = Gamma();
    std::array<float, 3> weighted{};
    std::array<float, 3> plain{};
    uint32_t alphaSum = 0;
    uint8_t leastAlpha = 255;
    uint8_t mostAlpha = 0;
    for (uint32_t y = 0; y < down.Count; ++y) {
        const uint8_t* pixel = above + (down.First + y) * stride + 4 * size_t{across.First};
        for (uint32_t x = 0; x < across.Count; ++x, pixel += 4) {
            const auto alpha = static_cast<float>(pixel[3]);
            for (size_t channel = 0; channel < 3; ++channel) {
                const float linear = gamma.Linear[pixel[channel]];
                weighted[channel] += alpha * linear;
                plain[channel] += linear;
            }
            alphaSum += pixel[3];
            leastAlpha = std::min(leastAlpha, pixel[3]);
            mostAlpha = std::max(mostAlpha, pixel[3]);
        }
    }
    const uint32_t count = across.Count * down.Count;
    // Where every pixel has the same alpha the weights change nothing, and the plain sums keep such
    // pixels (clear or opaque) to the same rounding.
    const bool weigh = leastAlpha != mostAlpha;
    const std::array<float, 3>& sums = weigh ? weighted : plain;
    const float scale = 4095.0f / static_cast<float>(weigh ? alphaSum : count);
    for (size_t channel = 0; channel < 3; ++channel) {
        const auto step = static_cast<size_t>(std::min(sums[channel] * scale + 0.5f, 4095.0f));
        out[channel] = gamma.Encoded[step];
    }
    out[3] = static_cast<uint8_t>((alphaSum + count / 2) / count);
}

template <typename MakePixel>
PixelLevel Halve(const PixelLevel& above, MakePixel makePixel) {
    PixelLevel level;
    level.Width = std::max<uint32_t>(1, above.Width / 2);
    level.Height = std::max<uint32_t>(1, above.Height / 2);
    level.Bgra.resize(size_t{4} * level.Width * level.Height);
    const std::vector<Span> across = Spans(above.Width, level.Width);
    const std::vector<Span> down = Spans(above.Height, level.Height);
    const size_t stride = size_t{4} * above.Width;
    uint8_t* out = level.Bgra.data();
    for (uint32_t y = 0; y < level.Height; ++y) {
        for (uint32_t x = 0; x < level.Width; ++x, out += 4) {
            makePixel(above.Bgra.data(), stride, across[x], down[y], out);
        }
    }
    return level;
}

}  // namespace

std::vector<PixelLevel> MipmapLevels(const PixelLevel& top, MipmapFilter filter) {
    CheckPixelLevel(top);
    std::vector<PixelLevel> levels;
    if (top.Width == 0 || top.Height == 0) {
        return levels;
    }
    const PixelLevel* above = &top;
    while (above->Width > 1 || above->Height > 1) {
        levels.push_back(filter == MipmapFilter::Box ? Halve(*above, BoxPixel) : Halve(*above, GammaCorrectPixel));
        above = &levels.back();
    }
    return levels;
}

}  // namespace vc
