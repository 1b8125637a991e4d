// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <stdexcept>
#include <vector>

#include "io/byte_reader.h"
#include "io/byte_writer.h"
#include "io/error.h"
#include "thrown_error.h"

namespace vc {
namespace {

TEST(ByteReader, ReadingPastTheEndNamesDataOffsetAndShortfall) {
    const std::vector<uint8_t> bytes(6);
    ByteReader in(bytes, "Test data");
    in.U32();
    EXPECT_EQ(test::ErrorText([&] { in.U32(); }),
              "Test data is not valid at byte 4 of 6: needs 4 bytes but only 2 are left");
}

TEST(ByteReader, NestedReaderStopsAtItsEndAndKeepsWholeFileOffsets) {
    const std::vector<uint8_t> bytes(20);
    ByteReader in(bytes, "Test data");
    in.Skip(8);
    ByteReader chunk = in.Nested(4);
    EXPECT_EQ(in.Offset(), 12u);
    EXPECT_EQ(chunk.Offset(), 8u);
    chunk.U16();
    EXPECT_EQ(test::ErrorText([&] { chunk.U32(); }),
              "Test data is not valid at byte 10 of 20: needs 4 bytes but only 2 are left");
    EXPECT_THROW(in.Nested(9), Error);
}

TEST(ByteReader, SliceIsTakenOnlyWhenItsBytesAreThere) {
    const std::vector<uint8_t> bytes = {10, 11, 12, 13, 14, 15};
    ByteReader in(bytes, "Test data");
    in.Skip(1);
    const ByteSlice slice = in.Slice(4);
    EXPECT_EQ(in.Offset(), 5u);
    ASSERT_EQ(slice.Size(), 4u);
    EXPECT_EQ(slice[0], 11);
    EXPECT_EQ(slice[3], 14);
    EXPECT_EQ(test::ErrorText([&] { in.Slice(2); }),
              "Test data is not valid at byte 5 of 6: needs 2 bytes but only 1 are left");
    EXPECT_EQ(in.Offset(), 5u);
}

TEST(ByteReader, SliceChecksEveryIndexAgainstItsOwnSize) {
    const std::vector<uint8_t> bytes = {10, 11, 12, 13, 14, 15};
    ByteReader in(bytes, "Test data");
    const ByteSlice slice = in.Slice(4);
    EXPECT_THROW(slice[4], std::out_of_range) << "byte 4 exists in the data but not in the slice";
    const ByteSlice inner = slice.Sub(1, 3);
    EXPECT_EQ(inner[2], 13);
    EXPECT_THROW(inner[3], std::out_of_range);
    EXPECT_EQ(slice.Sub(4, 0).Size(), 0u);
    EXPECT_THROW(slice.Sub(2, 3), std::out_of_range);
    EXPECT_THROW(slice.Sub(5, 0), std::out_of_range);
    EXPECT_THROW(slice.Sub(1, SIZE_MAX), std::out_of_range) << "the check must not overflow";
}

TEST(ByteWriter, FixedTextIsCutAndZeroPadded) {
    ByteWriter out;
    out.FixedText("abc", 8);
    out.FixedText("0123456789", 4);
    const std::vector<uint8_t> expected = {'a', 'b', 'c', 0, 0, 0, 0, 0, '0', '1', '2', 0};
    EXPECT_EQ(out.View(), expected);
}

TEST(ByteWriter, PatchOverwritesInPlaceAndRefusesOutsideTheBuffer) {
    ByteWriter out;
    out.U32(0);
    out.U16(0xBEEF);
    out.PatchU32(0, 0x11223344);
    const std::vector<uint8_t> expected = {0x44, 0x33, 0x22, 0x11, 0xEF, 0xBE};
    EXPECT_EQ(out.View(), expected);
    EXPECT_THROW(out.PatchU32(3, 1), std::out_of_range);
}

}  // namespace
}  // namespace vc
