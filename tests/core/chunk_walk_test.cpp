// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model_chunks.h"
#include "ops/dff_check.h"
#include "rw/chunk_names.h"
#include "rw/chunk_type.h"
#include "rw/chunk_walk.h"

namespace vc {
namespace {

using test::BreakablePayload;
using test::Bytes;
using test::Chunk;
using test::Header;
using test::Join;
using test::String;
using test::Texture;
using test::TextureRef;
using test::U32;

// clang-format off
constexpr uint32_t kData = 1, kExtension = 3, kMaterial = 7, kMaterialList = 8, kGeometry = 15, kClump = 16,
                   kGeometryList = 26, kEffects = 288, kFrame = 0x0253F2FE;
// clang-format on

std::vector<TDFFTex> Scan(const Bytes& model) {
    return ScanModel(model, nullptr).ScanList;
}

Bytes Material(const Bytes& texture) {
    return Chunk(kMaterial, Join({Chunk(kData, Bytes(28)), texture}));
}

// Clump > Geometry List > Geometry > Material List > materials
Bytes Model(std::initializer_list<Bytes> materials) {
    Bytes list = Chunk(kData, U32(static_cast<uint32_t>(materials.size())));
    for (const Bytes& material : materials) {
        list.insert(list.end(), material.begin(), material.end());
    }
    const Bytes geometry = Chunk(kGeometry, Join({Chunk(kData, Bytes(16)), Chunk(kMaterialList, list)}));
    return Chunk(kClump, Join({Chunk(kData, U32(1)), Chunk(kGeometryList, Join({Chunk(kData, U32(1)), geometry}))}));
}

// The log keeps its own display names whatever the chunk types are called in code.
TEST(ChunkNames, EveryKnownTypeKeepsItsLogNameAndContainersAreKnown) {
    // clang-format off
    const std::vector<std::pair<uint32_t, std::string>> expected = {
        {1, "Data [1]"},                 {2, "String [2]"},
        {3, "Extension [3]"},            {6, "Texture [6]"},
        {7, "Material [7]"},             {8, "Material List [8]"},
        {14, "Frame List [14]"},         {15, "Geometry [15]"},
        {16, "Clump [16]"},              {20, "Atomic [20]"},
        {26, "Geometry List [26]"},      {286, "Unknown [286]"},
        {288, "Another Extension [288]"}, {1294, "Material Split [1294]"},
        {1296, "VC Geometry Data [1296]"}, {39056126, "Frame [39056126]"},
        {0, "UNKNOWN [0]"},              {22, "UNKNOWN [22]"},
        {0xFFFFFFFF, "UNKNOWN [4294967295]"},
    };
    // clang-format on
    for (const auto& [type, name] : expected) {
        EXPECT_EQ(ChunkTypeName(type), name);
    }
    for (const uint32_t type : {3u, 6u, 7u, 8u, 14u, 15u, 16u, 20u, 26u, 288u}) {
        EXPECT_TRUE(IsContainerChunk(type)) << type;
    }
    for (const uint32_t type : {0u, 1u, 2u, 21u, 286u, 1294u, 1296u, 0x0253F2FEu}) {
        EXPECT_FALSE(IsContainerChunk(type)) << type;
    }
    EXPECT_EQ(LogIndent(-1), "");  // the file's own line; the others are in the chunk log's tests
}

TEST(ChunkWalk, FindsTexturesThroughTheMaterialTreeAndMergesThemByName) {
    const Bytes model = Model({Material(Texture({"wheel", ""})), Material(Texture({"wheel", ""}))});
    const std::vector<TDFFTex> scan = Scan(model);
    EXPECT_EQ(scan, (std::vector<TDFFTex>{TextureRef("wheel"), TextureRef("wheel")}));
    EXPECT_EQ(BuildDffTexList(scan), (std::vector<TDFFTex>{TextureRef("wheel")}));
}

TEST(ChunkWalk, NamesEndAtTheFirstZeroAndAreTrimmed) {
    const Bytes body = Chunk(2, {'b', 'o', 'd', 'y', 0, 0, 0, 0});
    const Bytes padded = Chunk(2, {' ', 'b', 'o', 'd', 'y', ' ', ' ', '\t'});
    EXPECT_EQ(Scan(Chunk(6, body)), (std::vector<TDFFTex>{TextureRef("body")}));
    EXPECT_EQ(Scan(Chunk(6, padded)), (std::vector<TDFFTex>{TextureRef("body")}));
    EXPECT_EQ(Scan(Chunk(6, Chunk(2, {'c', 'a', 'f', 0xE9}))), (std::vector<TDFFTex>{TextureRef("café")}));
}

TEST(ChunkWalk, FirstNonEmptyStringNamesTheTextureAndTheLastLaterOneItsAlpha) {
    EXPECT_EQ(Scan(Texture({"", "glass"})), (std::vector<TDFFTex>{TextureRef("glass")}));
    EXPECT_EQ(Scan(Texture({"glass", "glass_a", "glass_b"})), (std::vector<TDFFTex>{TextureRef("glass", "glass_b")}));
    EXPECT_EQ(Scan(Texture({"glass", "glass_a", ""})), (std::vector<TDFFTex>{TextureRef("glass", "glass_a")}));
    EXPECT_EQ(Scan(Texture({})), (std::vector<TDFFTex>{TextureRef("")}));
}

TEST(ChunkWalk, ModelListKeepsCaseVariantsAndTheFirstOfEqualNames) {
    const Bytes model = Model({Material(Texture({"Rim"})), Material(Texture({"rim", "a"})),
                               Material(Texture({"rim", "b"})), Material(Texture({"axle"}))});
    EXPECT_EQ(BuildDffTexList(Scan(model)),
              (std::vector<TDFFTex>{TextureRef("axle"), TextureRef("Rim"), TextureRef("rim", "a")}));
}

TEST(ChunkWalk, DataChunksAreEnteredOnlyAtTheTop) {
    EXPECT_EQ(Scan(Chunk(kData, Texture({"top"}))), (std::vector<TDFFTex>{TextureRef("top")}));
    EXPECT_TRUE(Scan(Chunk(kClump, Chunk(kData, Texture({"hidden"})))).empty());
}

TEST(ChunkWalk, StringsOutsideTexturesAreNotNames) {
    const Bytes model = Chunk(
        kClump, Join({String("clump"), Chunk(kExtension, String("extension")), Chunk(kMaterial, String("material"))}));
    EXPECT_TRUE(Scan(model).empty());
    EXPECT_TRUE(Scan(String("top")).empty());
}

TEST(ChunkWalk, OnlyTheFirstTopLevelChunkIsWalked) {
    const Bytes first = Chunk(kClump, Texture({"first"}));
    const ModelScan scan = ScanModel(Join({first, Chunk(kClump, Texture({"second"}))}), nullptr);
    EXPECT_EQ(scan.ScanList, (std::vector<TDFFTex>{TextureRef("first")}));
    EXPECT_EQ(scan.EndPosition, first.size());
    EXPECT_TRUE(Scan(Chunk(kFrame, Texture({"inside frame"}))).empty());
}

TEST(ChunkWalk, AChildRunningPastItsParentResumesAtTheParentsEnd) {
    // The Material's child claims 1000 bytes; the Geometry List's next child must still be read.
    const Bytes runaway = Join({Header(kExtension, 1000), Texture({"swallowed?"})});
    const Bytes model = Chunk(kClump, Join({Chunk(kMaterial, runaway), Material(Texture({"next"}))}));
    const std::vector<TDFFTex> scan = Scan(model);
    // The overrunning Extension reads on into the next Material, so its texture is met twice; the
    // sibling at the parent's end is read as the parent's sibling all the same.
    ASSERT_GE(scan.size(), 2u);
    EXPECT_EQ(scan.front(), TextureRef("swallowed?"));
    EXPECT_EQ(scan.back(), TextureRef("next"));
    EXPECT_EQ(BuildDffTexList(scan), (std::vector<TDFFTex>{TextureRef("next"), TextureRef("swallowed?")}));
}

TEST(ChunkWalk, MaterialEffectsSkipTwentyBytesUnlessTheirLayoutReadsToTheEnd) {
    const Bytes skipped = Chunk(kEffects, Join({Bytes(20, 0xAB), Texture({"effect"})}));
    EXPECT_EQ(Scan(skipped), (std::vector<TDFFTex>{TextureRef("effect")}));

    // Bump map with both textures, then no second effect.
    const Bytes bump =
        Chunk(kEffects,
              Join({U32(1), U32(1), U32(0x3F800000), U32(1), Texture({"bump"}), U32(1), Texture({"bump2"}), U32(0)}));
    EXPECT_EQ(Scan(bump), (std::vector<TDFFTex>{TextureRef("bump"), TextureRef("bump2")}));

    // Environment map, then dual texture.
    const Bytes twoEffects = Chunk(kEffects, Join({U32(5), U32(2), U32(0x3F000000), U32(0), U32(1), Texture({"env"}),
                                                   U32(4), U32(5), U32(6), U32(1), Texture({"dual"})}));
    EXPECT_EQ(Scan(twoEffects), (std::vector<TDFFTex>{TextureRef("env"), TextureRef("dual")}));

    // A layout that does not end exactly at the chunk's end falls back to the skip.
    const Bytes trailing = Chunk(kEffects, Join({U32(2), U32(2), U32(0), U32(0), U32(0), U32(0), Bytes(4)}));
    EXPECT_TRUE(Scan(trailing).empty());
}

// San Andreas models carry chunks of their own: the walk steps over their 2D effects, night
// colours, collision, specular and reflection materials, and takes the textures of breakable pieces,
// which the game reads from the model's dictionary too.
TEST(ChunkWalk, SanAndreasModelsGiveTheirTexturesAndThoseOfTheirBreakablePieces) {
    constexpr uint32_t kStamp = 0x1803FFFF, kBreakable = 0x0253F2FD, kEffects2d = 0x0253F2F8,
                       kNightColours = 0x0253F2F9, kCollision = 0x0253F2FA, kSpecular = 0x0253F2F6,
                       kReflection = 0x0253F2FC;
    const auto chunk = [&](uint32_t type, const Bytes& payload) { return Chunk(type, payload, kStamp); };
    // Payloads that would read as chunks if the walk entered them.
    const Bytes lookAlike = Join({Texture({"not a texture"}), Bytes(24, 0)});
    Bytes corona(24, 0);
    std::copy_n("coronastar", 10, corona.begin());
    const Bytes material =
        chunk(kMaterial, Join({chunk(kData, Bytes(28)), Texture({"body", "bodym"}),
                               chunk(kExtension, Join({chunk(kSpecular, Join({U32(0x3F000000), corona})),
                                                       chunk(kReflection, Bytes(24, 0))}))}));
    const Bytes geometry = chunk(
        kGeometry,
        Join({chunk(kData, Bytes(16)), chunk(kMaterialList, Join({chunk(kData, U32(1)), material})),
              chunk(kExtension,
                    Join({chunk(kNightColours, lookAlike), chunk(kEffects2d, Join({U32(1), corona})),
                          chunk(kBreakable, BreakablePayload({{"glass", "glassm"}, {"", ""}, {"frame", ""}}))}))}));
    const Bytes model =
        chunk(kClump, Join({chunk(kData, U32(1)), chunk(kGeometryList, Join({chunk(kData, U32(1)), geometry})),
                            chunk(kExtension, chunk(kCollision, Join({Bytes{'C', 'O', 'L', '3'}, lookAlike})))}));
    EXPECT_EQ(Scan(model),
              (std::vector<TDFFTex>{TextureRef("body", "bodym"), TextureRef("glass", "glassm"), TextureRef("frame")}));

    // Payloads that are not laid out so, to the last byte, give no names.
    const struct {
        const char* Case;
        Bytes Payload;
        std::vector<TDFFTex> Expected;
    } payloads[] = {
        {"no pieces", U32(0), {}},
        {"no pieces, but more", Join({U32(0), BreakablePayload({{"hidden", ""}})}), {}},
        {"many vertices", BreakablePayload({{"wall", "wallm"}}, 300, 200), {TextureRef("wall", "wallm")}},
        {"one byte short",
         [] {
             Bytes b = BreakablePayload({{"short", ""}});
             b.pop_back();
             return b;
         }(),
         {}},
        {"one byte over", Join({BreakablePayload({{"long", ""}}), Bytes(1)}), {}},
        {"header cut", Bytes(30, 1), {}},
        {"empty", {}, {}},
    };
    for (const auto& p : payloads) {
        EXPECT_EQ(Scan(chunk(kBreakable, p.Payload)), p.Expected) << p.Case;
    }
}

TEST(ChunkWalk, HostileSizesDepthsAndCutsEndCleanly) {
    // Sizes of 0xFFFFFFFF at every level.
    EXPECT_EQ(Scan(Join({Header(kClump, 0xFFFFFFFF), Header(6, 0xFFFFFFFF), String("huge")})),
              (std::vector<TDFFTex>{TextureRef("huge")}));
    // A file cut inside a header and inside a name.
    const Bytes whole = Chunk(kClump, Texture({"cut_here_in_the_name"}));
    for (size_t length = 0; length < whole.size(); ++length) {
        ScanModel(Bytes(whole.begin(), whole.begin() + static_cast<ptrdiff_t>(length)), nullptr);
    }
    // Cut the closing extension header and the name's last 13 bytes (9 letters and the padding).
    const Bytes cutName(whole.begin(), whole.end() - 25);
    EXPECT_EQ(Scan(cutName), (std::vector<TDFFTex>{TextureRef("cut_here_in")}));
    // Nesting deeper than fifteen levels: the sixteenth is not entered.
    Bytes nested = Texture({"deep"});
    for (int level = 0; level < 20; ++level) {
        nested = Chunk(kExtension, nested);
    }
    EXPECT_TRUE(Scan(nested).empty());
    Bytes shallow = Texture({"fits"});
    for (int level = 0; level < 13; ++level) {
        shallow = Chunk(kExtension, shallow);
    }
    EXPECT_EQ(Scan(shallow), (std::vector<TDFFTex>{TextureRef("fits")}));  // Texture at depth 13, String at 14
}

size_t Occurrences(const std::string& text, std::string_view part) {
    size_t count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size())) {
        ++count;
    }
    return count;
}

// Chunks that overrun their parents make every level read the same headers again, so that the
// reads grow exponentially with the number of such chunks: unchecked, these 25 headers are read
// 6,600 times, and a few thousand of them never finish. The count of headers read, one log line
// each, stays within a small multiple of the headers the file can hold.
TEST(ChunkWalk, OverlappingChunksCannotMakeTheWalkQuadratic) {
    Bytes model = Header(kClump, 0xFFFFFFFF);
    for (int i = 0; i < 12; ++i) {
        const Bytes unit = Join({Header(kExtension, 12), Header(kExtension, 0xFFFFFFF0)});
        model.insert(model.end(), unit.begin(), unit.end());
    }
    const size_t headersPresent = model.size() / kChunkHeaderSize;
    ChunkLog log("now", "hostile.dff", model.size(), NumberFormat{});
    ScanModel(model, &log);
    const size_t headersRead = Occurrences(log.Text(), "; offset: ");
    EXPECT_GE(headersRead, headersPresent);
    EXPECT_LE(headersRead, 4 * headersPresent + 64);
    EXPECT_NE(log.Text().find("Walk stopped"), std::string::npos);
}

}  // namespace
}  // namespace vc
