// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/dictionary_import.h"

#include <filesystem>

#include "io/file_io.h"
#include "io/file_names.h"

namespace vc {

size_t ImportExtractedDictionary(Workspace& workspace, std::string_view dictionaryPath, ExtractionFolder& folder,
                                 const ExtractionResult& extracted, bool pwr2lmt, const ImportProgress& progress) {
    folder.Commit();
    for (const ExtractedTexture& texture : extracted.Textures) {
        if (!texture.Problem.empty()) {
            workspace.Intake.ProblemText +=
                "\r\n\r\n=> \"" + texture.Name + "\" could not be extracted: " + texture.Problem;
        }
    }
    if (extracted.Damage) {
        workspace.Intake.ProblemText += "\r\n\r\n=> " + DamageText(FileNamePart(dictionaryPath), *extracted.Damage);
    }
    size_t added = 0;
    if (!extracted.ListFile.empty()) {
        const std::string list = FromFsPath(ToFsPath(folder.AbsolutePath()) / ToFsPath(extracted.ListFile));
        added = ImportTextureList(workspace, list, pwr2lmt, progress);
    }
    workspace.SuggestedTxdPath = dictionaryPath;
    workspace.VersionStamp = extracted.VersionStamp;
    workspace.Target = extracted.Target;
    return added;
}

}  // namespace vc
