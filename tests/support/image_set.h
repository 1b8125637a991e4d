// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "image_files.h"

namespace vc::test {

// Smooth waves with a little hashed noise: neither flat nor random, like real textures. Each
// variant is another picture.
RgbColour PhotoLikeColour(int variant, int x, int y);

// Writes count square images of the given side into folder, cycling through 8-bit BMP, 24-bit
// BMP, colour JPEG and greyscale JPEG, with content that compresses like a photograph.
// Returns the paths in the order written.
std::vector<std::string> WriteImageSet(const std::string& folder, int count, int side);

// Writes the same set and, for every fourth image (the 24-bit bitmaps), an 8-bit grey mask, then a
// texture list naming every image with its mask. Returns the list's path.
std::string WriteImageSetWithMasks(const std::string& folder, int count, int side);

}  // namespace vc::test
