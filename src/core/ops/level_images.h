// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "texlist/image_intake.h"
#include "texlist/tex_file.h"

namespace vc {

// Reads the levels an entry keeps below its paletted picture as images of their own (a PAL4
// texture's, taken from a dictionary) into the colour slot's LowerLevels, as indices over the
// picture's palette. The colour image must be in the slot. Returns false, with the entry's problem
// block in intake's report, when the list names more levels than the picture has below it, or a
// level image is missing, not paletted, of another size than its level, or holds an index past the
// texture's colours; a level image of other colours than the picture is taken with a notice.
// Throws an Error naming the file when a level image cannot be read or decoded.
bool ReadLevelImages(ImageIntake& intake, const TTexFile& entry, const TImageInfo& colour, size_t colours);

}  // namespace vc
