#include "ops/workspace.h"

#include <algorithm>
#include <optional>

#include "io/file_names.h"
#include "ops/image_reading.h"
#include "ops/list_import.h"

namespace vc {

namespace {

bool HasTexturePath(const TextureList& list, std::string_view path) {
    return std::any_of(list.begin(), list.end(),
                       [&](const TTexFile& entry) { return SameTextTrimmed(entry.TexPath, path); });
}

bool IsListFile(std::string_view path) {
    return LowerAscii(FileExtension(path)) == ".txt";
}

// Adds an image read beforehand, unless its path is in the list by now.
void AddReadImage(Workspace& workspace, std::string_view path, const ImageReading& reading) {
    // Only the path decides: an entry with an empty name (from a file named ".bmp") must not
    // make every later file look like a duplicate.
    if (HasTexturePath(workspace.TexList, path)) {
        return;
    }
    TImageInfo info;
    if (!TakeReading(reading, workspace.Intake.ProblemText, info)) {
        return;
    }
    TTexFile entry;
    entry.TexPath = std::string(path);
    entry.TexName = std::string(FileNameWithoutExtension(path));
    entry.TexInfo = info;
    workspace.TexList.push_back(std::move(entry));
}

}  // namespace

void AddFile(Workspace& workspace, std::string_view path, bool pwr2lmt) {
    if (TrimText(path).empty()) {
        return;
    }
    if (IsListFile(path)) {
        ImportTextureList(workspace, path, pwr2lmt);
        return;
    }
    if (!HasTexturePath(workspace.TexList, path)) {
        AddReadImage(workspace, path, ReadImageInfo(workspace.Intake, path, kColourSlot, NewTextureRules(pwr2lmt)));
    }
}

void AddFiles(Workspace& workspace, std::span<const std::string> paths, bool pwr2lmt, const ImportProgress& progress) {
    workspace.Intake.ProblemText.clear();
    std::vector<ImageIntake> intakes = WorkerIntakes(workspace.Intake, workspace.Jobs);
    // Images are read on the workers; lists are imported in their turn, since what they add
    // decides which later paths are already listed.
    RunInOrder(
        paths.size(), static_cast<unsigned>(intakes.size()),
        [&](unsigned worker, size_t index) -> std::optional<ImageReading> {
            const std::string& path = paths[index];
            if (TrimText(path).empty() || IsListFile(path)) {
                return std::nullopt;
            }
            return ReadImageInfo(intakes[worker], path, kColourSlot, NewTextureRules(pwr2lmt));
        },
        [&](size_t index, const std::optional<ImageReading>& reading) {
            const std::string& path = paths[index];
            if (reading) {
                AddReadImage(workspace, path, *reading);
            } else if (IsListFile(path)) {
                ImportTextureList(workspace, path, pwr2lmt, progress);
            }
        },
        [&](size_t index) {
            if (progress) {
                progress(index, paths.size(), paths[index]);
            }
        });
}

}  // namespace vc
