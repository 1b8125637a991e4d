// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "io/profile_file.h"
#include "texlist/texture_output.h"

namespace vc {

// A texture section's keys for how the texture is written: format, mipmaps, flags, and the kept
// fields of an extracted texture (maskname, alphaflag, rasterformat, rasterlevels, depth, keepsize, duplicate,
// mip1path and on, pal4tail, extension). Each is written
// only when it differs from the default, so that a list of default entries reads as it always
// did and readers that know none of these keys lose nothing else.
void WriteTextureOutputKeys(ProfileFile& file, std::string_view section, const TextureOutput& output);

// Reads the keys back. Values that cannot be read leave the default in place and a line each in
// problems ("format \"DXT9\" is not known").
TextureOutput ReadTextureOutputKeys(const ProfileFile& file, std::string_view section, std::string& problems);

}  // namespace vc
