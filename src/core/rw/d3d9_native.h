// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rw/native_header.h"

namespace vc {

// Direct3D 9 texture natives, as San Andreas reads them: the surface format code (or FourCC) after
// the raster format, and a flags byte after the raster type (alpha, cube texture, automatic
// mipmaps, compressed). Palettes are told by the raster format, and so are the formats of writers
// that leave the surface format 0.
extern const NativeLayout kD3d9Layout;

// What a Direct3D 9 native of a format says of it, as San Andreas' own dictionaries do: the surface
// format code (P8 for both palettes, the FourCC for DXT), and the flags byte's alpha and
// compressed bits.
uint32_t D3d9FormatCode(TextureFormat format);
uint8_t D3d9FlagsOf(TextureFormat format, bool alphaFlag);

}  // namespace vc
