// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/image_intake.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>

#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "pixels/image_decoder.h"
#include "raster/dds_file.h"
#include "raster/texture_decoder.h"
#include "texlist/image_kinds.h"

namespace vc {

namespace {

constexpr uint32_t kLargestSide = 65535;

// 24-bit images, and 32-bit ones with their own alpha, become 32-bit textures; paletted images of
// fewer bits are taken as 8-bit ones where the rules allow.
uint8_t DepthOf(const BitmapInfo& bitmap, const IntakeRules& rules) {
    switch (bitmap.BitsPerPixel) {
        case 1:
        case 2:
        case 4:
            return rules.SmallPalettes && bitmap.HasPalette ? 8 : 0;
        case 8:
            return 8;
        case 24:
            return 32;
        case 32:
            return bitmap.HasAlpha ? 32 : 0;
        default:
            return 0;
    }
}

std::string Dimensions(uint32_t width, uint32_t height) {
    return "(" + std::to_string(width) + "×" + std::to_string(height) + ")";
}

bool DivisibleByFour(uint32_t width, uint32_t height) {
    return width % 4 == 0 && height % 4 == 0;
}

bool PowersOfTwo(uint32_t width, uint32_t height) {
    return std::has_single_bit(width) && std::has_single_bit(height);
}

bool AtLeastFour(uint32_t width, uint32_t height) {
    return width >= 4 && height >= 4;
}

// The refusal lines for an image of the given size and form, in the order they are reported.
std::string SizeAndFormatProblems(const BitmapInfo& bitmap, uint8_t depth, SizeRules rules) {
    const uint32_t width = bitmap.Width;
    const uint32_t height = bitmap.Height;
    if (width == 0 || height == 0) {
        return "\r\n\tFile is no (correct) image file or could not be read.";
    }
    if (width > kLargestSide || height > kLargestSide) {
        return "\r\n\tImage dimensions " + Dimensions(width, height) + " exceed the largest texture size (65535).";
    }
    std::string problems;
    const bool kept = rules == SizeRules::Kept;
    if (!kept && !DivisibleByFour(width, height)) {
        problems += "\r\n\tImage dimensions " + Dimensions(width, height) + " aren't divisible by 4.";
    }
    if (rules == SizeRules::PowerOfTwo && !PowersOfTwo(width, height)) {
        problems += "\r\n\tImage dimensions " + Dimensions(width, height) + " aren't a power of 2 (see readme).";
    }
    if (!kept && !AtLeastFour(width, height)) {
        problems += "\r\n\tImage dimensions " + Dimensions(width, height) + " must be at least 4×4.";
    }
    if ((depth != 8 && depth != 32) || (depth == 8 && !bitmap.HasPalette) || (depth == 32 && bitmap.HasPalette)) {
        problems += "\r\n\tImage format is neither 8 paletted nor 24 bit.";
    }
    return problems;
}

// The image's own alpha goes where the texture keeps it: into the alpha byte of each pixel, or of
// each palette entry (every pixel of an entry has the same alpha in the images read as 8-bit).
void FillSlot(ConversionSlot& slot, DecodedPixels pixels, uint8_t depth) {
    // Entries past the image's own palette stay black, and every entry is opaque.
    const size_t entries = std::min<size_t>(pixels.Palette.size(), 256);
    for (size_t i = 0; i < 256; ++i) {
        const RgbColour colour = i < entries ? pixels.Palette[i] : RgbColour{};
        slot.PaletteBuf[4 * i] = colour.Red;
        slot.PaletteBuf[4 * i + 1] = colour.Green;
        slot.PaletteBuf[4 * i + 2] = colour.Blue;
        slot.PaletteBuf[4 * i + 3] = 255;
    }
    if (depth == 8) {
        for (size_t k = 0; k < pixels.Alpha.size(); ++k) {
            slot.PaletteBuf[4 * size_t{pixels.Raster[k]} + 3] = pixels.Alpha[k];
        }
        slot.IndexBuf = std::move(pixels.Raster);
        slot.PixelBuf = {};
    } else {
        for (size_t k = 0; k < pixels.Alpha.size(); ++k) {
            pixels.Raster[4 * k + 3] = pixels.Alpha[k];
        }
        slot.PixelBuf = std::move(pixels.Raster);
        slot.IndexBuf = {};
    }
}

// Decoder errors name the file, since a batch may hold hundreds; so does running out of memory
// while an image is decoded.
template <typename Step>
auto NamingFile(std::string_view path, Step step) {
    try {
        return step();
    } catch (const Error& error) {
        throw Error(error.Kind(), "\"" + std::string(path) + "\": " + error.what());
    } catch (const std::bad_alloc&) {
        throw Error(ErrorKind::OutOfMemory, "\"" + std::string(path) + "\": not enough memory to load the image");
    }
}

// A DDS file as intake sees it: paletted files as 8-bit images, the rest as 32-bit ones.
BitmapInfo DdsBitmapInfo(const DdsImage& dds) {
    BitmapInfo bitmap;
    bitmap.Width = dds.Width;
    bitmap.Height = dds.Height;
    bitmap.HasPalette = dds.Format == TextureFormat::Pal8;
    bitmap.BitsPerPixel = bitmap.HasPalette ? 8 : 24;
    // A palette has alpha when any entry is less than opaque; other formats say so in their flags.
    bitmap.HasAlpha = dds.AlphaPixels;
    for (size_t i = 3; i < dds.Palette.size(); i += 4) {
        bitmap.HasAlpha = bitmap.HasAlpha || dds.Palette[i] != 255;
    }
    return bitmap;
}

// The levels go into the slot as they are stored. An alpha image is merged pixel by pixel, so a
// DDS in the alpha slot is decoded at once.
void FillStoredSlot(ConversionSlot& slot, DdsImage dds, bool alphaSlot) {
    slot.PixelBuf = {};
    slot.IndexBuf = {};
    if (dds.Format == TextureFormat::Pal8) {
        std::copy(dds.Palette.begin(), dds.Palette.end(), slot.PaletteBuf.begin());
        slot.IndexBuf = dds.Levels.front();
    } else if (alphaSlot) {
        slot.PixelBuf = DecodeLevelBgra({.Format = dds.Format,
                                         .Width = static_cast<uint16_t>(dds.Width),
                                         .Height = static_cast<uint16_t>(dds.Height),
                                         .Pixels = dds.Levels.front()});
    }
    slot.StoredLevels = alphaSlot ? std::vector<std::vector<uint8_t>>{} : std::move(dds.Levels);
}

}  // namespace

bool MeetsSizeRules(uint32_t width, uint32_t height, SizeRules rules) {
    switch (rules) {
        case SizeRules::MultipleOfFour:
            return DivisibleByFour(width, height) && AtLeastFour(width, height);
        case SizeRules::PowerOfTwo:
            return DivisibleByFour(width, height) && AtLeastFour(width, height) && PowersOfTwo(width, height);
        case SizeRules::Kept:
            return true;
    }
    return false;
}

IntakeRules EntryRules(const TextureOutput& output, bool pwr2lmt) {
    return {.Sides = output.KeepSize ? SizeRules::Kept : NewTextureSides(pwr2lmt),
            .SmallPalettes = output.Format == TextureFormat::Pal4};
}

TImageInfo StoredImageInfo(const DdsImage& dds) {
    const BitmapInfo bitmap = DdsBitmapInfo(dds);
    return {.Height = static_cast<uint16_t>(dds.Height),
            .Width = static_cast<uint16_t>(dds.Width),
            .Depth = DepthOf(bitmap, {}),
            .HasAlpha = bitmap.HasAlpha,
            .StoredFormat = dds.Format};
}

bool ImageIntake::ReadImageFile(std::string_view path, size_t slot, bool loadPixels, IntakeRules rules,
                                TImageInfo& info) {
    const std::string ext = LowerAscii(FileExtension(path));
    const std::optional<ImageKind> named = KindOfExtension(ext);
    std::string problems;
    if (!IsExistingFile(path)) {
        // Asked only of a path that is no file, so that every image read costs one look at its name.
        if (IsExistingFolder(path)) {
            return Refuse(path, "\r\n\tIs a folder, not an image file; Vellumcraft reads " + ImageExtensionList() +
                                    ", .txt and .txd files.");
        }
        problems += "\r\n\tFile does not exist.";
    }
    if (!named) {
        problems += "\r\n\tFile extension " + ext + " is not supported. (*.bmp; *.jpg; *.jpe; *.jpeg; *.txt)";
    }
    if (!problems.empty()) {
        return Refuse(path, problems);
    }
    // Without pixels or a read-through, a bitmap's headers tell all that is needed.
    const bool headersOnly = *named == ImageKind::Bmp && !loadPixels && !VerifyData;
    FileStart file = headersOnly ? ReadFileStart(path, kBmpHeadersSize) : FileStart{ReadWholeFile(path), 0};
    const ImageKind kind = KindOfContent(file.Bytes, *named);
    if (headersOnly && kind != ImageKind::Bmp) {
        file = {ReadWholeFile(path), 0};  // named as a bitmap, but something else
    }
    if (kind == ImageKind::Dds) {
        DdsImage dds = NamingFile(path, [&] { return ReadDds(file.Bytes); });
        info = StoredImageInfo(dds);
        if (slot == kAlphaSlot) {
            info.StoredFormat.reset();
        }
        problems = SizeAndFormatProblems(DdsBitmapInfo(dds), info.Depth, rules.Sides);
        if (loadPixels && problems.empty()) {
            FillStoredSlot(Slots.at(slot), std::move(dds), slot == kAlphaSlot);
        }
    } else {
        const std::unique_ptr<ImageDecoder> decoder = NamingFile(path, [&] {
            return kind == ImageKind::Bmp && headersOnly ? OpenBmpHeaders(file.Bytes, file.FileSize)
                                                         : InfoOf(kind).Open(file.Bytes);
        });
        const BitmapInfo& bitmap = decoder->Info();
        const bool fits = bitmap.Width <= kLargestSide && bitmap.Height <= kLargestSide;
        info.Width = fits ? static_cast<uint16_t>(bitmap.Width) : 0;
        info.Height = fits ? static_cast<uint16_t>(bitmap.Height) : 0;
        info.Depth = DepthOf(bitmap, rules);
        info.HasAlpha = bitmap.HasAlpha;
        problems = SizeAndFormatProblems(bitmap, info.Depth, rules.Sides);

        if (loadPixels && problems.empty()) {
            const uint64_t rasterBytes = uint64_t{info.Width} * info.Height * (info.Depth / 8);
            if (rasterBytes > kMaxRasterBytes) {
                throw Error(ErrorKind::Limit, "\"" + std::string(path) + "\": an image of " +
                                                  std::to_string(info.Width) + "×" + std::to_string(info.Height) +
                                                  " pixels is too large for a texture dictionary");
            }
            DecodedPixels pixels = NamingFile(path, [&] { return decoder->LoadPixels(); });
            info.HasAlpha = !pixels.Alpha.empty();
            FillSlot(Slots.at(slot), std::move(pixels), info.Depth);
        } else if (VerifyData) {
            // A damaged file fails the same way whether or not its pixels are wanted.
            NamingFile(path, [&] { decoder->Verify(); });
        }
    }
    return problems.empty() || Refuse(path, problems);
}

bool ImageIntake::Refuse(std::string_view path, const std::string& problems) {
    ProblemText += "\r\n\r\n=> \"" + std::string(FileNamePart(path)) + "\":" + problems;
    return false;
}

void ImageIntake::ReleaseBuffers() {
    for (ConversionSlot& slot : Slots) {
        slot.PixelBuf = {};
        slot.IndexBuf = {};
        slot.StoredLevels = {};
        slot.LowerLevels = {};
    }
}

}  // namespace vc
