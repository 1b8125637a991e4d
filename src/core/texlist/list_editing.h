// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "texlist/tex_file.h"

namespace vc {

// Sort keys in the order the Sort menu lists them; the alpha name is sorted by from the table.
enum class SortKey : uint8_t { Name = 0, Path = 1, Size = 2, Format = 3, AlphaName = 4 };

// Sorts stably: entries with equal keys keep their order in both directions, so a descending
// sort is not the reverse of an ascending one. Names and paths compare with A to Z lower-cased,
// byte by byte in Windows-1252; size is width × height; format is the bits per pixel written
// (the image's depth where no format is set), then the format's name as the table shows it.
void SortList(TextureList& list, SortKey key, bool ascending);

// The editing commands work on the selected entries, indices into the list in increasing order.
// Indices outside the list are passed over.

// Moves the selected entries one place up (step -1) or down (+1) together, each past the entry
// beside it; returns where they are afterwards. Nothing moves when one of them is at that end.
std::vector<size_t> MoveTextures(TextureList& list, std::span<const size_t> selected, int step);
// Removes the selected entries; returns the index to select afterwards: the first removed one's, or
// the new last entry.
size_t DeleteTextures(TextureList& list, std::span<const size_t> selected);
// Drops the alpha of the selected entries, an image's own alpha too; their AlphaInfo stays as it
// was.
void ClearAlphas(TextureList& list, std::span<const size_t> selected);
// Which of the three output choices an edit of several entries sets; the others stay as each
// entry has them.
struct OutputFields {
    bool Format = true;
    bool Mipmaps = true;
    bool Flags = true;
};

// Gives the selected entries the format, mipmaps and flag word chosen, those of fields; the rest of
// their output (the fields kept from a dictionary) stays.
void SetOutputs(TextureList& list, std::span<const size_t> selected, const TextureOutput& chosen,
                OutputFields fields = {});
void RemoveAlphas(TextureList& list);

// Gives every entry the format and flag word of defaults where it has none of its own, and
// mipmaps when defaults has them; the kept fields of defaults play no part.
void ApplyOutputDefaults(TextureList& list, const TextureOutput& defaults);

}  // namespace vc
