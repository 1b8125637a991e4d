#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "listfile/profile_file.h"
#include "texlist/texture_list.h"

namespace vc {

// The texture list in its file form: [TXDList] with count and app, then one [TextureN] section
// per entry with name and path, and alpha and alphapath for entries with alpha.
ProfileFile TextureListProfile(const TextureList& list);

// Writes the list to a texture list file, replacing the file as a whole. An empty list writes
// nothing. Throws an Error "Unable to write to <path>" when the file cannot be written.
void ExportTextureList(const TextureList& list, std::string_view path);

// Appends the entries of a texture list file behind those already in the list. Every image goes
// through intake; refused entries, names or paths already in the list, and alpha images that do
// not fit leave their blocks in the problem report. Sets the workspace's suggested dictionary
// path and returns the number of entries added. A file that is not a texture list adds nothing.
// Told before each listed texture is read: how many sections are done, how many will be read, and
// the section's colour image path.
using ImportProgress = std::function<void(size_t done, size_t total, std::string_view path)>;

size_t ImportTextureList(Workspace& workspace, std::string_view path, bool pwr2lmt,
                         const ImportProgress& progress = {});

// The list file's path with its extension replaced by ".txd" (added when there is none).
std::string SuggestedTxdPath(std::string_view listPath);

}  // namespace vc
