#include "raster/texture_raster.h"

#include <iterator>

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
    for (const PixelLevel& level : levels) {
        raster.Levels.push_back(EncodeIn(choice, level));
    }
    return raster;
}

}  // namespace vc
