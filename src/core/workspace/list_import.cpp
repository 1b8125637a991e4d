#include "workspace/list_import.h"

#include "io/file_io.h"
#include "io/file_names.h"

namespace vc {

namespace {

std::string Quoted(std::string_view path) {
    return "\"" + std::string(FileNamePart(path)) + "\"";
}

// Adds one listed texture; false when it was left out. The look-up holds every entry of the list,
// those added by this import included.
bool AddListedTexture(Workspace& workspace, TextureLookup& lookup, const ListedTexture& listed, bool pwr2lmt) {
    std::string& problems = workspace.Intake.ProblemText;
    const bool alphaUsable = !listed.AlphaPath.empty() && IsExistingFile(listed.AlphaPath);
    // The name as listed, possibly empty, takes part in the look-up.
    if (!listed.Path.empty() && lookup.Contains(listed.Name, listed.Path)) {
        problems += "\r\n\r\n=> " + Quoted(listed.Path) + " already exists.";
        return false;
    }
    if (listed.Path.empty()) {
        return false;
    }
    TImageInfo colour;
    if (!workspace.Intake.ReadImageFile(listed.Path, kColourSlot, false, pwr2lmt, colour)) {
        return false;
    }
    TImageInfo alpha;
    if (alphaUsable && !workspace.Intake.ReadImageFile(listed.AlphaPath, kAlphaSlot, false, pwr2lmt, alpha)) {
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
    if (alphaUsable && CheckAlphaFit(colour, alpha) == AlphaFit::Fits) {
        entry.HasAlpha = true;
        entry.AlphaPath = listed.AlphaPath;
        entry.AlphaName = listed.Alpha.empty() ? std::string(FileNameWithoutExtension(listed.AlphaPath)) : listed.Alpha;
        if (entry.AlphaName == entry.TexName) {
            entry.AlphaName += "a";
        }
        entry.AlphaInfo = alpha;
    } else if (alphaUsable) {
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
    size_t added = 0;
    for (size_t index = 0; index < listed.size(); ++index) {
        if (progress) {
            progress(index, listed.size(), listed[index].Path);
        }
        if (AddListedTexture(workspace, lookup, listed[index], pwr2lmt)) {
            ++added;
        }
    }
    return added;
}

size_t ImportTextureList(Workspace& workspace, std::string_view path, bool pwr2lmt, const ImportProgress& progress) {
    const size_t added = AddListedTextures(workspace, ListedTextures(ProfileFile::Load(path)), pwr2lmt, progress);
    workspace.SuggestedTxdPath = SuggestedTxdPath(path);
    return added;
}

}  // namespace vc
