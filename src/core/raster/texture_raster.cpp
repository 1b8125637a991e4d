// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/texture_raster.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <span>

#include "io/byte_reader.h"
#include "pixels/grey_level.h"
#include "pixels/mipmap_chain.h"
#include "pixels/palette_quantization.h"
#include "raster/raster_encoding.h"

namespace vc {

namespace {

std::vector<uint8_t> GreyLevels(const PixelLevel& level) {
    std::vector<uint8_t> greys(level.Bgra.size() / 4);
    for (size_t k = 0; k < greys.size(); ++k) {
        greys[k] = GreyLevel(LoadU32(&level.Bgra[4 * k]), ColourOrder::Pixel);
    }
    return greys;
}

std::vector<uint8_t> EncodeIn(const RasterChoice& choice, const PixelLevel& level) {
    switch (choice.Format) {
        case TextureFormat::Dxt1:
        case TextureFormat::Dxt3:
        case TextureFormat::Dxt5:
            return CompressDxt(level, choice.Format, choice.Dxt, choice.DxtPool);
        case TextureFormat::Lum8:
            return GreyLevels(level);
        default:
            return EncodeLevel(level, choice.Format);
    }
}

}  // namespace

TextureRaster MakeRaster(PixelLevel picture, const RasterChoice& choice) {
    TextureRaster raster{
        choice.Format, static_cast<uint16_t>(picture.Width), static_cast<uint16_t>(picture.Height), {}, {}};
    if (choice.Opaque) {
        for (size_t alpha = 3; alpha < picture.Bgra.size(); alpha += 4) {
            picture.Bgra[alpha] = 255;
        }
    }
    std::vector<PixelLevel> levels;
    levels.push_back(std::move(picture));
    if (choice.Mipmaps) {
        std::vector<PixelLevel> below = MipmapLevels(levels.front(), MipmapFilter::GammaCorrect);
        std::move(below.begin(), below.end(), std::back_inserter(levels));
    }
    if (IsPaletted(choice.Format)) {
        PalettedLevels quantized = QuantizeLevels(levels, PaletteColours(choice.Format));
        raster.Palette = quantized.Palette;
        raster.Levels = std::move(quantized.Indices);
        return raster;
    }
    const size_t blockSize = LevelSize(choice.Format, 4, 4);
    std::optional<size_t> filler;  // the last level whose smaller side is at least 4
    for (const PixelLevel& level : levels) {
        if (choice.FillSmallBlockLevels && IsBlockCompressed(choice.Format) && filler &&
            std::min(level.Width, level.Height) < 4) {
            const std::span<const uint8_t> block = std::span(raster.Levels[*filler]).first(blockSize);
            std::vector<uint8_t>& filled = raster.Levels.emplace_back();
            for (uint64_t i = 0; i < LevelSize(choice.Format, level.Width, level.Height); i += blockSize) {
                filled.insert(filled.end(), block.begin(), block.end());
            }
            continue;
        }
        if (std::min(level.Width, level.Height) >= 4) {
            filler = raster.Levels.size();
        }
        raster.Levels.push_back(EncodeIn(choice, level));
    }
    return raster;
}

}  // namespace vc
