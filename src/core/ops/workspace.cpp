// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/workspace.h"

#include <algorithm>
#include <optional>
#include <string>
#include <unordered_set>

#include "io/file_names.h"
#include "ops/image_reading.h"
#include "ops/list_import.h"

namespace vc {

namespace {

bool IsListFile(std::string_view path) {
    return LowerAscii(FileExtension(path)) == ".txt";
}

// The list's paths in the form they are compared in, so that a batch of thousands of files finds
// each one's path at once; entries added to the list from elsewhere are taken in when next asked.
class ListedPaths {
  public:
    explicit ListedPaths(const TextureList& list) : m_list(list) {}

    bool Has(std::string_view path) {
        for (; m_indexed < m_list.size(); ++m_indexed) {
            m_paths.insert(ComparableText(m_list[m_indexed].TexPath));
        }
        return m_paths.contains(ComparableText(path));
    }

  private:
    const TextureList& m_list;
    size_t m_indexed = 0;
    std::unordered_set<std::string> m_paths;
};

// Adds an image read beforehand, unless its path is in the list by now.
void AddReadImage(Workspace& workspace, ListedPaths& listed, std::string_view path, const ImageReading& reading) {
    // Only the path decides: an entry with an empty name (from a file named ".bmp") must not
    // make every later file look like a duplicate.
    if (listed.Has(path)) {
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
    ListedPaths listed(workspace.TexList);
    if (!listed.Has(path)) {
        AddReadImage(workspace, listed, path,
                     ReadImageInfo(workspace.Intake, path, kColourSlot, NewTextureRules(pwr2lmt)));
    }
}

void AddFiles(Workspace& workspace, std::span<const std::string> paths, bool pwr2lmt, const ImportProgress& progress) {
    workspace.Intake.ProblemText.clear();
    std::vector<ImageIntake> intakes = WorkerIntakes(workspace.Intake, workspace.Jobs);
    ListedPaths listed(workspace.TexList);
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
                AddReadImage(workspace, listed, path, *reading);
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
