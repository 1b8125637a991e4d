// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "model_chunks.h"
#include "raster/texture_format.h"

namespace vc::test {

// One level in format's stored layout, read back through the dictionary reader and the decoder as
// the only level of a Direct3D 8 texture native; palette for PAL8 only (entries carry alpha).
// Returns blue, green, red, alpha per pixel, like the pixels the level was made from.
Bytes DecodeStoredLevel(TextureFormat format, uint16_t width, uint16_t height, const Bytes& pixels,
                        const Bytes& palette = {});

// Peak signal-to-noise ratio in dB between two pictures of 4-byte pixels over the first channels
// bytes of each pixel (3: colour without alpha); infinity where they are equal.
double Psnr(std::span<const uint8_t> a, std::span<const uint8_t> b, size_t channels);

}  // namespace vc::test
