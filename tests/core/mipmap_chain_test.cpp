// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>
#include <string>

#include "pixels/mipmap_chain.h"

namespace vc {
namespace {

using Pixels = std::vector<uint8_t>;

PixelLevel Level(uint32_t width, uint32_t height, Pixels bgra) {
    return {width, height, std::move(bgra)};
}

PixelLevel Grey(uint32_t width, uint32_t height, uint8_t grey, uint8_t alpha = 255) {
    Pixels bgra;
    for (uint32_t i = 0; i < width * height; ++i) {
        bgra.insert(bgra.end(), {grey, grey, grey, alpha});
    }
    return Level(width, height, bgra);
}

double Linear(double srgbByte) {
    const double c = srgbByte / 255;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

double SrgbByte(double linear) {
    return 255 * (linear <= 0.0031308 ? 12.92 * linear : 1.055 * std::pow(linear, 1 / 2.4) - 0.055);
}

TEST(MipmapChain, EachSideHalvesDownToOnePixelAndASideOfOneStaysOne) {
    for (const MipmapFilter filter : {MipmapFilter::Box, MipmapFilter::GammaCorrect}) {
        SCOPED_TRACE(filter == MipmapFilter::Box ? "box" : "gamma-correct");
        const std::vector<PixelLevel> levels = MipmapLevels(Grey(8, 2, 90), filter);
        std::vector<std::pair<uint32_t, uint32_t>> sides;
        for (const PixelLevel& level : levels) {
            sides.emplace_back(level.Width, level.Height);
            EXPECT_EQ(level.Bgra, Grey(level.Width, level.Height, 90).Bgra);
        }
        EXPECT_EQ(sides, (std::vector<std::pair<uint32_t, uint32_t>>{{4, 1}, {2, 1}, {1, 1}}));
        EXPECT_TRUE(MipmapLevels(Grey(1, 1, 90), filter).empty());
        EXPECT_EQ(MipmapLevels(Grey(20, 4, 90), filter).size(), 4u);  // 10 × 2, 5 × 1, 2 × 1, 1 × 1
    }
}

TEST(MipmapChain, BoxFilterGivesEachChannelsMeanRoundedToNearest) {
    // clang-format off
    const PixelLevel square = Level(2, 2, {10, 0, 255, 0,    11, 1, 255, 1,  // blue 43, green 2, red 510,
                                           11, 0,   0, 255,  11, 1,   0, 255});  // alpha 511 over 4
    // clang-format on
    EXPECT_EQ(MipmapLevels(square, MipmapFilter::Box).at(0).Bgra, (Pixels{11, 1, 128, 128}));
    // A side of one: pairs along the other side.
    const PixelLevel row = Level(4, 1, {0, 0, 0, 0, 1, 2, 3, 4, 100, 100, 100, 100, 200, 201, 202, 203});
    EXPECT_EQ(MipmapLevels(row, MipmapFilter::Box).at(0).Bgra, (Pixels{1, 1, 2, 2, 150, 151, 151, 152}));
    // An odd side halved: the last pixel covers three.
    const PixelLevel three = Level(3, 1, {0, 0, 0, 0, 30, 30, 30, 30, 90, 91, 92, 93});
    EXPECT_EQ(MipmapLevels(three, MipmapFilter::Box).at(0).Bgra, (Pixels{40, 40, 41, 41}));
}

TEST(MipmapChain, GammaCorrectKeepsEveryFlatGreyExactly) {
    for (int grey = 0; grey < 256; ++grey) {
        EXPECT_EQ(MipmapLevels(Grey(2, 2, uint8_t(grey)), MipmapFilter::GammaCorrect).at(0).Bgra,
                  Grey(1, 1, uint8_t(grey)).Bgra)
            << grey;
    }
}

TEST(MipmapChain, GammaCorrectAveragesInLinearLightWithinOneOfTheExactMean) {
    // Black beside white is half the light, which sRGB writes as 187.5, where a plain mean says 128.
    const PixelLevel checker = Level(2, 2, {0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255});
    const Pixels halfLight = MipmapLevels(checker, MipmapFilter::GammaCorrect).at(0).Bgra;
    EXPECT_NEAR(halfLight[0], 187.5, 1);
    EXPECT_EQ(halfLight[3], 255);
    EXPECT_EQ(MipmapLevels(checker, MipmapFilter::Box).at(0).Bgra, (Pixels{128, 128, 128, 255}));

    std::mt19937 random(3);
    for (int trial = 0; trial < 2000; ++trial) {
        Pixels bgra(16);
        for (size_t i = 0; i < 16; ++i) {
            bgra[i] = i % 4 == 3 ? 255 : static_cast<uint8_t>(random());
        }
        const Pixels mean = MipmapLevels(Level(2, 2, bgra), MipmapFilter::GammaCorrect).at(0).Bgra;
        for (size_t channel = 0; channel < 3; ++channel) {
            double light = 0;
            for (size_t pixel = 0; pixel < 4; ++pixel) {
                light += Linear(bgra[4 * pixel + channel]) / 4;
            }
            ASSERT_NEAR(mean[channel], SrgbByte(light), 1) << "trial " << trial << ", channel " << channel;
        }
    }
}

TEST(MipmapChain, GammaCorrectWeighsColourByAlphaSoThatClearPixelsLendNone) {
    // One opaque red pixel among three clear green ones: red at a quarter of the alpha.
    const PixelLevel edge = Level(2, 2, {0, 0, 255, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 255, 0, 0});
    EXPECT_EQ(MipmapLevels(edge, MipmapFilter::GammaCorrect).at(0).Bgra, (Pixels{0, 0, 255, 64}));
    EXPECT_EQ(MipmapLevels(edge, MipmapFilter::Box).at(0).Bgra, (Pixels{0, 191, 64, 64}));

    // Where every pixel is clear, colour is the plain mean in linear light, as if they were opaque.
    PixelLevel clear = Level(2, 2, {0, 0, 0, 0, 255, 255, 255, 0, 255, 255, 255, 0, 0, 0, 0, 0});
    Pixels opaque = MipmapLevels(Level(2, 2, {0, 0, 0, 255, 255, 255, 255, 255, 255, 255, 255, 255, 0, 0, 0, 255}),
                                 MipmapFilter::GammaCorrect)
                        .at(0)
                        .Bgra;
    opaque[3] = 0;
    EXPECT_EQ(MipmapLevels(clear, MipmapFilter::GammaCorrect).at(0).Bgra, opaque);
}

TEST(MipmapChain, ALevelWhoseBytesDoNotMatchItsSizeIsRefused) {
    EXPECT_THROW(MipmapLevels(Level(2, 2, Pixels(15)), MipmapFilter::Box), std::invalid_argument);
}

}  // namespace
}  // namespace vc
