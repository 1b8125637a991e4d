// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string_view>

#include "ops/extraction_folder.h"
#include "ops/list_import.h"
#include "ops/txd_extraction.h"
#include "ops/workspace.h"

namespace vc {

// Opening a dictionary, after it was taken apart into the folder and the user agreed to replace
// the files there: puts the files in place, adds the textures of the written list behind the
// entries already in the list, and makes the dictionary the suggested file to build and its
// version stamp the one the list keeps. Textures
// that could not be extracted, and where a damaged dictionary broke off, join the problem report
// like files that could not be added.
// Returns the number of entries added.
size_t ImportExtractedDictionary(Workspace& workspace, std::string_view dictionaryPath, ExtractionFolder& folder,
                                 const ExtractionResult& extracted, bool pwr2lmt, const ImportProgress& progress = {});

}  // namespace vc
