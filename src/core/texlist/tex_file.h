// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "raster/texture_format.h"
#include "texlist/texture_output.h"

namespace vc {

// Size and depth of an image as intake last read it.
struct TImageInfo {
    uint16_t Height = 0;
    uint16_t Width = 0;
    uint8_t Depth = 0;      // 8 for paletted, 32 for 24-bit sources (written as 32-bit), 0 for anything else
    bool HasAlpha = false;  // the image carries its own alpha: an alpha channel or transparent colours
    // Images whose levels are stored ready for a texture (DDS): their format, written as it is.
    std::optional<TextureFormat> StoredFormat;

    bool operator==(const TImageInfo&) const = default;
};

// How an alpha image fits a colour image: it must have the same size, and its depth must not be
// above the colour image's (an 8-bit texture takes its alpha from a palette).
enum class AlphaFit { Fits, OtherSize, DeeperThanColour };

constexpr AlphaFit CheckAlphaFit(const TImageInfo& colour, const TImageInfo& alpha) {
    if (alpha.Width != colour.Width || alpha.Height != colour.Height) {
        return AlphaFit::OtherSize;
    }
    return alpha.Depth > colour.Depth ? AlphaFit::DeeperThanColour : AlphaFit::Fits;
}

// One entry of the texture list. AlphaName and AlphaPath are empty while HasAlpha is false:
// HasAlpha says that an alpha image is set, the colour image's own alpha aside.
struct TTexFile {
    std::string TexName;
    std::string TexPath;
    std::string AlphaName;
    std::string AlphaPath;
    TImageInfo TexInfo;
    TImageInfo AlphaInfo;
    bool HasAlpha = false;
    TextureOutput Output;

    bool operator==(const TTexFile&) const = default;
};

// The texture list: its order is the table order, the list-file order and the order of the
// textures in a built dictionary.
using TextureList = std::vector<TTexFile>;

}  // namespace vc
