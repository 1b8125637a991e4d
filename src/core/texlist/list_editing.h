#pragma once

#include <cstddef>
#include <cstdint>

#include "texlist/tex_file.h"

namespace vc {

// Sort keys in the order the Sort menu lists them; the alpha name is sorted by from the table.
enum class SortKey : uint8_t { Name = 0, Path = 1, Size = 2, Format = 3, AlphaName = 4 };

// Sorts stably: entries with equal keys keep their order in both directions, so a descending
// sort is not the reverse of an ascending one. Names and paths compare with A to Z lower-cased,
// byte by byte in Windows-1252; size is width × height; format is the bits per pixel written
// (the image's depth where no format is set), then the format's name as the table shows it.
void SortList(TextureList& list, SortKey key, bool ascending);

// The editing commands work on the selected entry (an index into the list) and return the index
// to select afterwards. An index outside the list changes nothing.

// Moves the selected entry one place up (step -1) or down (+1); the selection follows it. A move
// past either end does nothing.
size_t MoveTexture(TextureList& list, size_t selected, int step);
// Removes the selected entry; the selection stays on the same index, or the new last entry.
size_t DeleteTexture(TextureList& list, size_t selected);
// Drops the alpha of the selected entry; its AlphaInfo stays as it was.
void ClearAlpha(TextureList& list, size_t selected);
void RemoveAlphas(TextureList& list);

// Gives every entry the format and flag word of defaults where it has none of its own, and
// mipmaps when defaults has them; the kept fields of defaults play no part.
void ApplyOutputDefaults(TextureList& list, const TextureOutput& defaults);

}  // namespace vc
