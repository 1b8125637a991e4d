// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

#include "raster/texture_decoder.h"
#include "rw/txd_reader.h"

namespace vc {

// Decodes the picture of a texture that ReadTxd read from file (the same bytes). Throws an Error
// with the texture's Problem when its content could not be read.
DecodedTexture DecodeTexture(std::span<const uint8_t> file, const TxdTexture& texture);

}  // namespace vc
