#pragma once

#include <string>
#include <vector>

namespace vc::test {

// Writes count square images of the given side into folder, cycling through 8-bit BMP, 24-bit
// BMP, colour JPEG and greyscale JPEG, with content that compresses like a photograph.
// Returns the paths in the order written.
std::vector<std::string> WriteImageSet(const std::string& folder, int count, int side);

// Writes the same set and, for every fourth image (the 24-bit bitmaps), an 8-bit grey mask, then a
// texture list naming every image with its mask. Returns the list's path.
std::string WriteImageSetWithMasks(const std::string& folder, int count, int side);

}  // namespace vc::test
