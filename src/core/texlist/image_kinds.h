// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "pixels/image_decoder.h"

namespace vc {

// The kinds of image file intake reads.
enum class ImageKind { Bmp, Jpeg, Png, Tga, Dds };

struct ImageKindInfo {
    ImageKind Kind;
    std::string_view DialogName;                 // how the file dialogs name the kind
    std::array<std::string_view, 3> Extensions;  // lower case, dot included; the unused ones empty
    std::string_view Signature;                  // the first bytes of every such file; TGA has none
    // The decoder of the picture files; DDS files are stored textures, read as such.
    std::unique_ptr<ImageDecoder> (*Open)(std::span<const uint8_t> file);
};

// clang-format off
inline constexpr std::array<ImageKindInfo, 5> kImageKinds = {{
    {ImageKind::Bmp,  "8bit or 24bit Bitmaps", {".bmp"},                 "BM",                   OpenBmp},
    {ImageKind::Jpeg, "JPEG Images",           {".jpg", ".jpe", ".jpeg"}, "\xFF\xD8\xFF",          OpenJpeg},
    {ImageKind::Png,  "PNG Images",            {".png"},                 "\x89PNG\r\n\x1A\n",    OpenPng},
    {ImageKind::Tga,  "TGA Images",            {".tga"},                 "",                     OpenTga},
    {ImageKind::Dds,  "DDS Images",            {".dds"},                 "DDS ",                 nullptr},
}};
// clang-format on

// The most bytes of a file's start that KindOfContent looks at.
constexpr size_t kSignatureSize = 8;

// The kind an extension (lower case, dot included) names; empty when it names none.
std::optional<ImageKind> KindOfExtension(std::string_view extension);

// The kind a file is read as: the kind its first bytes prove (the extension's own kind when its
// bytes allow it), else the kind its extension names, whose reader then says what is wrong.
ImageKind KindOfContent(std::span<const uint8_t> start, ImageKind byExtension);

const ImageKindInfo& InfoOf(ImageKind kind);

// The filter of the file dialogs that pick images: every kind at once, then each kind alone, as
// "name|patterns" pairs joined by "|"; for adding to the list, texture lists (.txt) and
// dictionaries (.txd) too.
std::string ImageDialogFilter(bool forAdding);

// ".bmp, .jpg, .jpe, .jpeg, .png, .tga, .dds", for help texts.
std::string ImageExtensionList();

}  // namespace vc
