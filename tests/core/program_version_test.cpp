// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "io/program_version.h"
#include "rw/chunk_log.h"
#include "rw/txd_format.h"
#include "texlist/texture_list_file.h"

namespace vc {
namespace {

// The texts that dictionaries, lists and logs carry were fixed with the first version: a new version
// number must be a deliberate choice about them, not a drift apart.
TEST(ProgramVersion, TheTextsFilesCarryNameTheProgramsVersion) {
    const struct {
        const char* Where;
        std::string_view Text;
        std::string_view Before;
    } texts[] = {
        {"a dictionary's closing text", kCreatorText, "Created with Vellumcraft "},
        {"a list's app key", kListAppName, "Vellumcraft "},
        {"a chunk log's maker", kChunkLogMaker, "Vellumcraft "},
    };
    for (const auto& text : texts) {
        EXPECT_EQ(text.Text, std::string(text.Before) + std::string(kProgramVersion)) << text.Where;
    }
}

}  // namespace
}  // namespace vc
