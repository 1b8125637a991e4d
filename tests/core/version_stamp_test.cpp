// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "rw/txd_reader.h"
#include "rw/version_stamp.h"
#include "txd_chunks.h"

namespace vc {
namespace {

struct StampCase {
    uint32_t Stamp;
    RenderWareVersion Version;
    const char* Text;
};

TEST(VersionStamp, DecodesTheVersionsTheGamesWrite) {
    // clang-format off
    const StampCase cases[] = {
        {0x0800FFFF, {3, 2, 0, 0, 0xFFFF}, "3.2.0.0"},  // GTA III
        {0x0C02FFFF, {3, 3, 0, 2, 0xFFFF}, "3.3.0.2"},  // Vice City
        {0x1003FFFF, {3, 4, 0, 3, 0xFFFF}, "3.4.0.3"},  // Vice City
        {0x1803FFFF, {3, 6, 0, 3, 0xFFFF}, "3.6.0.3"},  // San Andreas
        {0x1C020065, {3, 7, 0, 2, 0x0065}, "3.7.0.2"},  // a packed library id with its build number
        {0x4D5A0002, {4, 3, 5, 26, 0x0002}, "4.3.5.26"},  // every field of the packed form apart
        {0x00000310, {3, 1, 0, 0, 0},      "3.1.0.0"},  // the old form, before builds were numbered
        {0x00000302, {3, 0, 2, 0, 0},      "3.0.2.0"},
    };
    // clang-format on
    for (const StampCase& test : cases) {
        SCOPED_TRACE(test.Text);
        const RenderWareVersion version = DecodeVersionStamp(test.Stamp);
        EXPECT_EQ(version, test.Version);
        EXPECT_EQ(VersionText(version), test.Text);
    }
}

TEST(VersionStamp, ADictionaryOfAnyStampIsRead) {
    for (const uint32_t stamp : {0x1803FFFFu, 0x1C020065u, 0x00000310u}) {
        const test::NativeFields fields{
            .Name = "lamp", .RasterFormat = 0x0500, .Width = 1, .Height = 1, .LevelPixels = {{1, 2, 3, 4}}};
        const TxdContents contents = ReadTxd(test::Dictionary({test::TextureNative(fields, stamp)}, 0, stamp));
        EXPECT_EQ(contents.VersionStamp, stamp);
        ASSERT_EQ(contents.Textures.size(), 1u);
        EXPECT_EQ(contents.Textures[0].Problem, "");
    }
}

}  // namespace
}  // namespace vc
