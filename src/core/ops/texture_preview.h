#pragma once

#include <optional>

#include "raster/texture_decoder.h"
#include "texlist/tex_file.h"

namespace vc {

// The picture an entry's texture will have in the dictionary, in 8-bit RGBA: its images are read
// afresh by an intake of its own, assembled into a dictionary of this one texture as a build does,
// read back and decoded. Only the paths, HasAlpha and the output format count; the names, the image
// info and the rest of the output are not looked at, and the power-of-two option is not applied (it
// decides whether an image is taken, not how it looks). Empty when an image cannot be read or the dictionary would
// leave the entry out (an unsupported image, an alpha image that does not fit): there is nothing to show then. Safe to
// run on several threads at once, each with its own entry.
std::optional<DecodedTexture> PreviewTexture(const TTexFile& entry);

}  // namespace vc
