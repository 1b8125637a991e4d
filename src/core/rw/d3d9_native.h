#pragma once

#include "rw/native_header.h"

namespace vc {

// Direct3D 9 texture natives, as San Andreas reads them: the surface format code (or FourCC) after
// the raster format, and a flags byte after the raster type (alpha, cube texture, automatic
// mipmaps, compressed). Palettes are told by the raster format, and so are the formats of writers
// that leave the surface format 0.
extern const NativeLayout kD3d9Layout;

}  // namespace vc
