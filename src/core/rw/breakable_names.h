// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace vc {

// The names one material of a San Andreas breakable object gives its pieces: the texture and its
// mask, each as the file holds it up to its first zero.
struct BreakableMaterial {
    std::string_view Texture;
    std::string_view Mask;
};

// The materials of a breakable object's payload (the Rockstar chunk 0x0253F2FD of a geometry's
// extension): a 4-byte marker, which is 0 for a model that does not break; otherwise a 52-byte
// header with the counts of vertices, triangles and materials, the vertices (position, texture
// coordinates, colour), the triangles (three indices and a material), and per material a 32-byte
// texture name, a 32-byte mask name and an ambient colour of three floats. San Andreas reads those
// textures from the model's dictionary when it loads the model. None when the payload does not
// follow that layout to its last byte.
std::optional<std::vector<BreakableMaterial>> BreakableMaterials(std::span<const uint8_t> payload);

}  // namespace vc
