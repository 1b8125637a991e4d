// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <string_view>

#include "ops/workspace.h"
#include "texlist/texture_list_file.h"

namespace vc {

// Appends listed textures behind the entries already in the list. Every image goes through
// intake; refused entries, names or paths already in the list, and alpha images that do not fit
// leave their blocks in the problem report. Returns the number of entries added.
size_t AddListedTextures(Workspace& workspace, std::span<const ListedTexture> listed, bool pwr2lmt,
                         const ImportProgress& progress = {});

// Reads a texture list file and adds its textures as AddListedTextures does; sets the
// workspace's suggested dictionary path. A file that is not a texture list adds nothing.
size_t ImportTextureList(Workspace& workspace, std::string_view path, bool pwr2lmt,
                         const ImportProgress& progress = {});

}  // namespace vc
