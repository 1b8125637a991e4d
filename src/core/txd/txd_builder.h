#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "io/byte_sink.h"
#include "texlist/image_intake.h"
#include "texlist/tex_file.h"
#include "txd/txd_options.h"
#include "workspace/workspace.h"

namespace vc {

struct BuildResult {
    std::vector<uint8_t> Bytes;  // the whole dictionary when built in memory; meaningful only when Written > 0
    uint64_t Size = 0;           // the dictionary's size in bytes
    uint32_t Written = 0;        // textures in the dictionary
    size_t Total = 0;            // entries in the list when the build started
};

// Told before each entry is read: how many entries are done, how many there are, and the entry's
// texture name; a long build shows it.
using BuildProgress = std::function<void(size_t done, size_t total, std::string_view name)>;

// Reads every entry's images again, merges alpha images, and assembles the dictionary in memory.
// Entries that fail intake or the alpha checks are left out; the entries written get their image
// info renewed. Nothing is written to disk here: the caller chooses where the bytes go.
// Throws an Error when an image cannot be read or the dictionary would outgrow its 32-bit sizes.
BuildResult BuildTxd(Workspace& workspace, const TxdOptions& options, const BuildProgress& progress = {});

// The same build into an empty sink, each texture handed over as soon as it is assembled (the
// bytes are not kept in the result); the sizes in the first header are patched at the end. An empty
// list hands over nothing.
BuildResult BuildTxdInto(ByteSink& out, Workspace& workspace, const TxdOptions& options,
                         const BuildProgress& progress = {});

// Appends one texture native chunk for an entry whose images intake has just read into its slots
// (colour and alpha as they were read), merging the alpha image's levels into the colour slot when
// the entry has alpha. Throws an Error, before anything is appended, when the dictionary would
// outgrow its 32-bit sizes or when the pixel data is not as long as the chunk's size fields say.
void WriteTextureNative(ByteSink& out, const TTexFile& entry, ImageIntake& intake, const TImageInfo& colour,
                        const TImageInfo& alpha, uint32_t stamp, uint32_t flag);

}  // namespace vc
