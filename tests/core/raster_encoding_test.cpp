// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>
#include <set>
#include <stdexcept>
#include <string>

#include "image_set.h"
#include "pixels/mipmap_chain.h"
#include "pixels/palette_quantization.h"
#include "raster/raster_encoding.h"
#include "stored_level.h"

namespace vc {
namespace {

using Pixels = std::vector<uint8_t>;
using test::DecodeStoredLevel;

const TextureFormat kSixteenBits[] = {TextureFormat::C565, TextureFormat::C1555, TextureFormat::C4444,
                                      TextureFormat::C555};

PixelLevel Row(Pixels bgra) {
    return {static_cast<uint32_t>(bgra.size() / 4), 1, std::move(bgra)};
}

Pixels Decoded(TextureFormat format, const PixelLevel& level, const Pixels& stored, const Pixels& palette = {}) {
    return DecodeStoredLevel(format, static_cast<uint16_t>(level.Width), static_cast<uint16_t>(level.Height), stored,
                             palette);
}

TEST(RasterEncoding, PixelsTakeTheLayoutOfEachFormat) {
    // clang-format off
    const PixelLevel pixels = Row({0x00, 0x00, 0xFF, 0xFF,   // red
                                   0x44, 0x33, 0x22, 0x11,   // blue 0x44, green 0x33, red 0x22, alpha 0x11
                                   0xFF, 0x80, 0x00, 0x80}); // alpha 128: the 1-bit alpha's threshold
    EXPECT_EQ(EncodeLevel(pixels, TextureFormat::C8888), pixels.Bgra);
    EXPECT_EQ(EncodeLevel(pixels, TextureFormat::C888),
              (Pixels{0x00, 0x00, 0xFF, 0xFF,  0x44, 0x33, 0x22, 0xFF,  0xFF, 0x80, 0x00, 0xFF}));
    EXPECT_EQ(EncodeLevel(pixels, TextureFormat::C565),   // 0xF800; 4, 13, 8: 0x21A8; 0, 32, 31: 0x041F
              (Pixels{0x00, 0xF8,  0xA8, 0x21,  0x1F, 0x04}));
    EXPECT_EQ(EncodeLevel(pixels, TextureFormat::C1555),  // 0xFC00; 4, 6, 8 clear: 0x10C8; 0, 16, 31: 0x821F
              (Pixels{0x00, 0xFC,  0xC8, 0x10,  0x1F, 0x82}));
    EXPECT_EQ(EncodeLevel(pixels, TextureFormat::C555),   // as 1555 without the alpha bit
              (Pixels{0x00, 0x7C,  0xC8, 0x10,  0x1F, 0x02}));
    EXPECT_EQ(EncodeLevel(pixels, TextureFormat::C4444),  // 0xFF00; 0x1234; 8, 0, 8, 15: 0x808F
              (Pixels{0x00, 0xFF,  0x34, 0x12,  0x8F, 0x80}));
    // clang-format on
    const PixelLevel below = Row({0xFF, 0x80, 0x00, 0x7F});
    EXPECT_EQ(EncodeLevel(below, TextureFormat::C1555), (Pixels{0x1F, 0x02}));
}

// Every 16-bit word decoded: the values each channel of a format can take.
std::array<std::set<int>, 4> DecodableValues(TextureFormat format) {
    Pixels every;
    for (uint32_t word = 0; word < 65536; ++word) {
        every.insert(every.end(), {uint8_t(word), uint8_t(word >> 8)});
    }
    const Pixels decoded = DecodeStoredLevel(format, 256, 256, every);
    std::array<std::set<int>, 4> values;
    for (size_t i = 0; i < decoded.size(); ++i) {
        values[i % 4].insert(decoded[i]);
    }
    return values;
}

TEST(RasterEncoding, EveryChannelValueDecodesToTheNearestValueTheFormatHolds) {
    Pixels ramp;
    for (int value = 0; value < 256; ++value) {
        ramp.insert(ramp.end(), {uint8_t(value), uint8_t(255 - value), uint8_t(value), uint8_t(value)});
    }
    const PixelLevel level = Row(ramp);
    for (const TextureFormat format : kSixteenBits) {
        SCOPED_TRACE(TextureFormatName(format));
        const std::array<std::set<int>, 4> values = DecodableValues(format);
        const Pixels decoded = Decoded(format, level, EncodeLevel(level, format));
        for (size_t i = 0; i < decoded.size(); ++i) {
            int nearest = INT_MAX;
            for (const int value : values[i % 4]) {
                nearest = std::min(nearest, std::abs(value - ramp[i]));
            }
            // 1555's alpha is a threshold at 128, not the nearer of 0 and 255.
            if (format == TextureFormat::C1555 && i % 4 == 3) {
                ASSERT_EQ(decoded[i], ramp[i] >= 128 ? 255 : 0) << i / 4;
            } else {
                ASSERT_EQ(std::abs(decoded[i] - ramp[i]), nearest) << "pixel " << i / 4 << ", channel " << i % 4;
            }
        }
    }
    EXPECT_EQ(Decoded(TextureFormat::C8888, level, EncodeLevel(level, TextureFormat::C8888)), ramp);
}

TEST(RasterEncoding, FormatsWithoutPixelsOfTheirOwnAreRefused) {
    for (const TextureFormat format : {TextureFormat::Pal8, TextureFormat::Lum8, TextureFormat::Dxt1}) {
        EXPECT_THROW(EncodeLevel(Row({1, 2, 3, 4}), format), std::invalid_argument) << TextureFormatName(format);
    }
}

// Pixels of count colours that differ in every channel, alpha included, in a scrambled order.
PixelLevel Colours(uint32_t width, uint32_t height, uint32_t count) {
    PixelLevel level{width, height, {}};
    std::mt19937 random(5);
    for (uint32_t i = 0; i < width * height; ++i) {
        const uint32_t colour = random() % count;
        level.Bgra.insert(level.Bgra.end(), {uint8_t(colour * 7), uint8_t(colour), uint8_t(colour / 3),
                                             uint8_t(colour % 2 ? 255 : colour / 2)});
    }
    return level;
}

TEST(PaletteQuantization, AtMost256ColoursAreKeptExactlyInAscendingOrder) {
    for (const uint32_t count : {1u, 200u, 256u}) {
        SCOPED_TRACE(count);
        const PixelLevel top = Colours(64, 32, count);
        const PalettedLevels paletted = QuantizeLevels({top});
        ASSERT_EQ(paletted.Indices.size(), 1u);
        const Pixels palette(paletted.Palette.begin(), paletted.Palette.end());
        EXPECT_EQ(Decoded(TextureFormat::Pal8, top, paletted.Indices[0], palette), top.Bgra);
        // Entries in use ascend as red, green, blue, alpha; the rest stay 0.
        const size_t used = *std::max_element(paletted.Indices[0].begin(), paletted.Indices[0].end()) + 1;
        EXPECT_EQ(used, count);
        for (size_t entry = 1; entry < used; ++entry) {
            EXPECT_TRUE(std::lexicographical_compare(palette.begin() + 4 * (entry - 1), palette.begin() + 4 * entry,
                                                     palette.begin() + 4 * entry, palette.begin() + 4 * entry + 4))
                << entry;
        }
        EXPECT_TRUE(std::all_of(palette.begin() + 4 * used, palette.end(), [](uint8_t b) { return b == 0; }));
    }
}

// A 16 × 16 picture whose pixel (x, y) has colour k = index(x, y), colours differing in every
// channel, alpha included.
PixelLevel Pattern(uint32_t (*index)(uint32_t x, uint32_t y)) {
    PixelLevel level{16, 16, {}};
    for (uint32_t y = 0; y < 16; ++y) {
        for (uint32_t x = 0; x < 16; ++x) {
            const uint32_t k = index(x, y);
            level.Bgra.insert(level.Bgra.end(), {uint8_t(k * 7), uint8_t(k), uint8_t(k / 3), uint8_t(k % 2 ? 255 : k)});
        }
    }
    return level;
}

// The picture's colours come first and exactly; the entries they leave free take the colours only
// the lower levels have, so that a chain of few colours is exact on every level: the in-between
// alpha of a fence's lower levels is kept. With more colours below than entries left, the picture
// stays exact and the lower levels take the nearest.
TEST(PaletteQuantization, EntriesThePictureLeavesFreeGoToTheLowerLevels) {
    struct Case {
        std::string Name;
        uint32_t (*Index)(uint32_t x, uint32_t y);
        uint32_t PictureColours;
        size_t Entries;  // 256 for PAL8, 16 for PAL4
        bool LowerExact;
    };
    const Case cases[] = {
        {"8 colours, PAL8", [](uint32_t x, uint32_t y) { return (x + y) % 8; }, 8, 256, true},
        {"4 colours, PAL4", [](uint32_t x, uint32_t y) { return (x + y) % 4; }, 4, 16, true},
        {"12 colours, PAL4", [](uint32_t x, uint32_t y) { return (x + y) % 12; }, 12, 16, false},
        {"256 colours, PAL8", [](uint32_t x, uint32_t y) { return (x + 16 * y) % 256; }, 256, 256, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        std::vector<PixelLevel> levels = {Pattern(c.Index)};
        for (PixelLevel& level : MipmapLevels(levels[0], MipmapFilter::GammaCorrect)) {
            levels.push_back(std::move(level));
        }
        const PalettedLevels paletted = QuantizeLevels(levels, c.Entries);
        const Pixels palette(paletted.Palette.begin(), paletted.Palette.end());
        EXPECT_TRUE(std::all_of(palette.begin() + 4 * c.Entries, palette.end(), [](uint8_t b) { return b == 0; }));
        EXPECT_EQ(Decoded(TextureFormat::Pal8, levels[0], paletted.Indices[0], palette), levels[0].Bgra);
        // The picture's colours are the first entries.
        EXPECT_EQ(*std::max_element(paletted.Indices[0].begin(), paletted.Indices[0].end()) + 1u, c.PictureColours);
        bool lowerExact = true;
        for (size_t level = 1; level < levels.size(); ++level) {
            const Pixels decoded = Decoded(TextureFormat::Pal8, levels[level], paletted.Indices[level], palette);
            lowerExact = lowerExact && decoded == levels[level].Bgra;
        }
        EXPECT_EQ(lowerExact, c.LowerExact);
    }
}

int Distance(const uint8_t* bgra, const uint8_t* rgba) {
    const int d[] = {bgra[2] - rgba[0], bgra[1] - rgba[1], bgra[0] - rgba[2], bgra[3] - rgba[3]};
    return d[0] * d[0] + d[1] * d[1] + d[2] * d[2] + d[3] * d[3];
}

TEST(PaletteQuantization, ManyColoursTakeTheirNearestEntryOnEveryLevel) {
    PixelLevel top{64, 64, {}};
    for (uint32_t y = 0; y < top.Height; ++y) {
        for (uint32_t x = 0; x < top.Width; ++x) {
            const RgbColour colour = test::PhotoLikeColour(2, int(x * 4), int(y * 4));
            top.Bgra.insert(top.Bgra.end(), {colour.Blue, colour.Green, colour.Red, uint8_t(x * 4)});
        }
    }
    std::vector<PixelLevel> levels = {top};
    for (PixelLevel& level : MipmapLevels(top, MipmapFilter::Box)) {
        levels.push_back(std::move(level));
    }
    const PalettedLevels paletted = QuantizeLevels(levels);
    EXPECT_EQ(QuantizeLevels(levels).Palette, paletted.Palette);
    ASSERT_EQ(paletted.Indices.size(), levels.size());
    for (size_t level = 0; level < levels.size(); ++level) {
        const std::vector<uint8_t>& indices = paletted.Indices[level];
        ASSERT_EQ(indices.size(), levels[level].Bgra.size() / 4);
        for (size_t i = 0; i < indices.size(); ++i) {
            const uint8_t* pixel = levels[level].Bgra.data() + 4 * i;
            int nearest = INT_MAX;
            for (size_t entry = 0; entry < 256; ++entry) {
                nearest = std::min(nearest, Distance(pixel, paletted.Palette.data() + 4 * entry));
            }
            ASSERT_EQ(Distance(pixel, paletted.Palette.data() + 4 * indices[i]), nearest)
                << "level " << level << ", pixel " << i;
        }
    }
    const Pixels palette(paletted.Palette.begin(), paletted.Palette.end());
    EXPECT_GT(test::Psnr(Decoded(TextureFormat::Pal8, top, paletted.Indices[0], palette), top.Bgra, 4), 30.0);
}

}  // namespace
}  // namespace vc
