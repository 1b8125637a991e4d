// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/dictionary_entries.h"

namespace vc {

TextureList DictionaryEntries(const TxdContents& contents) {
    TextureList entries;
    entries.reserve(contents.Textures.size());
    for (const TxdTexture& texture : contents.Textures) {
        TTexFile entry;
        entry.TexName = texture.Name;
        entry.HasAlpha = texture.HasAlpha() && !texture.MaskName.empty();
        if (entry.HasAlpha) {
            entry.AlphaName = texture.MaskName;
        }
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace vc
