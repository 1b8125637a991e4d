// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "io/atomic_file_batch.h"
#include "io/error.h"
#include "temp_dir.h"

namespace vc {
namespace {

using test::NamesIn;

// A batch of three files, two of which replace old ones. When the rename of any one of them fails
// (its target is a folder, which no file replaces), the ones renamed before it get their old content
// back, a file that was new is gone again, and nothing of the batch is left in the folder.
TEST(AtomicFileBatch, ARenameFailingAnywhereLeavesEveryTargetAsItWas) {
    const std::vector<std::string> names = {"a.bmp", "b.bmp", "c.bmp"};
    const std::vector<std::optional<std::string>> old = {"old a", std::nullopt, "old c"};
    for (size_t failing = 0; failing < names.size(); ++failing) {
        SCOPED_TRACE("failing at " + names[failing]);
        test::TempDir dir;
        for (size_t i = 0; i < names.size(); ++i) {
            if (i == failing) {
                std::filesystem::create_directory(dir.File(names[i]));
                dir.WriteText(names[i] + "/inside", "kept");
            } else if (old[i]) {
                dir.WriteText(names[i], *old[i]);
            }
        }
        const std::vector<std::string> before = NamesIn(dir.Path());
        {
            AtomicFileBatch batch;
            for (const std::string& name : names) {
                batch.Write(dir.File(name), std::vector<uint8_t>{'n', 'e', 'w'});
            }
            EXPECT_THROW(batch.Commit(), Error);
        }
        EXPECT_EQ(NamesIn(dir.Path()), before);
        for (size_t i = 0; i < names.size(); ++i) {
            if (i != failing && old[i]) {
                EXPECT_EQ(test::ReadText(dir.File(names[i])), *old[i]) << names[i];
            }
        }
    }
}

TEST(AtomicFileBatch, ACommitReplacesEveryTargetAndLeavesNoSecondNames) {
    test::TempDir dir;
    dir.WriteText("a.bmp", "old a");
    {
        AtomicFileBatch batch;
        batch.Write(dir.File("a.bmp"), std::vector<uint8_t>{'n', 'e', 'w'});
        batch.Write(dir.File("b.bmp"), std::vector<uint8_t>{'n', 'e', 'w'});
        batch.Commit();
    }
    EXPECT_EQ(NamesIn(dir.Path()), (std::vector<std::string>{"a.bmp", "b.bmp"}));
    EXPECT_EQ(test::ReadText(dir.File("a.bmp")), "new");
}

}  // namespace
}  // namespace vc
