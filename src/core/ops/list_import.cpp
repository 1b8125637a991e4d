// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/list_import.h"

#include <optional>
#include <vector>

#include "io/file_io.h"
#include "io/file_names.h"
#include "io/ordered_work.h"
#include "ops/image_reading.h"

namespace vc {

namespace {

std::string Quoted(std::string_view path) {
    return "\"" + std::string(FileNamePart(path)) + "\"";
}

// A listed texture's images, read on a worker.
struct ListedReading {
    ImageReading Colour;
    std::optional<ImageReading> Alpha;  // read only for an accepted colour image and an existing alpha file
    bool AlphaUsable = false;
};

ListedReading ReadListedImages(ImageIntake& intake, const ListedTexture& listed, bool pwr2lmt) {
    ListedReading reading;
    if (listed.Path.empty()) {
        return reading;
    }
    reading.AlphaUsable = !listed.AlphaPath.empty() && IsExistingFile(listed.AlphaPath);
    const IntakeRules rules = EntryRules(listed.Output, pwr2lmt);
    reading.Colour = ReadImageInfo(intake, listed.Path, kColourSlot, rules);
    if (reading.Colour.Accepted && !reading.Colour.Failure && reading.AlphaUsable) {
        reading.Alpha = ReadImageInfo(intake, listed.AlphaPath, kAlphaSlot, rules);
    }
    return reading;
}

// Adds one listed texture whose images are read; false when it was left out. The look-up holds
// every entry of the list, those added by this import included.
bool AddListedTexture(Workspace& workspace, TextureLookup& lookup, const ListedTexture& listed,
                      const ListedReading& reading) {
    std::string& problems = workspace.Intake.ProblemText;
    // The name as listed, possibly empty, takes part in the look-up, unless the entry comes from a
    // dictionary that held the name twice.
    const bool taken =
        listed.Output.RepeatedName ? lookup.ContainsPath(listed.Path) : lookup.Contains(listed.Name, listed.Path);
    if (!listed.Path.empty() && taken) {
        problems += "\r\n\r\n=> " + Quoted(listed.Path) + " already exists.";
        return false;
    }
    if (listed.Path.empty()) {
        return false;
    }
    TImageInfo colour;
    if (!TakeReading(reading.Colour, problems, colour)) {
        return false;
    }
    TImageInfo alpha;
    if (reading.Alpha && !TakeReading(*reading.Alpha, problems, alpha)) {
        return false;
    }
    if (!listed.OutputProblems.empty()) {
        problems += "\r\n\r\n=> " + Quoted(listed.Path) + ":" + listed.OutputProblems;
    }
    TTexFile entry;
    entry.Output = listed.Output;
    entry.TexPath = listed.Path;
    entry.TexName = listed.Name.empty() ? std::string(FileNameWithoutExtension(listed.Path)) : listed.Name;
    entry.TexInfo = colour;
    if (reading.AlphaUsable && CheckAlphaFit(colour, alpha) == AlphaFit::Fits) {
        entry.HasAlpha = true;
        entry.AlphaPath = listed.AlphaPath;
        entry.AlphaName = listed.Alpha.empty() ? std::string(FileNameWithoutExtension(listed.AlphaPath)) : listed.Alpha;
        if (entry.AlphaName == entry.TexName) {
            entry.AlphaName += "a";
        }
        entry.AlphaInfo = alpha;
    } else if (reading.AlphaUsable) {
        problems += "\r\n\r\n=> " + Quoted(listed.Path) + " and alpha " + Quoted(listed.AlphaPath) +
                    " don't have same dimensions - alpha dismissed.";
    }
    lookup.Add(entry);
    workspace.TexList.push_back(std::move(entry));
    return true;
}

}  // namespace

size_t AddListedTextures(Workspace& workspace, std::span<const ListedTexture> listed, bool pwr2lmt,
                         const ImportProgress& progress) {
    TextureLookup lookup(workspace.TexList);
    std::vector<ImageIntake> intakes = WorkerIntakes(workspace.Intake, workspace.Jobs);
    size_t added = 0;
    RunInOrder(
        listed.size(), static_cast<unsigned>(intakes.size()),
        [&](unsigned worker, size_t index) { return ReadListedImages(intakes[worker], listed[index], pwr2lmt); },
        [&](size_t index, const ListedReading& reading) {
            if (AddListedTexture(workspace, lookup, listed[index], reading)) {
                ++added;
            }
        },
        [&](size_t index) {
            if (progress) {
                progress(index, listed.size(), listed[index].Path);
            }
        });
    return added;
}

size_t ImportTextureList(Workspace& workspace, std::string_view path, bool pwr2lmt, const ImportProgress& progress) {
    const ProfileFile file = ProfileFile::Load(path);
    // Relative paths of a list are relative to the list's own folder, wherever it is imported from.
    const std::string folder = FromFsPath(ToFsPath(AbsolutePath(path)).parent_path());
    std::vector<ListedTexture> listed = ListedTextures(file);
    for (ListedTexture& entry : listed) {
        entry.Path = ResolvedAgainst(folder, entry.Path);
        entry.AlphaPath = ResolvedAgainst(folder, entry.AlphaPath);
        for (std::string& level : entry.Output.LevelPaths) {
            level = ResolvedAgainst(folder, level);
        }
    }
    const size_t added = AddListedTextures(workspace, listed, pwr2lmt, progress);
    workspace.SuggestedTxdPath = SuggestedTxdPath(path);
    workspace.VersionStamp = ListedVersionStamp(file);
    workspace.Target = ListedGame(file);
    return added;
}

}  // namespace vc
