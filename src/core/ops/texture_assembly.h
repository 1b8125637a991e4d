#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "raster/dxt_compression.h"
#include "raster/texture_format.h"
#include "rw/txd_format.h"
#include "texlist/image_intake.h"
#include "texlist/tex_file.h"

namespace vc {

// A texture as its texture native holds it, apart from its names and flag word.
struct TextureRaster {
    TextureFormat Format = TextureFormat::C8888;
    uint16_t Width = 0;
    uint16_t Height = 0;
    std::array<uint8_t, kPaletteSize> Palette{};  // PAL8 only: red, green, blue, alpha per entry
    std::vector<std::vector<uint8_t>> Levels;     // the picture first, each level half the one above
};

// What the texture is to become: its format and whether it gets a full chain of levels.
struct RasterChoice {
    TextureFormat Format = TextureFormat::C8888;
    bool Mipmaps = false;
    DxtQuality Dxt = DxtQuality::Best;
    unsigned DxtWorkers = DxtWorkerCount();  // threads sharing each level's DXT blocks
};

// Makes the raster of an entry whose images intake has just read into its slots: merges the
// alpha image's levels into the colour slot when the entry has one, then converts the pixels to
// the chosen format. Pixels that are already in that format are taken over from the slot, not
// copied. Throws an Error when the slot does not hold as many pixels as the image info says.
TextureRaster AssembleRaster(ImageIntake& intake, const TTexFile& entry, const TImageInfo& colour,
                             const TImageInfo& alpha, const RasterChoice& choice);

}  // namespace vc
