// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/level_images.h"

#include <algorithm>
#include <memory>
#include <string>

#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "raster/texture_format.h"
#include "texlist/image_kinds.h"

namespace vc {

namespace {

std::string Quoted(std::string_view path) {
    return "\"" + std::string(FileNamePart(path)) + "\"";
}

// The level's indices when the image fits it: paletted, of its size, each index among the colours;
// empty otherwise. sameColours tells whether the image's palette agrees with the picture's.
std::vector<uint8_t> LevelIndices(std::string_view path, uint32_t width, uint32_t height, size_t colours,
                                  const std::array<uint8_t, 1024>& picturePalette, bool& sameColours) {
    const std::vector<uint8_t> bytes = ReadWholeFile(path);
    const ImageKind kind =
        KindOfContent(bytes, KindOfExtension(LowerAscii(FileExtension(path))).value_or(ImageKind::Bmp));
    const auto open = InfoOf(kind).Open;
    if (open == nullptr) {
        return {};  // a stored texture, no paletted picture
    }
    const std::unique_ptr<ImageDecoder> decoder = open(bytes);
    const BitmapInfo& info = decoder->Info();
    if (!info.HasPalette || info.BitsPerPixel > 8 || info.Width != width || info.Height != height) {
        return {};
    }
    DecodedPixels pixels = decoder->LoadPixels();
    if (!std::all_of(pixels.Raster.begin(), pixels.Raster.end(), [&](uint8_t index) { return index < colours; })) {
        return {};
    }
    sameColours = true;
    for (size_t i = 0; i < std::min(colours, pixels.Palette.size()); ++i) {
        const RgbColour& own = pixels.Palette[i];
        sameColours = sameColours &&
                      own == RgbColour{picturePalette[4 * i], picturePalette[4 * i + 1], picturePalette[4 * i + 2]};
    }
    return std::move(pixels.Raster);
}

}  // namespace

bool ReadLevelImages(ImageIntake& intake, const TTexFile& entry, const TImageInfo& colour, size_t colours) {
    const std::vector<std::string>& paths = entry.Output.LevelPaths;
    ConversionSlot& slot = intake.Slots[kColourSlot];
    const uint32_t below = FullChainLevels(colour.Width, colour.Height) - 1;
    if (paths.size() > below) {
        return intake.Refuse(entry.TexPath, "\r\n\tThe list names " + std::to_string(paths.size()) +
                                                " level images; a " + std::to_string(colour.Width) + "×" +
                                                std::to_string(colour.Height) + " picture has " +
                                                std::to_string(below) + " levels below it.");
    }
    std::string problems;
    std::string notices;
    for (uint32_t level = 1; level <= paths.size(); ++level) {
        const std::string& path = paths[level - 1];
        if (!IsExistingFile(path)) {
            problems += "\r\n\tLevel image " + Quoted(path) + " does not exist.";
            continue;
        }
        const uint32_t width = LevelSide(colour.Width, level);
        const uint32_t height = LevelSide(colour.Height, level);
        bool sameColours = false;
        std::vector<uint8_t> indices;
        try {
            indices = LevelIndices(path, width, height, colours, slot.PaletteBuf, sameColours);
        } catch (const Error& error) {
            throw Error(error.Kind(), "\"" + path + "\": " + error.what());
        }
        if (indices.empty()) {
            problems += "\r\n\tLevel image " + Quoted(path) + " must be a paletted image of " + std::to_string(width) +
                        "×" + std::to_string(height) + " pixels whose indices lie among the texture's " +
                        std::to_string(colours) + " colours.";
        } else if (!sameColours) {
            notices += "\r\n\tLevel image " + Quoted(path) +
                       " has other colours than the picture: its indices are read over the picture's palette.";
        }
        slot.LowerLevels.push_back(std::move(indices));
    }
    if (!problems.empty()) {
        return intake.Refuse(entry.TexPath, problems);
    }
    if (!notices.empty()) {
        intake.ProblemText += "\r\n\r\n=> " + Quoted(entry.TexPath) + ":" + notices;
    }
    return true;
}

}  // namespace vc
