// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <unordered_set>

#include "rw/native_header.h"
#include "texlist/tex_file.h"

namespace vc {

// The texture names a build has written, as the dictionary holds them: cut to 31 bytes. A name that
// is cut is noted among the build's problems, and an entry whose name would become, once cut, the
// name of a texture already written is left out, since the games would find only one of them.
class WrittenNames {
  public:
    // Appends the entry's notes to problems; false when the entry is to be left out.
    bool Admit(const TTexFile& entry, const TextureFields& fields, std::string& problems);

  private:
    std::unordered_set<std::string> m_names;     // lower-cased, as the games compare them
    std::unordered_set<std::string> m_cutNames;  // the same of the names that were cut
};

}  // namespace vc
