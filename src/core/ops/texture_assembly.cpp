// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/texture_assembly.h"

#include <algorithm>
#include <iterator>
#include <string>

#include "io/byte_reader.h"
#include "io/error.h"
#include "ops/level_images.h"
#include "pixels/grey_level.h"
#include "pixels/mipmap_chain.h"
#include "pixels/palette_quantization.h"
#include "raster/texture_decoder.h"

namespace vc {

namespace {

std::array<uint8_t, 256> PaletteGreyLevels(const ConversionSlot& slot) {
    std::array<uint8_t, 256> levels{};
    for (size_t i = 0; i < levels.size(); ++i) {
        levels[i] = GreyLevel(LoadU32(&slot.PaletteBuf[4 * i]), ColourOrder::Palette);
    }
    return levels;
}

// An 8-bit texture takes its alpha from the alpha image's palette only: entry i of that palette
// gives the alpha of every pixel of colour index i.
void MergePaletteAlpha(ConversionSlot& colour, const ConversionSlot& alpha) {
    const std::array<uint8_t, 256> levels = PaletteGreyLevels(alpha);
    for (size_t i = 0; i < levels.size(); ++i) {
        colour.PaletteBuf[4 * i + 3] = levels[i];
    }
}

void MergePixelAlpha(ConversionSlot& colour, const ConversionSlot& alpha, uint8_t alphaDepth) {
    uint8_t* pixel = colour.PixelBuf.data();
    const size_t pixelCount = colour.PixelBuf.size() / 4;
    if (alphaDepth == 8) {
        const std::array<uint8_t, 256> levels = PaletteGreyLevels(alpha);
        for (size_t k = 0; k < pixelCount; ++k) {
            pixel[4 * k + 3] = levels[alpha.IndexBuf[k]];
        }
    } else {
        for (size_t k = 0; k < pixelCount; ++k) {
            pixel[4 * k + 3] = GreyLevel(LoadU32(&alpha.PixelBuf[4 * k]), ColourOrder::Pixel);
        }
    }
}

const std::vector<uint8_t>& PixelData(const ConversionSlot& slot, uint8_t depth) {
    return depth == 8 ? slot.IndexBuf : slot.PixelBuf;
}

// The pixel data must be as long as the image's size says, and an alpha image merged pixel by
// pixel must have as many pixels as the colour image.
void CheckPixelLengths(const TTexFile& entry, const ImageIntake& intake, const TImageInfo& colour,
                       const TImageInfo& alpha) {
    const std::string texture = "Texture \"" + entry.TexName + "\": ";
    const uint64_t expected = uint64_t{colour.Width} * colour.Height * (colour.Depth / 8);
    const size_t found = PixelData(intake.Slots[kColourSlot], colour.Depth).size();
    if (found != expected) {
        throw Error(ErrorKind::Malformed, texture + "its image has " + std::to_string(found) +
                                              " bytes of pixel data but the texture's size fields say " +
                                              std::to_string(expected) + "; nothing was written.");
    }
    if (entry.HasAlpha && colour.Depth == 32) {
        const uint64_t alphaExpected = uint64_t{colour.Width} * colour.Height * (alpha.Depth == 8 ? 1 : 4);
        const size_t alphaFound = PixelData(intake.Slots[kAlphaSlot], alpha.Depth).size();
        if (alphaFound != alphaExpected) {
            throw Error(ErrorKind::Malformed, texture + "its alpha image has " + std::to_string(alphaFound) +
                                                  " bytes of pixel data but " + std::to_string(alphaExpected) +
                                                  " were expected; nothing was written.");
        }
    }
}

// The slot's picture as 32-bit pixels, taken over from the slot; an 8-bit picture is looked up in
// its palette.
PixelLevel TopLevel(ConversionSlot& slot, const TImageInfo& colour) {
    PixelLevel top{colour.Width, colour.Height, {}};
    if (colour.Depth == 32) {
        top.Bgra = std::move(slot.PixelBuf);
        return top;
    }
    top.Bgra.resize(slot.IndexBuf.size() * 4);
    for (size_t k = 0; k < slot.IndexBuf.size(); ++k) {
        const uint8_t* entry = &slot.PaletteBuf[4 * size_t{slot.IndexBuf[k]}];
        top.Bgra[4 * k] = entry[2];
        top.Bgra[4 * k + 1] = entry[1];
        top.Bgra[4 * k + 2] = entry[0];
        top.Bgra[4 * k + 3] = entry[3];
    }
    return top;
}

// Levels stored ready for the texture are written as they are, all of them.
TextureRaster StoredRaster(ConversionSlot& slot, const TImageInfo& colour, TextureFormat format) {
    return {format, colour.Width, colour.Height, slot.PaletteBuf, std::move(slot.StoredLevels)};
}

bool IndicesBelow(std::span<const uint8_t> indices, size_t colours) {
    return std::all_of(indices.begin(), indices.end(), [colours](uint8_t index) { return index < colours; });
}

// A paletted image written paletted keeps its palette and its picture. The levels below come from
// the level images read for them, else they are made and take the nearest colours, the entries the
// picture does not use going to colours only the lower levels have.
TextureRaster PalettedRaster(ConversionSlot& slot, const TTexFile& entry, const TImageInfo& colour,
                             const RasterChoice& choice) {
    const size_t colours = PaletteColours(choice.Format);
    TextureRaster raster{choice.Format, colour.Width, colour.Height, slot.PaletteBuf, {}};
    if (choice.Format == TextureFormat::Pal4) {
        const std::vector<uint8_t>& tail = entry.Output.PaletteTail;
        const auto tailStart = raster.Palette.begin() + static_cast<std::ptrdiff_t>(4 * colours);
        std::fill_n(tailStart, kPal4PaletteTail, uint8_t{0});
        std::copy_n(tail.begin(), std::min(tail.size(), kPal4PaletteTail), tailStart);
    }
    if (!slot.LowerLevels.empty()) {
        raster.Levels.push_back(std::move(slot.IndexBuf));
        std::move(slot.LowerLevels.begin(), slot.LowerLevels.end(), std::back_inserter(raster.Levels));
        return raster;
    }
    if (choice.Mipmaps) {
        const std::vector<PixelLevel> lower = MipmapLevels(TopLevel(slot, colour), MipmapFilter::GammaCorrect);
        std::vector<std::vector<uint8_t>> indices = IndexLowerLevels(raster.Palette, colours, slot.IndexBuf, lower);
        raster.Levels.push_back(std::move(slot.IndexBuf));
        std::move(indices.begin(), indices.end(), std::back_inserter(raster.Levels));
        return raster;
    }
    raster.Levels.push_back(std::move(slot.IndexBuf));
    return raster;
}

}  // namespace

bool LoadEntryImages(ImageIntake& intake, const TTexFile& entry, bool pwr2lmt, TImageInfo& colour, TImageInfo& alpha) {
    const IntakeRules rules = EntryRules(entry.Output, pwr2lmt);
    if (!intake.ReadImageFile(entry.TexPath, kColourSlot, true, rules, colour)) {
        return false;
    }
    // Level images stand for the levels of a paletted picture written paletted.
    const std::optional<TextureFormat> format = entry.Output.Format;
    if (!entry.Output.LevelPaths.empty() && colour.Depth == 8 && format && IsPaletted(*format) &&
        !ReadLevelImages(intake, entry, colour, PaletteColours(*format))) {
        return false;
    }
    if (!entry.HasAlpha) {
        return true;
    }
    return intake.ReadImageFile(entry.AlphaPath, kAlphaSlot, true, rules, alpha) && entry.TexName != entry.AlphaName &&
           CheckAlphaFit(colour, alpha) == AlphaFit::Fits;
}

TextureRaster AssembleRaster(ImageIntake& intake, const TTexFile& entry, const TImageInfo& colour,
                             const TImageInfo& alpha, RasterChoice choice) {
    ConversionSlot& slot = intake.Slots[kColourSlot];
    if (colour.StoredFormat && !slot.StoredLevels.empty()) {
        const bool asStored = !entry.HasAlpha && choice.Format == *colour.StoredFormat &&
                              (!choice.Mipmaps || slot.StoredLevels.size() > 1);
        if (asStored) {
            return StoredRaster(slot, colour, choice.Format);
        }
        // Levels of their own are not lost to another format: the texture gets a chain of its own.
        choice.Mipmaps = choice.Mipmaps || slot.StoredLevels.size() > 1;
        // Anything else starts from the picture, decoded; a paletted one is in the slot already.
        if (colour.Depth == 32) {
            slot.PixelBuf = DecodeLevelBgra({.Format = *colour.StoredFormat,
                                             .Width = colour.Width,
                                             .Height = colour.Height,
                                             .Pixels = slot.StoredLevels.front()});
        }
    }
    CheckPixelLengths(entry, intake, colour, alpha);
    if (entry.HasAlpha) {
        if (colour.Depth == 8) {
            MergePaletteAlpha(slot, intake.Slots[kAlphaSlot]);
        } else {
            MergePixelAlpha(slot, intake.Slots[kAlphaSlot], alpha.Depth);
        }
    }
    const bool paletted = colour.Depth == 8;
    if (paletted && IsPaletted(choice.Format) && IndicesBelow(slot.IndexBuf, PaletteColours(choice.Format))) {
        return PalettedRaster(slot, entry, colour, choice);
    }
    const bool ownBytes = !entry.HasAlpha && !colour.HasAlpha;  // every alpha byte of the slot is 255
    if (!choice.Mipmaps && !paletted &&
        (choice.Format == TextureFormat::C8888 || (choice.Format == TextureFormat::C888 && ownBytes))) {
        TextureRaster raster{choice.Format, colour.Width, colour.Height, {}, {}};
        raster.Levels.push_back(std::move(slot.PixelBuf));
        return raster;
    }
    return MakeRaster(TopLevel(slot, colour), choice);
}

}  // namespace vc
