// SPDX-License-Identifier: GPL-3.0-or-later
#include "source_picture.h"

#include "io/error.h"
#include "ops/texture_assembly.h"
#include "texlist/image_intake.h"

namespace vc::bench {

namespace {

void Read(ImageIntake& intake, const std::string& path, size_t slot, TImageInfo& info) {
    if (!intake.ReadImageFile(path, slot, true, vc::IntakeRules{}, info)) {
        throw Error(ErrorKind::Malformed, path + " is refused:\n" + intake.ProblemText);
    }
}

}  // namespace

PixelLevel LoadPicture(const std::string& path, const std::string& alphaPath) {
    ImageIntake intake;
    const TTexFile entry{
        .TexName = "t", .TexPath = path, .AlphaName = "ta", .AlphaPath = alphaPath, .HasAlpha = !alphaPath.empty()};
    TImageInfo colour;
    TImageInfo alpha;
    Read(intake, path, kColourSlot, colour);
    if (entry.HasAlpha) {
        Read(intake, alphaPath, kAlphaSlot, alpha);
    }
    TextureRaster raster = AssembleRaster(intake, entry, colour, alpha, {.Format = TextureFormat::C8888});
    return {colour.Width, colour.Height, std::move(raster.Levels.front())};
}

}  // namespace vc::bench
