// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "io/byte_writer.h"
#include "io/error.h"
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "rw/txd_reader.h"
#include "rw/txd_writer.h"
#include "thrown_error.h"

namespace vc {
namespace {

const TextureFields kFields{.Name = "tile", .Flags = 0x1102, .RasterFormat = 0x0500};

TextureRaster Tile() {
    return {.Format = TextureFormat::C8888, .Width = 4, .Height = 4, .Levels = {std::vector<uint8_t>(64, 0x7F)}};
}

// Counts what is appended without keeping it, as if the dictionary were already start bytes long.
class CountingSink final : public ByteSink {
  public:
    explicit CountingSink(uint64_t start) : m_size(start) {}
    void Append(std::span<const uint8_t> bytes) override { m_size += bytes.size(); }
    void Overwrite(uint64_t, std::span<const uint8_t>) override {}
    uint64_t Size() const override { return m_size; }

  private:
    uint64_t m_size;
};

TEST(TxdWriter, TheTextureCountStopsAtItsSixteenBitLimit) {
    ByteWriter out;
    TxdWriter dictionary(out, DictionaryForm{});
    for (size_t i = 0; i < kMaxTextures; ++i) {
        dictionary.Add(kFields, Tile());
    }
    const uint64_t before = out.Size();
    const test::Thrown refused = test::ThrownBy([&] { dictionary.Add(kFields, Tile()); });
    EXPECT_EQ(refused.Kind, ErrorKind::Limit);
    EXPECT_EQ(refused.Message,
              "A texture dictionary holds at most 65535 textures; \"tile\" would be one more. Nothing was written.");
    EXPECT_EQ(out.Size(), before) << "a refused texture appends nothing";
    dictionary.Finish();

    const TxdContents contents = ReadTxd(out.View());
    EXPECT_EQ(contents.Textures.size(), kMaxTextures);
    EXPECT_EQ(contents.DeviceId, 0);
}

// The dictionary's size field counts everything after its own header; the last texture that keeps
// it within 32 bits is written, one byte more is refused before anything is appended.
TEST(TxdWriter, ATextureThatWouldCarryTheSizeFieldPastFourGibibytesIsRefused) {
    ByteWriter probe;
    TxdWriter measured(probe, DictionaryForm{});
    const uint64_t headers = probe.Size();
    measured.Add(kFields, Tile());
    const uint64_t texture = probe.Size() - headers;
    const uint64_t closing = measured.Finish() - headers - texture;
    // The size field is the whole dictionary less the first header's 12 bytes.
    const uint64_t fittingStart = 0xFFFFFFFFull + 12 - texture - closing;

    for (const auto& [start, fits] : {std::pair{fittingStart, true}, std::pair{fittingStart + 1, false}}) {
        CountingSink sink(start - headers);
        TxdWriter dictionary(sink, DictionaryForm{});
        if (fits) {
            dictionary.Add(kFields, Tile());
            EXPECT_EQ(dictionary.Finish() - 12, 0xFFFFFFFFull);
        } else {
            EXPECT_EQ(test::ThrownBy([&] { dictionary.Add(kFields, Tile()); }).Kind, ErrorKind::Limit);
            EXPECT_EQ(sink.Size(), start) << "a refused texture appends nothing";
        }
    }
}

TEST(TxdBuild, AListLongerThanADictionaryCanHoldIsRefusedBeforeAnyImageIsRead) {
    Workspace workspace;
    workspace.TexList.resize(kMaxTextures + 1, TTexFile{.TexName = "t", .TexPath = "/nonexistent/t.bmp"});
    ByteWriter out;
    const test::Thrown refused = test::ThrownBy([&] { BuildTxdInto(out, workspace, TxdOptions{}); });
    EXPECT_EQ(refused.Kind, ErrorKind::Limit);
    EXPECT_EQ(refused.Message,
              "The list has 65536 textures, more than the 65535 a texture dictionary can hold; nothing was "
              "written.");
    EXPECT_EQ(out.Size(), 0u);
}

}  // namespace
}  // namespace vc
