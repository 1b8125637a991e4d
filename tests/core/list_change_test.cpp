// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "texlist/list_change.h"

namespace vc {
namespace {

// Entries told apart by their names alone.
TextureList Named(const std::string& names) {
    TextureList list;
    for (const char name : names) {
        TTexFile entry;
        entry.TexName = std::string(1, name);
        list.push_back(entry);
    }
    return list;
}

std::string Names(const TextureList& list) {
    std::string names;
    for (const TTexFile& entry : list) {
        names += entry.TexName;
    }
    return names;
}

// Each edit is kept as the smallest run that differs, and undoing and redoing it gives back each
// state exactly.
TEST(ListChange, AnEditKeepsOnlyItsRunAndGoesBothWays) {
    struct Case {
        const char* Edit;
        std::string Before;
        std::string After;
        size_t Start;
        std::string RunBefore;
        std::string RunAfter;
    };
    const Case cases[] = {
        {"nothing", "abc", "abc", 3, "", ""},
        {"add at the end", "abc", "abcde", 3, "", "de"},
        {"add to an empty list", "", "ab", 0, "", "ab"},
        {"delete in the middle", "abcd", "abd", 2, "c", ""},
        {"delete a repeated entry", "aab", "ab", 1, "a", ""},
        {"move down", "abcd", "acbd", 1, "bc", "cb"},
        {"reverse", "abcd", "dcba", 0, "abcd", "dcba"},
        {"clear", "abc", "", 0, "abc", ""},
        {"start a new list", "ab", "xyz", 0, "ab", "xyz"},
    };
    for (const Case& c : cases) {
        const TextureList before = Named(c.Before);
        const TextureList after = Named(c.After);
        const ListChange change = ChangeBetween(before, after);
        EXPECT_EQ(change.Start, c.Start) << c.Edit;
        EXPECT_EQ(Names(change.Before), c.RunBefore) << c.Edit;
        EXPECT_EQ(Names(change.After), c.RunAfter) << c.Edit;
        EXPECT_EQ(change.Empty(), c.Before == c.After) << c.Edit;
        TextureList list = before;
        Redo(list, change);
        EXPECT_EQ(Names(list), c.After) << c.Edit;
        Undo(list, change);
        EXPECT_EQ(Names(list), c.Before) << c.Edit;
    }
}

// A change to one field of one entry is a change of that entry.
TEST(ListChange, AChangedFieldIsAChangedEntry) {
    const TextureList before = Named("abc");
    TextureList after = before;
    after[1].HasAlpha = true;
    const ListChange change = ChangeBetween(before, after);
    EXPECT_EQ(change.Start, 1u);
    ASSERT_EQ(change.After.size(), 1u);
    EXPECT_TRUE(change.After[0].HasAlpha);
    EXPECT_FALSE(change.Before[0].HasAlpha);
}

}  // namespace
}  // namespace vc
