// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <exception>
#include <string>
#include <string_view>
#include <vector>

#include "texlist/image_intake.h"

namespace vc {

// An image file read through intake without its pixels, waiting to be taken into the list in
// order. Its problems and its error are kept rather than reported, since whether they count
// depends on the entries before it (a path already listed is skipped without a word).
struct ImageReading {
    bool Accepted = false;
    TImageInfo Info;
    std::string Problems;        // the problem block intake wrote for the file
    std::exception_ptr Failure;  // the file could not be read or decoded
};

// Reads the file as intake.ReadImageFile does without pixels; intake's problem report is left as
// it was.
ImageReading ReadImageInfo(ImageIntake& intake, std::string_view path, size_t slot, IntakeRules rules);

// Reports the reading into report as ReadImageFile would have and rethrows its error; returns
// whether the image was accepted.
bool TakeReading(const ImageReading& reading, std::string& report, TImageInfo& info);

// One intake per worker, checking files as model does.
std::vector<ImageIntake> WorkerIntakes(const ImageIntake& model, unsigned jobs);

}  // namespace vc
