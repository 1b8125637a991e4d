#include "workspace/workspace.h"

#include <algorithm>

#include "io/file_names.h"
#include "workspace/list_import.h"

namespace vc {

namespace {

bool HasTexturePath(const TextureList& list, std::string_view path) {
    return std::any_of(list.begin(), list.end(),
                       [&](const TTexFile& entry) { return SameTextTrimmed(entry.TexPath, path); });
}

}  // namespace

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

void AddFiles(Workspace& workspace, std::span<const std::string> paths, bool pwr2lmt, const ImportProgress& progress) {
    workspace.Intake.ProblemText.clear();
    for (size_t index = 0; index < paths.size(); ++index) {
        if (progress) {
            progress(index, paths.size(), paths[index]);
        }
        AddFile(workspace, paths[index], pwr2lmt);
    }
}

}  // namespace vc
