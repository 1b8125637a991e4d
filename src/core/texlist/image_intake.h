// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "raster/dds_file.h"
#include "texlist/tex_file.h"

namespace vc {

// Slot 0 holds a texture's colour image, slot 1 its alpha image.
constexpr size_t kColourSlot = 0;
constexpr size_t kAlphaSlot = 1;

// The largest raster a texture can carry: its 32-bit size fields must also cover the palette and
// the fixed fields around it.
constexpr uint64_t kMaxRasterBytes = 0xFFFFFFFFull - 2048;

// Pixels of one loaded image, rows from the top down, each row left to right, no padding.
struct ConversionSlot {
    std::vector<uint8_t> PixelBuf;           // 32-bit pixels: blue, green, red, alpha
    std::vector<uint8_t> IndexBuf;           // 8-bit palette indices
    std::array<uint8_t, 1024> PaletteBuf{};  // 256 entries: red, green, blue, alpha
    // Images stored ready for a texture (DDS): each level as stored, the picture first. A paletted
    // one also fills IndexBuf and PaletteBuf; the pixels of the others are decoded only when the
    // texture is not written as it is stored.
    std::vector<std::vector<uint8_t>> StoredLevels;
    // A paletted picture's levels below it, read from level images of their own: indices over the
    // picture's palette.
    std::vector<std::vector<uint8_t>> LowerLevels;
};

// The sides an image must have: a new texture's (multiples of 4, at least 4 × 4, and with the
// power-of-two option powers of two), or any up to 65535 for an image that keeps the size its
// texture had in a dictionary.
enum class SizeRules { MultipleOfFour, PowerOfTwo, Kept };

constexpr SizeRules NewTextureSides(bool pwr2lmt) {
    return pwr2lmt ? SizeRules::PowerOfTwo : SizeRules::MultipleOfFour;
}

// Whether sides of width × height (up to 65535) meet the rules.
bool MeetsSizeRules(uint32_t width, uint32_t height, SizeRules rules);

// What an image must be to be taken: sides by the size rules, and 8-bit paletted or 24-bit, or
// paletted in fewer bits where small palettes are taken (for a PAL4 texture).
struct IntakeRules {
    SizeRules Sides = SizeRules::PowerOfTwo;
    bool SmallPalettes = false;
};

constexpr IntakeRules NewTextureRules(bool pwr2lmt) {
    return {.Sides = NewTextureSides(pwr2lmt)};
}

// The rules for an entry's images: its own choices (a kept size, a PAL4 format), else a new
// texture's.
IntakeRules EntryRules(const TextureOutput& output, bool pwr2lmt);

// What intake makes of a DDS file: its size, 8 (paletted) or 32 as its depth, whether it has alpha
// (its alpha flag, or a palette entry less than opaque), and its format, which a texture keeps.
TImageInfo StoredImageInfo(const DdsImage& dds);

// Image intake: decides whether an image file is a usable texture source and, for a build, loads
// its pixels. Every refused file leaves its problem block in ProblemText.
class ImageIntake {
  public:
    // Returns true when the file is accepted. info is filled whenever the image could be read,
    // also when a later check refuses it. Throws an Error when the file cannot be read or decoded.
    bool ReadImageFile(std::string_view path, size_t slot, bool loadPixels, IntakeRules rules, TImageInfo& info);
    // Empties the pixel and index arrays of both slots.
    void ReleaseBuffers();
    // Appends the file's problem block (its name, then the problem lines); false.
    bool Refuse(std::string_view path, const std::string& problems);

    std::string ProblemText;
    std::array<ConversionSlot, 2> Slots;
    // Without pixels, intake still reads through the image data so that a damaged file fails at
    // once. A caller that loads every image right afterwards (a build from the command line) may
    // switch this off: the damage then shows as the same error during the build.
    bool VerifyData = true;
};

}  // namespace vc
