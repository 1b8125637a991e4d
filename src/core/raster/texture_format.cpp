// SPDX-License-Identifier: GPL-3.0-or-later
#include "raster/texture_format.h"

#include <algorithm>

namespace vc {

std::string_view TextureFormatName(TextureFormat format) {
    switch (format) {
        case TextureFormat::Pal8:
            return "PAL8";
        case TextureFormat::Pal4:
            return "PAL4";
        case TextureFormat::C8888:
            return "8888";
        case TextureFormat::C888:
            return "888";
        case TextureFormat::C1555:
            return "1555";
        case TextureFormat::C565:
            return "565";
        case TextureFormat::C4444:
            return "4444";
        case TextureFormat::C555:
            return "555";
        case TextureFormat::Lum8:
            return "LUM8";
        case TextureFormat::Dxt1:
            return "DXT1";
        case TextureFormat::Dxt3:
            return "DXT3";
        case TextureFormat::Dxt5:
            return "DXT5";
    }
    return "?";
}

bool IsPaletted(TextureFormat format) {
    return format == TextureFormat::Pal8 || format == TextureFormat::Pal4;
}

size_t PaletteColours(TextureFormat format) {
    return format == TextureFormat::Pal8 ? 256 : format == TextureFormat::Pal4 ? 16 : 0;
}

size_t StoredPaletteSize(TextureFormat format) {
    // Direct3D palettes of PAL4 rasters hold 32 entries, of which the first 16 are used.
    return format == TextureFormat::Pal8 ? 4 * 256 : format == TextureFormat::Pal4 ? 4 * 32 : 0;
}

bool CarriesAlpha(TextureFormat format) {
    return format != TextureFormat::C888 && format != TextureFormat::C565 && format != TextureFormat::C555 &&
           format != TextureFormat::Lum8;
}

bool IsBlockCompressed(TextureFormat format) {
    return format == TextureFormat::Dxt1 || format == TextureFormat::Dxt3 || format == TextureFormat::Dxt5;
}

uint64_t LevelSize(TextureFormat format, uint32_t width, uint32_t height) {
    const uint64_t pixels = uint64_t{width} * height;
    const uint64_t blocks = (uint64_t{width} + 3) / 4 * ((uint64_t{height} + 3) / 4);
    switch (format) {
        case TextureFormat::Pal8:
        case TextureFormat::Pal4:
        case TextureFormat::Lum8:
            return pixels;
        case TextureFormat::C1555:
        case TextureFormat::C565:
        case TextureFormat::C4444:
        case TextureFormat::C555:
            return 2 * pixels;
        case TextureFormat::C8888:
        case TextureFormat::C888:
            return 4 * pixels;
        case TextureFormat::Dxt1:
            return 8 * blocks;
        case TextureFormat::Dxt3:
        case TextureFormat::Dxt5:
            return 16 * blocks;
    }
    return 0;
}

uint32_t LevelSide(uint32_t side, uint32_t level) {
    return level < 32 ? std::max(side >> level, 1u) : 1;
}

uint32_t FullChainLevels(uint32_t width, uint32_t height) {
    uint32_t levels = 1;
    for (uint32_t side = std::max(width, height); side > 1; side /= 2) {
        ++levels;
    }
    return levels;
}

}  // namespace vc
