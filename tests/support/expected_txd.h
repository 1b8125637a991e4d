// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vc::test {

// One texture as a dictionary should hold it: images given by path, names as written.
struct ExpectedTexture {
    std::string Name;
    std::string ColourPath;
    std::string MaskName;   // empty without alpha
    std::string AlphaPath;  // empty without alpha
};

// Assembles, field by field and independently of the builder, the dictionary that the given
// textures must produce: a reference to compare built dictionaries with byte for byte.
std::vector<uint8_t> ExpectedDictionary(const std::vector<ExpectedTexture>& textures, uint32_t versionStamp,
                                        uint32_t flagWord);

}  // namespace vc::test
