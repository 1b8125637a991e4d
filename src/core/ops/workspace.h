// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "io/core_share.h"
#include "io/ordered_work.h"
#include "rw/game_target.h"
#include "texlist/image_intake.h"
#include "texlist/texture_list.h"

namespace vc {

// One run's texture work: the list, and the intake with its problem report and conversion
// buffers. The application, a command-line run or a test owns one.
struct Workspace {
    TextureList TexList;
    ImageIntake Intake;
    // The dictionary name the Build command suggests: the last list import sets it, and so does
    // the file chosen in the Build dialog; adding files leaves it alone.
    std::string SuggestedTxdPath;
    // The version stamp of the dictionary the list came from, where the list names one: the last
    // list import sets it.
    std::optional<uint32_t> VersionStamp;
    // The game the list's dictionary was for, where the list names one; set with VersionStamp.
    std::optional<Game> Target;
    // Worker threads for reading images and assembling textures; 1 does everything on the
    // calling thread. The results are the same for any number.
    unsigned Jobs = DefaultJobCount();
    // The cores a build computes on, shared with the rest of the program (the window's previews);
    // none: Jobs cores of its own.
    CoreShare* Cores = nullptr;
};

// Told before each file or listed texture is read: how many are done, how many will be read, and
// its colour image path.
using ImportProgress = std::function<void(size_t done, size_t total, std::string_view path)>;

// Adds one opened, dropped or command-line file to the list; a ".txt" file is imported as a
// texture list. A path already in the list is skipped silently; a refused image leaves its block
// in the problem report.
void AddFile(Workspace& workspace, std::string_view path, bool pwr2lmt);

// Adds a batch of files in order, each as AddFile does, after emptying the problem report; the
// report then holds the problems of this batch alone. An error ends the batch at its file, and
// every file added before it stays in the list. A texture list in the batch tells progress of its
// own textures.
void AddFiles(Workspace& workspace, std::span<const std::string> paths, bool pwr2lmt,
              const ImportProgress& progress = {});

}  // namespace vc
