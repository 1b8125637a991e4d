// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "rw/txd_reader.h"
#include "texlist/tex_file.h"

namespace vc {

// The dictionary's textures as texture list entries, so that a model can be checked against a
// dictionary as against a list: each entry has the texture's name and, when the texture has alpha
// and names its mask, the mask name as its alpha. No entry has a path.
TextureList DictionaryEntries(const TxdContents& contents);

}  // namespace vc
