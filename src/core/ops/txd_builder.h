// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "io/byte_sink.h"
#include "ops/texture_assembly.h"
#include "ops/txd_options.h"
#include "ops/txd_verdict.h"
#include "ops/workspace.h"
#include "rw/native_header.h"
#include "texlist/image_intake.h"
#include "texlist/tex_file.h"

namespace vc {

struct BuildResult {
    std::vector<uint8_t> Bytes;  // the whole dictionary when built in memory; meaningful only when Written > 0
    uint64_t Size = 0;           // the dictionary's size in bytes
    uint32_t Written = 0;        // textures in the dictionary
    size_t Total = 0;            // entries in the list when the build started
    // What the game will make of the textures written, by their fields and levels (their pixels
    // are left to verify), and their names and list entries (counted from 0) in dictionary order.
    Verdict Judgement;
    std::vector<std::string> Names;
    std::vector<size_t> Entries;
};

// Told before each entry is read: how many entries are done, how many there are, and the entry's
// texture name; a long build shows it.
using BuildProgress = std::function<void(size_t done, size_t total, std::string_view name)>;

// Reads every entry's images again, merges alpha images, and assembles the dictionary in memory.
// Entries that fail intake or the alpha checks are left out; the entries written get their image
// info renewed. Nothing is written to disk here: the caller chooses where the bytes go. Entries
// are read and assembled on the workspace's workers, a few ahead of the one being written, and
// written in list order: the bytes, the problem report and the progress calls (on the calling
// thread) are the same for any number of workers.
// Throws an Error when an image cannot be read or the dictionary would outgrow its 32-bit sizes.
BuildResult BuildTxd(Workspace& workspace, const TxdOptions& options, const BuildProgress& progress = {});

// The same build into an empty sink, each texture handed over as soon as it is assembled (the
// bytes are not kept in the result); the sizes in the first header are patched at the end. An empty
// list hands over nothing.
BuildResult BuildTxdInto(ByteSink& out, Workspace& workspace, const TxdOptions& options,
                         const BuildProgress& progress = {});

// The format and levels an entry whose colour image intake has just read is written with: its own
// choices, else the image's format ("as image"); opaque where the texture cannot hold alpha.
RasterChoice ChoiceFor(const TTexFile& entry, const TImageInfo& colour);

// Whether a texture of the entry written in format with levels can hold alpha: the format carries
// it, and a DXT1 texture whose kept raster format still stands and names 565 has none.
bool StoresAlpha(const TTexFile& entry, TextureFormat format, size_t levels);

// The entry's fields for a raster of format with levels: its kept fields where it has them (a
// kept raster format only while it still fits format and levels), else the mask name of its alpha
// image (its own name with "a" for an image's own alpha; neither where the texture cannot hold
// alpha), the build's flag word (in its mipmap
// form for more than one level) and the raster format of format. A kept depth stands only while the
// entry's own format is format.
TextureFields FieldsFor(const TTexFile& entry, const TImageInfo& colour, TextureFormat format, size_t levels,
                        uint32_t buildFlag);

// The mask name the entry's texture is written with, as its image was last read: its alpha image's,
// its own name with "a" for an image's own alpha, a kept one; empty when it is written without.
std::string MaskNameWritten(const TTexFile& entry);

}  // namespace vc
