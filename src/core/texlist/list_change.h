// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>

#include "texlist/tex_file.h"

namespace vc {

// What an edit did to a list, kept small: the run of entries between the part the two states
// share at their start and the part they share at their end, as it was and as it is. Adding keeps
// only the new entries, a deletion the deleted one, a change the changed one; a sort keeps the
// whole list.
struct ListChange {
    size_t Start = 0;
    TextureList Before;
    TextureList After;

    bool Empty() const { return Before.empty() && After.empty(); }
};

// Takes the run it keeps of before out of it.
ListChange ChangeBetween(TextureList before, const TextureList& after);

// Turns the list as it was into the list as it is, and back.
void Redo(TextureList& list, const ListChange& change);
void Undo(TextureList& list, const ListChange& change);

}  // namespace vc
