// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/list_change.h"

#include <algorithm>
#include <iterator>

namespace vc {

namespace {

void Replace(TextureList& list, size_t start, const TextureList& from, const TextureList& to) {
    const auto first = list.begin() + static_cast<std::ptrdiff_t>(start);
    list.erase(first, first + static_cast<std::ptrdiff_t>(from.size()));
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(start), to.begin(), to.end());
}

}  // namespace

ListChange ChangeBetween(TextureList before, const TextureList& after) {
    const size_t shorter = std::min(before.size(), after.size());
    size_t start = 0;
    while (start < shorter && before[start] == after[start]) {
        ++start;
    }
    size_t end = 0;  // entries shared at the end, after the shared start
    while (end < shorter - start && before[before.size() - 1 - end] == after[after.size() - 1 - end]) {
        ++end;
    }
    const auto first = static_cast<std::ptrdiff_t>(start);
    const auto last = static_cast<std::ptrdiff_t>(end);
    return {.Start = start,
            .Before = TextureList(std::make_move_iterator(before.begin() + first),
                                  std::make_move_iterator(before.end() - last)),
            .After = TextureList(after.begin() + first, after.end() - last)};
}

void Redo(TextureList& list, const ListChange& change) {
    Replace(list, change.Start, change.Before, change.After);
}

void Undo(TextureList& list, const ListChange& change) {
    Replace(list, change.Start, change.After, change.Before);
}

}  // namespace vc
