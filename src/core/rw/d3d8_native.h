// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rw/native_header.h"

namespace vc {

// Direct3D 8 texture natives, as GTA III and Vice City read them: the alpha flag after the raster
// format, and the DXT form's number (or 0) in the byte after the raster type.
extern const NativeLayout kD3d8Layout;

}  // namespace vc
