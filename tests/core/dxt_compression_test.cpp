// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <stdexcept>
#include <string>

#include "image_set.h"
#include "io/cancellation.h"
#include "io/work_pool.h"
#include "raster/dxt_compression.h"
#include "stored_level.h"

#include <squish.h>

namespace vc {
namespace {

using Pixels = std::vector<uint8_t>;
using test::DecodeStoredLevel;

const DxtQuality kQualities[] = {DxtQuality::Best, DxtQuality::Fast};

std::string Name(TextureFormat format, DxtQuality quality) {
    return std::string(TextureFormatName(format)) + (quality == DxtQuality::Best ? " best" : " fast");
}

// width × height pixels from a function of x and y giving blue, green, red, alpha.
template <typename Pixel>
PixelLevel Picture(uint32_t width, uint32_t height, Pixel pixel) {
    PixelLevel level{width, height, std::vector<uint8_t>(size_t{4} * width * height)};
    for (uint32_t y = 0; y < height; ++y) {
        for (uint32_t x = 0; x < width; ++x) {
            const std::array<uint8_t, 4> bgra = pixel(x, y);
            std::copy(bgra.begin(), bgra.end(), level.Bgra.begin() + 4 * (ptrdiff_t{y} * width + x));
        }
    }
    return level;
}

PixelLevel Flat(uint32_t width, uint32_t height, std::array<uint8_t, 4> bgra) {
    return Picture(width, height, [&](uint32_t, uint32_t) { return bgra; });
}

Pixels Decoded(TextureFormat format, const PixelLevel& level, const Pixels& blocks) {
    return DecodeStoredLevel(format, static_cast<uint16_t>(level.Width), static_cast<uint16_t>(level.Height), blocks);
}

TEST(DxtCompression, AFlatBlockTakesTheColourItself) {
    // Pure red is exact in 565: black and red as the end colours, and every pixel index 1, red.
    // clang-format off
    const Pixels redBlock = {0x00, 0x00,  0x00, 0xF8,  0x55, 0x55, 0x55, 0x55};
    // clang-format on
    const PixelLevel red = Flat(4, 4, {0, 0, 255, 255});
    const PixelLevel brown = Flat(4, 4, {0x40, 0x80, 0xC0, 255});
    for (const DxtQuality quality : kQualities) {
        SCOPED_TRACE(Name(TextureFormat::Dxt1, quality));
        EXPECT_EQ(CompressDxt(red, TextureFormat::Dxt1, quality), redBlock);
        // Any other colour lies between two 565 colours; libsquish's fit for one colour gets within 2.
        const Pixels decoded = Decoded(TextureFormat::Dxt1, brown, CompressDxt(brown, TextureFormat::Dxt1, quality));
        for (size_t i = 0; i < decoded.size(); ++i) {
            ASSERT_NEAR(decoded[i], brown.Bgra[i], 2) << i;
        }
    }
}

TEST(DxtCompression, Dxt1MakesPixelsBelowAlpha128Transparent) {
    const PixelLevel level = Picture(4, 4, [](uint32_t x, uint32_t y) {
        return std::array<uint8_t, 4>{0, 0, 255, uint8_t((x + y) % 2 ? 127 : 128)};
    });
    for (const DxtQuality quality : kQualities) {
        SCOPED_TRACE(Name(TextureFormat::Dxt1, quality));
        const Pixels decoded = Decoded(TextureFormat::Dxt1, level, CompressDxt(level, TextureFormat::Dxt1, quality));
        for (size_t i = 0; i < 16; ++i) {
            const bool clear = level.Bgra[4 * i + 3] < 128;
            EXPECT_EQ(decoded[4 * i + 3], clear ? 0 : 255) << i;
            if (!clear) {
                EXPECT_EQ(decoded[4 * i + 2], 255) << i;
            }
        }
    }
}

// Colour and alpha ramps across a level whose sides are no multiple of 4.
PixelLevel Ramps(uint32_t width, uint32_t height) {
    return Picture(width, height, [&](uint32_t x, uint32_t y) {
        return std::array<uint8_t, 4>{uint8_t(255 * x / width), uint8_t(255 * y / height),
                                      uint8_t(255 * (x + y) / (width + height)), uint8_t(255 - 255 * x / width)};
    });
}

TEST(DxtCompression, LevelsDecodeBackNearTheirPixels) {
    // Worst alpha error: DXT3 keeps 4 bits (a step of 17); DXT5 interpolates 8 values between two
    // ends; DXT1 keeps 1 bit, and its transparent pixels decode black.
    const std::pair<TextureFormat, int> formats[] = {
        {TextureFormat::Dxt1, 0}, {TextureFormat::Dxt3, 8}, {TextureFormat::Dxt5, 4}};
    const PixelLevel level = Ramps(62, 30);
    for (const auto& [format, alphaError] : formats) {
        Pixels expected = level.Bgra;
        if (format == TextureFormat::Dxt1) {
            for (size_t i = 0; i < expected.size(); i += 4) {
                if (expected[i + 3] < 128) {
                    std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(i), 4, 0);
                } else {
                    expected[i + 3] = 255;
                }
            }
        }
        for (const DxtQuality quality : kQualities) {
            SCOPED_TRACE(Name(format, quality));
            const Pixels blocks = CompressDxt(level, format, quality);
            ASSERT_EQ(blocks.size(), LevelSize(format, level.Width, level.Height));
            const Pixels decoded = Decoded(format, level, blocks);
            EXPECT_GT(test::Psnr(decoded, expected, 3), 34.0);
            for (size_t i = 3; i < decoded.size(); i += 4) {
                ASSERT_LE(std::abs(decoded[i] - expected[i]), alphaError) << "pixel " << i / 4;
            }
        }
    }
}

TEST(DxtCompression, LevelsSmallerThanABlockFillOneBlockAndDecodeExactly) {
    // Red and white, both exact in 565 and the ends of one line: decoded exactly so long as nothing
    // outside the level (black padding, say) takes part in the fit.
    const PixelLevel twoByTwo = Picture(2, 2, [](uint32_t x, uint32_t y) {
        return (x + y) % 2 ? std::array<uint8_t, 4>{0, 0, 255, 255} : std::array<uint8_t, 4>{255, 255, 255, 255};
    });
    const PixelLevel onePixel = Flat(1, 1, {255, 0, 0, 255});
    for (const TextureFormat format : {TextureFormat::Dxt1, TextureFormat::Dxt3, TextureFormat::Dxt5}) {
        for (const DxtQuality quality : kQualities) {
            SCOPED_TRACE(Name(format, quality));
            for (const PixelLevel* level : {&twoByTwo, &onePixel}) {
                const Pixels blocks = CompressDxt(*level, format, quality);
                ASSERT_EQ(blocks.size(), LevelSize(format, 4, 4));
                EXPECT_EQ(Decoded(format, *level, blocks), level->Bgra);
            }
        }
    }
}

TEST(DxtCompression, WorkersWriteTheSameBytesAsOneThread) {
    std::mt19937 random(11);
    const auto pixel = [&](uint32_t x, uint32_t y) {
        const RgbColour colour = test::PhotoLikeColour(1, int(x), int(y));
        return std::array<uint8_t, 4>{colour.Blue, colour.Green, colour.Red, uint8_t(random())};
    };
    // 64 × 32 blocks, enough for every worker at either quality; and 10 × 5 blocks with padded
    // edges, split into uneven runs of rows at best quality.
    const PixelLevel levels[] = {Picture(256, 128, pixel), Picture(38, 18, pixel)};
    for (const PixelLevel& level : levels) {
        for (const TextureFormat format : {TextureFormat::Dxt1, TextureFormat::Dxt5}) {
            for (const DxtQuality quality : kQualities) {
                SCOPED_TRACE(Name(format, quality) + " " + std::to_string(level.Width));
                const Pixels alone = CompressDxt(level, format, quality);
                for (const unsigned helpers : {1u, 2u}) {
                    WorkPool pool(helpers);
                    EXPECT_EQ(CompressDxt(level, format, quality, &pool), alone) << helpers << " helpers";
                }
            }
        }
    }
}

// libsquish's iterative cluster fit, the best setting of earlier releases, over a whole level.
Pixels IterativeClusterFit(const PixelLevel& level, TextureFormat format) {
    Pixels rgba = level.Bgra;
    for (size_t i = 0; i < rgba.size(); i += 4) {
        std::swap(rgba[i], rgba[i + 2]);
    }
    const int kind = format == TextureFormat::Dxt1   ? squish::kDxt1
                     : format == TextureFormat::Dxt3 ? squish::kDxt3
                                                     : squish::kDxt5;
    Pixels blocks(LevelSize(format, level.Width, level.Height));
    squish::CompressImage(rgba.data(), int(level.Width), int(level.Height), blocks.data(),
                          kind | squish::kColourIterativeClusterFit);
    return blocks;
}

// On photograph-like pictures (opaque, and with alpha that DXT1 cuts), the best setting keeps within
// 0.2 dB of the iterative fit it replaced and the fast one within 1.5 dB of the best.
TEST(DxtCompression, EachSettingKeepsItsQualityOnPhotographs) {
    std::mt19937 random(5);
    const auto opaque = [](uint32_t x, uint32_t y) {
        const RgbColour colour = test::PhotoLikeColour(3, int(x), int(y));
        return std::array<uint8_t, 4>{colour.Blue, colour.Green, colour.Red, 255};
    };
    const auto holed = [&](uint32_t x, uint32_t y) {
        std::array<uint8_t, 4> bgra = opaque(x, y);
        bgra[3] = (x / 8 + y / 8) % 3 == 0 ? uint8_t(random() % 128) : uint8_t(128 + random() % 128);
        return bgra;
    };
    const PixelLevel pictures[] = {Picture(128, 64, opaque), Picture(128, 64, holed)};
    for (const PixelLevel& picture : pictures) {
        for (const TextureFormat format : {TextureFormat::Dxt1, TextureFormat::Dxt3, TextureFormat::Dxt5}) {
            // Colour only where DXT1 shows it.
            const auto colourPsnr = [&](const Pixels& blocks) {
                Pixels decoded = Decoded(format, picture, blocks);
                Pixels source = picture.Bgra;
                for (size_t i = 0; i < source.size(); i += 4) {
                    if (format == TextureFormat::Dxt1 && source[i + 3] < 128) {
                        std::fill_n(decoded.begin() + std::ptrdiff_t(i), 3, 0);
                        std::fill_n(source.begin() + std::ptrdiff_t(i), 3, 0);
                    }
                    decoded[i + 3] = source[i + 3] = 0;
                }
                return test::Psnr(decoded, source, 4);
            };
            const double iterative = colourPsnr(IterativeClusterFit(picture, format));
            const double best = colourPsnr(CompressDxt(picture, format, DxtQuality::Best));
            const double fast = colourPsnr(CompressDxt(picture, format, DxtQuality::Fast));
            SCOPED_TRACE(std::string(TextureFormatName(format)) + (picture.Bgra[3] == 255 ? " opaque" : " holed"));
            EXPECT_GE(best, iterative - 0.2);
            EXPECT_GE(fast, best - 1.5);
            EXPECT_LT(fast, best);  // it is another fit
        }
    }
}

TEST(DxtCompression, OtherFormatsAreRefused) {
    EXPECT_THROW(CompressDxt(Flat(4, 4, {}), TextureFormat::C565, DxtQuality::Best), std::invalid_argument);
}

// A run that is being stopped ends its compression at the next row of blocks, also on the pool's
// helpers, which watch the run's flag for the thread that hands them the work.
TEST(DxtCompression, AStoppingRunEndsTheCompression) {
    const PixelLevel level = Flat(256, 256, {10, 20, 30, 255});
    std::atomic<bool> stop = true;
    const StopScope watching(&stop);
    WorkPool pool(1);
    for (WorkPool* helpers : {static_cast<WorkPool*>(nullptr), &pool}) {
        EXPECT_THROW(CompressDxt(level, TextureFormat::Dxt1, DxtQuality::Fast, helpers), Cancelled);
    }
    stop = false;
    EXPECT_EQ(CompressDxt(level, TextureFormat::Dxt1, DxtQuality::Fast, &pool).size(), size_t{64 * 64 * 8});
}

}  // namespace
}  // namespace vc
