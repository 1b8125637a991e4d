// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include "raster/texture_decoder.h"
#include "texlist/tex_file.h"

namespace vc {

// The picture an entry's texture will have in the dictionary, in 8-bit RGBA: its images are read
// afresh by an intake of its own and made into the texture's first level as a build makes it, on
// the calling thread alone, DXT with the fast fit (the preview is small; the other cores stay free).
// Only the paths, HasAlpha and the output format count, and the power-of-two option is not applied
// (it decides whether an image is taken, not how it looks). Empty when an image cannot be read or a
// build would leave the entry out (an unsupported image, an alpha image that does not fit). Safe to
// run on several threads at once, each with its own entry.
std::optional<DecodedTexture> PreviewTexture(const TTexFile& entry);

// How much of a texture a preview shows.
enum class PreviewDepth { Picture, AllLevels };

// The same with the levels below the picture when asked for and the entry has them (made as the
// build makes them, or its level images and a DDS file's own levels); empty when PreviewTexture
// would be.
std::vector<DecodedTexture> PreviewLevels(const TTexFile& entry, PreviewDepth depth);

}  // namespace vc
