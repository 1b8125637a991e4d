// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "pixels/pixel_level.h"

namespace vc::bench {

// The picture a build takes from an image and its alpha image (none when alphaPath is empty): intake
// reads both and the alpha image's grey levels become the alpha, as for a texture of the list.
// Throws an Error when intake refuses either image.
PixelLevel LoadPicture(const std::string& path, const std::string& alphaPath);

}  // namespace vc::bench
