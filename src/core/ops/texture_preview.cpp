// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/texture_preview.h"

#include "io/error.h"
#include "ops/texture_assembly.h"
#include "ops/txd_builder.h"

namespace vc {

std::vector<DecodedTexture> PreviewLevels(const TTexFile& entry, PreviewDepth depth) {
    // The format and the kept fields change the picture (a kept size, a DXT1 texture kept opaque).
    // Names play no part in it; distinct ones keep the build's name check out of it.
    TTexFile texture{
        .TexName = "texture", .TexPath = entry.TexPath, .HasAlpha = entry.HasAlpha, .Output = entry.Output};
    if (depth == PreviewDepth::Picture) {
        texture.Output.LevelPaths.clear();
    }
    if (entry.HasAlpha) {
        texture.AlphaName = "alpha";
        texture.AlphaPath = entry.AlphaPath;
    }
    ImageIntake intake;
    TImageInfo colour;
    TImageInfo alpha;
    try {
        if (!LoadEntryImages(intake, texture, false, colour, alpha)) {
            return {};
        }
        RasterChoice choice = ChoiceFor(texture, colour);
        choice.Mipmaps = choice.Mipmaps && depth == PreviewDepth::AllLevels;
        choice.Dxt = DxtQuality::Fast;
        const TextureRaster raster = AssembleRaster(intake, texture, colour, alpha, choice);
        const size_t shown = depth == PreviewDepth::AllLevels ? raster.Levels.size() : 1;
        std::vector<DecodedTexture> levels;
        for (size_t level = 0; level < shown; ++level) {
            levels.push_back(
                DecodeLevel({.Format = raster.Format,
                             .Width = static_cast<uint16_t>(LevelSide(raster.Width, static_cast<uint32_t>(level))),
                             .Height = static_cast<uint16_t>(LevelSide(raster.Height, static_cast<uint32_t>(level))),
                             .Pixels = raster.Levels[level],
                             .Palette = raster.Palette,
                             .PaletteAlpha = texture.HasAlpha || colour.HasAlpha}));
        }
        return levels;
    } catch (const Error&) {
        return {};
    }
}

std::optional<DecodedTexture> PreviewTexture(const TTexFile& entry) {
    std::vector<DecodedTexture> levels = PreviewLevels(entry, PreviewDepth::Picture);
    return levels.empty() ? std::nullopt : std::optional(std::move(levels.front()));
}

}  // namespace vc
