// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "texlist/tex_file.h"

namespace vc {

// True when some entry's TexName equals name or its TexPath equals path, both sides trimmed and
// lower-cased (A to Z only).
bool FindTexture(const TextureList& list, std::string_view name, std::string_view path);

// FindTexture for many look-ups while the list only grows: each name and path is prepared once.
class TextureLookup {
  public:
    explicit TextureLookup(const TextureList& list);
    bool Contains(std::string_view name, std::string_view path) const;
    bool ContainsPath(std::string_view path) const;
    void Add(const TTexFile& entry);

  private:
    std::unordered_set<std::string> m_names;
    std::unordered_set<std::string> m_paths;
};

void ClearList(TextureList& list);

}  // namespace vc
