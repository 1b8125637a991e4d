#include "texlist/texture_list.h"

#include <algorithm>

#include "io/file_names.h"
#include "listfile/texture_list_file.h"

namespace vc {

namespace {

bool HasTexturePath(const TextureList& list, std::string_view path) {
    return std::any_of(list.begin(), list.end(),
                       [&](const TTexFile& entry) { return SameTextTrimmed(entry.TexPath, path); });
}

}  // namespace

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
    return m_names.contains(ComparableText(name)) || m_paths.contains(ComparableText(path));
}

void TextureLookup::Add(const TTexFile& entry) {
    m_names.insert(ComparableText(entry.TexName));
    m_paths.insert(ComparableText(entry.TexPath));
}

void AddFile(Workspace& workspace, std::string_view path, bool pwr2lmt) {
    if (TrimText(path).empty()) {
        return;
    }
    if (LowerAscii(FileExtension(path)) == ".txt") {
        ImportTextureList(workspace, path, pwr2lmt);
        return;
    }
    // Only the path decides: an entry with an empty name (from a file named ".bmp") must not
    // make every later file look like a duplicate.
    if (HasTexturePath(workspace.TexList, path)) {
        return;
    }
    TImageInfo info;
    if (!workspace.Intake.ReadImageFile(path, kColourSlot, false, pwr2lmt, info)) {
        return;
    }
    TTexFile entry;
    entry.TexPath = std::string(path);
    entry.TexName = std::string(FileNameWithoutExtension(path));
    entry.TexInfo = info;
    workspace.TexList.push_back(std::move(entry));
}

void ClearList(TextureList& list) {
    list.clear();
}

}  // namespace vc
