#include "ops/texture_preview.h"

#include "io/error.h"
#include "ops/texture_assembly.h"
#include "ops/txd_builder.h"
#include "texlist/image_intake.h"

namespace vc {

std::optional<DecodedTexture> PreviewTexture(const TTexFile& entry) {
    // The format changes the picture; mipmaps, the flag word and the names only add to or describe it.
    TTexFile texture{.TexPath = entry.TexPath, .HasAlpha = entry.HasAlpha};
    texture.Output.Format = entry.Output.Format;
    if (entry.HasAlpha) {
        texture.AlphaPath = entry.AlphaPath;
    }
    ImageIntake intake;
    TImageInfo colour;
    TImageInfo alpha;
    try {
        if (!intake.ReadImageFile(texture.TexPath, kColourSlot, true, false, colour) ||
            (texture.HasAlpha && (!intake.ReadImageFile(texture.AlphaPath, kAlphaSlot, true, false, alpha) ||
                                  CheckAlphaFit(colour, alpha) != AlphaFit::Fits))) {
            return std::nullopt;
        }
        RasterChoice choice = ChoiceFor(texture, colour);
        choice.Mipmaps = false;
        choice.Dxt = DxtQuality::Fast;
        choice.DxtWorkers = 1;
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
