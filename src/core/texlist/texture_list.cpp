// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/texture_list.h"

#include <algorithm>

#include "io/file_names.h"

namespace vc {

bool FindTexture(const TextureList& list, std::string_view name, std::string_view path) {
    return std::any_of(list.begin(), list.end(), [&](const TTexFile& entry) {
        return SameTextTrimmed(entry.TexName, name) || SameTextTrimmed(entry.TexPath, path);
    });
}

TextureLookup::TextureLookup(const TextureList& list) {
    for (const TTexFile& entry : list) {
        Add(entry);
    }
}

bool TextureLookup::Contains(std::string_view name, std::string_view path) const {
    return m_names.contains(ComparableText(name)) || ContainsPath(path);
}

bool TextureLookup::ContainsPath(std::string_view path) const {
    return m_paths.contains(ComparableText(path));
}

void TextureLookup::Add(const TTexFile& entry) {
    m_names.insert(ComparableText(entry.TexName));
    m_paths.insert(ComparableText(entry.TexPath));
}

void ClearList(TextureList& list) {
    list.clear();
}

}  // namespace vc
