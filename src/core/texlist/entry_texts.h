// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "texlist/tex_file.h"

namespace vc {

// "256 × 128"
std::string DimensionsText(const TImageInfo& info);
// "8bit paletted" or "32bit"
std::string FormatText(const TImageInfo& info);
// The format the entry is written in: FormatText for an image written as it is, the format's name
// ("DXT1") when the entry or its image (a DDS file's own format) names one, and kMipmapsSuffix
// after it when mipmaps are made.
std::string OutputFormatText(const TTexFile& entry);
constexpr const char* kMipmapsSuffix = " + mips";  // short: "DXT1 + mips" fits the table's narrow column
// Whether the entry's alpha comes from its colour image's own alpha: it has no alpha image and
// has not been told to leave the image's alpha out.
bool UsesImageAlpha(const TTexFile& entry);
// The multi-line description of the entry shown in row (counted from 1), lines joined by CR LF:
// output size and format (named as OutputFormatText names it once a format or mipmaps are set),
// then the name with its source depth and the path, and the same for the alpha image when there is
// one.
std::string DetailText(const TTexFile& entry, size_t row);

}  // namespace vc
