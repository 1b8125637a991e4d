// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "raster/texture_raster.h"
#include "texlist/image_intake.h"
#include "texlist/tex_file.h"

namespace vc {

// Reads the entry's images, with their pixels, into intake's slots: false, with intake's problem
// blocks, when a build leaves the entry out (an image refused, a level image that does not fit, an
// alpha image of the texture's own name or one that does not fit the colour image). Level images
// are read for a paletted picture whose entry names a paletted format; otherwise levels are made.
bool LoadEntryImages(ImageIntake& intake, const TTexFile& entry, bool pwr2lmt, TImageInfo& colour, TImageInfo& alpha);

// Makes the raster of an entry whose images intake has just read into its slots: merges the
// alpha image's levels into the colour slot when the entry has one, then converts the pixels to
// the chosen format. Pixels that are already in that format are taken over from the slot, not
// copied; levels stored ready for the texture (DDS) are kept, all of them, and with another format
// or an alpha image the texture gets a whole chain of its own. Throws an Error when the slot does
// not hold as many pixels as the image info says.
TextureRaster AssembleRaster(ImageIntake& intake, const TTexFile& entry, const TImageInfo& colour,
                             const TImageInfo& alpha, RasterChoice choice);

}  // namespace vc
