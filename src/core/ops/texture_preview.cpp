#include "ops/texture_preview.h"

#include "io/error.h"
#include "ops/texture_assembly.h"
#include "ops/txd_builder.h"

namespace vc {

std::optional<DecodedTexture> PreviewTexture(const TTexFile& entry) {
    // The format and the kept fields change the picture (a kept size, a DXT1 texture kept opaque);
    // the levels below it do not show. Names play no part in it; distinct ones keep the build's name
    // check out of it.
    TTexFile texture{
        .TexName = "texture", .TexPath = entry.TexPath, .HasAlpha = entry.HasAlpha, .Output = entry.Output};
    texture.Output.LevelPaths.clear();
    if (entry.HasAlpha) {
        texture.AlphaName = "alpha";
        texture.AlphaPath = entry.AlphaPath;
    }
    ImageIntake intake;
    TImageInfo colour;
    TImageInfo alpha;
    try {
        if (!LoadEntryImages(intake, texture, false, colour, alpha)) {
            return std::nullopt;
        }
        RasterChoice choice = ChoiceFor(texture, colour);
        choice.Mipmaps = false;
        choice.Dxt = DxtQuality::Fast;
        const TextureRaster raster = AssembleRaster(intake, texture, colour, alpha, choice);
        return DecodeLevel({.Format = raster.Format,
                            .Width = raster.Width,
                            .Height = raster.Height,
                            .Pixels = raster.Levels.front(),
                            .Palette = raster.Palette,
                            .PaletteAlpha = texture.HasAlpha || colour.HasAlpha});
    } catch (const Error&) {
        return std::nullopt;
    }
}

}  // namespace vc
