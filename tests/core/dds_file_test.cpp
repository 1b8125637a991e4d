// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <random>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "io/byte_writer.h"
#include "io/error.h"
#include "random_damage.h"
#include "raster/dds_file.h"
#include "thrown_error.h"

namespace vc {
namespace {

using Bytes = std::vector<uint8_t>;

constexpr uint32_t MakeFourCc(const char (&code)[5]) {
    return uint32_t(uint8_t(code[0])) | uint32_t(uint8_t(code[1])) << 8 | uint32_t(uint8_t(code[2])) << 16 |
           uint32_t(uint8_t(code[3])) << 24;
}

// The header of a DDS file as a test spells it out, written in file order; by default a 4 × 4 DXT1
// surface of one level as a minimal writer leaves it.
struct DdsFields {
    uint32_t Magic = MakeFourCc("DDS ");
    uint32_t HeaderSize = 124;
    uint32_t Flags = 0x1007;  // caps, height, width, pixel format
    uint32_t Height = 4;
    uint32_t Width = 4;
    uint32_t PitchOrLinearSize = 0;
    uint32_t Depth = 0;
    uint32_t MipmapCount = 0;
    uint32_t PixelFormatSize = 32;
    uint32_t PixelFormatFlags = 0x4;  // FourCC
    uint32_t FourCc = MakeFourCc("DXT1");
    uint32_t Bits = 0;
    uint32_t RedMask = 0;
    uint32_t GreenMask = 0;
    uint32_t BlueMask = 0;
    uint32_t AlphaMask = 0;
    uint32_t Caps = 0x1000;  // texture
    uint32_t Caps2 = 0;
    Bytes Payload = Bytes(8, 0xAB);  // the palette and the levels, written as given
};

Bytes MakeDds(const DdsFields& fields) {
    ByteWriter out;
    out.U32(fields.Magic);              // 0
    out.U32(fields.HeaderSize);         // 4
    out.U32(fields.Flags);              // 8
    out.U32(fields.Height);             // 12
    out.U32(fields.Width);              // 16
    out.U32(fields.PitchOrLinearSize);  // 20
    out.U32(fields.Depth);              // 24
    out.U32(fields.MipmapCount);        // 28
    for (int i = 0; i < 11; ++i) {
        out.U32(0);  // 32: reserved
    }
    out.U32(fields.PixelFormatSize);   // 76
    out.U32(fields.PixelFormatFlags);  // 80
    out.U32(fields.FourCc);            // 84
    out.U32(fields.Bits);              // 88
    out.U32(fields.RedMask);           // 92
    out.U32(fields.GreenMask);         // 96
    out.U32(fields.BlueMask);          // 100
    out.U32(fields.AlphaMask);         // 104
    out.U32(fields.Caps);              // 108
    out.U32(fields.Caps2);             // 112
    out.U32(0);                        // 116: caps3
    out.U32(0);                        // 120: caps4
    out.U32(0);                        // 124: reserved
    out.Append(fields.Payload);
    return out.Take();
}

// The pixel format fields of each texture format as DirectDraw defines them.
void SetPixelFormat(DdsFields& fields, uint32_t flags, uint32_t bits, uint32_t red, uint32_t green, uint32_t blue,
                    uint32_t alpha) {
    fields.PixelFormatFlags = flags;
    fields.FourCc = 0;
    fields.Bits = bits;
    fields.RedMask = red;
    fields.GreenMask = green;
    fields.BlueMask = blue;
    fields.AlphaMask = alpha;
}

// Bytes that differ from level to level and from byte to byte, so that a level read from the wrong
// place or in the wrong order shows.
Bytes Counting(uint64_t size, uint8_t start) {
    Bytes bytes(size);
    for (uint8_t& byte : bytes) {
        byte = start;
        start = static_cast<uint8_t>(start * 5 + 3);
    }
    return bytes;
}

Bytes PaletteWithAlpha() {
    Bytes palette(1024);
    for (size_t i = 0; i < palette.size(); ++i) {
        palette[i] = static_cast<uint8_t>(i % 4 == 3 ? 255 - i / 4 : i * 3);
    }
    return palette;
}

DdsImage Surface(TextureFormat format, uint32_t width, uint32_t height, size_t levels) {
    DdsImage image{.Format = format, .Width = width, .Height = height};
    for (uint32_t level = 0; level < levels; ++level) {
        const uint32_t levelWidth = std::max(width >> level, 1u);
        const uint32_t levelHeight = std::max(height >> level, 1u);
        image.Levels.push_back(Counting(LevelSize(format, levelWidth, levelHeight), static_cast<uint8_t>(level * 41)));
    }
    if (format == TextureFormat::Pal8) {
        image.Palette = PaletteWithAlpha();
    }
    // The alpha masks of these formats imply the flag.
    image.AlphaPixels =
        format == TextureFormat::C8888 || format == TextureFormat::C1555 || format == TextureFormat::C4444;
    return image;
}

// The palette and the levels one after another, as a file holds them.
Bytes Payload(const DdsImage& image) {
    Bytes payload = image.Palette;
    for (const Bytes& level : image.Levels) {
        payload.insert(payload.end(), level.begin(), level.end());
    }
    return payload;
}

const TextureFormat kDdsFormats[] = {TextureFormat::Dxt1,  TextureFormat::Dxt3, TextureFormat::Dxt5,
                                     TextureFormat::C8888, TextureFormat::C888, TextureFormat::C565,
                                     TextureFormat::C1555, TextureFormat::C555, TextureFormat::C4444,
                                     TextureFormat::Lum8,  TextureFormat::Pal8};

test::Thrown ReadError(const Bytes& file) {
    return test::ThrownBy([&] { ReadDds(file); });
}

TEST(DdsFile, EveryFormatAndLevelCountReadsBackAsWritten) {
    struct Shape {
        uint32_t Width, Height;
        size_t Levels;
    };
    // Full chains of sides that are and are not multiples of 4, a part of a chain, a lone 1 × 1.
    const Shape shapes[] = {{8, 4, 4}, {5, 3, 3}, {1, 7, 3}, {16, 16, 2}, {1, 1, 1}, {64, 2, 1}};
    for (const TextureFormat format : kDdsFormats) {
        for (const Shape& shape : shapes) {
            for (const bool alpha : {false, true}) {
                DdsImage image = Surface(format, shape.Width, shape.Height, shape.Levels);
                image.AlphaPixels = image.AlphaPixels || alpha;
                const Bytes file = EncodeDds(image);
                SCOPED_TRACE(std::string(TextureFormatName(format)) + " " + std::to_string(shape.Width) + " × " +
                             std::to_string(shape.Height) + ", " + std::to_string(shape.Levels) + " levels" +
                             (alpha ? ", alpha" : ""));
                EXPECT_EQ(file.size(), 128 + Payload(image).size());
                EXPECT_EQ(ReadDds(file), image);
            }
        }
    }
}

TEST(DdsFile, CompressedLevelsSmallerThanABlockTakeAWholeBlock) {
    const DdsImage dxt1 = Surface(TextureFormat::Dxt1, 2, 2, 2);
    ASSERT_EQ(dxt1.Levels[0].size(), 8u);
    ASSERT_EQ(dxt1.Levels[1].size(), 8u);
    EXPECT_EQ(EncodeDds(dxt1).size(), 128u + 16);
    const DdsImage dxt5 = Surface(TextureFormat::Dxt5, 1, 1, 1);
    ASSERT_EQ(dxt5.Levels[0].size(), 16u);
    EXPECT_EQ(ReadDds(EncodeDds(dxt5)), dxt5);
}

// The header the writer gives, field by field: what other tools expect of a standard file.
TEST(DdsFile, WrittenHeadersCarryTheStandardFields) {
    DdsImage dxt1 = Surface(TextureFormat::Dxt1, 8, 4, 4);
    dxt1.AlphaPixels = true;
    DdsFields mipmappedDxt1{.Flags = 0x000A1007,  // caps, height, width, pixel format, mipmap count, linear size
                            .Height = 4,
                            .Width = 8,
                            .PitchOrLinearSize = 16,
                            .MipmapCount = 4,
                            .PixelFormatFlags = 0x5,  // FourCC, alpha pixels
                            .Caps = 0x00401008,       // complex, texture, mipmap
                            .Payload = Payload(dxt1)};
    EXPECT_EQ(EncodeDds(dxt1), MakeDds(mipmappedDxt1));

    // An 8888 surface says it has alpha even when the image does not ask for it.
    DdsImage c8888 = Surface(TextureFormat::C8888, 3, 2, 1);
    c8888.AlphaPixels = false;
    DdsFields single8888{.Flags = 0x100F, .Height = 2, .Width = 3, .PitchOrLinearSize = 12, .Payload = c8888.Levels[0]};
    SetPixelFormat(single8888, 0x41, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    EXPECT_EQ(EncodeDds(c8888), MakeDds(single8888));

    const DdsImage c565 = Surface(TextureFormat::C565, 5, 1, 1);
    DdsFields single565{.Flags = 0x100F, .Height = 1, .Width = 5, .PitchOrLinearSize = 10, .Payload = c565.Levels[0]};
    SetPixelFormat(single565, 0x40, 16, 0xF800, 0x07E0, 0x001F, 0);
    EXPECT_EQ(EncodeDds(c565), MakeDds(single565));

    // The palette follows the header, each entry red, green, blue, alpha.
    const DdsImage pal8 = Surface(TextureFormat::Pal8, 4, 2, 2);
    DdsFields mipmappedPal8{.Flags = 0x2100F, .Height = 2, .Width = 4, .PitchOrLinearSize = 4, .MipmapCount = 2};
    SetPixelFormat(mipmappedPal8, 0x20, 8, 0, 0, 0, 0);
    mipmappedPal8.Caps = 0x00401008;
    mipmappedPal8.Payload = Payload(pal8);
    EXPECT_EQ(EncodeDds(pal8), MakeDds(mipmappedPal8));

    const DdsImage lum8 = Surface(TextureFormat::Lum8, 2, 2, 1);
    DdsFields singleLum8{.Flags = 0x100F, .Height = 2, .Width = 2, .PitchOrLinearSize = 2, .Payload = lum8.Levels[0]};
    SetPixelFormat(singleLum8, 0x20000, 8, 0xFF, 0, 0, 0);
    EXPECT_EQ(EncodeDds(lum8), MakeDds(singleLum8));
}

TEST(DdsFile, ReadsHeadersOtherWritersLeave) {
    // DXT1 without the alpha flag, without a linear size or its flag.
    DdsImage dxt1 = ReadDds(MakeDds({}));
    EXPECT_EQ(dxt1, (DdsImage{.Format = TextureFormat::Dxt1, .Width = 4, .Height = 4, .Levels = {Bytes(8, 0xAB)}}));

    // A mipmap count of 0 with its flag set is one level; so is a count without its flag. What
    // follows the first level is ignored.
    DdsFields zeroCount{.Flags = 0x21007, .MipmapCount = 0, .Payload = Counting(24, 1)};
    EXPECT_EQ(ReadDds(MakeDds(zeroCount)).Levels, std::vector<Bytes>{Counting(8, 1)});
    DdsFields countWithoutFlag{.Flags = 0x1007, .MipmapCount = 3, .Payload = Counting(24, 1)};
    EXPECT_EQ(ReadDds(MakeDds(countWithoutFlag)).Levels, std::vector<Bytes>{Counting(8, 1)});

    // A part of the chain; a pitch that is wrong is not used.
    DdsFields partChain{.Flags = 0x2100F, .Height = 8, .Width = 8, .PitchOrLinearSize = 0xFFFFFFFF, .MipmapCount = 2};
    SetPixelFormat(partChain, 0x40, 16, 0xF800, 0x07E0, 0x001F, 0);
    partChain.Payload = Counting(128 + 32 + 5, 9);
    const DdsImage c565 = ReadDds(MakeDds(partChain));
    EXPECT_EQ(c565.Format, TextureFormat::C565);
    EXPECT_EQ(c565.Levels,
              (std::vector<Bytes>{Bytes(partChain.Payload.begin(), partChain.Payload.begin() + 128),
                                  Bytes(partChain.Payload.begin() + 128, partChain.Payload.begin() + 160)}));

    // A8R8G8B8 without the alpha flag: its alpha mask says it.
    DdsFields argbWithoutFlag{.Height = 1, .Width = 1, .Payload = {1, 2, 3, 4}};
    SetPixelFormat(argbWithoutFlag, 0x40, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000);
    EXPECT_EQ(
        ReadDds(MakeDds(argbWithoutFlag)),
        (DdsImage{
            .Format = TextureFormat::C8888, .Width = 1, .Height = 1, .AlphaPixels = true, .Levels = {{1, 2, 3, 4}}}));

    // X8R8G8B8 keeps its fourth bytes as stored.
    DdsFields xrgb{.Height = 1, .Width = 2, .Payload = {1, 2, 3, 0x5A, 4, 5, 6, 0xC3}};
    SetPixelFormat(xrgb, 0x40, 32, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    EXPECT_EQ(ReadDds(MakeDds(xrgb)),
              (DdsImage{.Format = TextureFormat::C888, .Width = 2, .Height = 1, .Levels = {xrgb.Payload}}));

    // R8G8B8 is widened to 888, a level at a time, with unused bytes of 255.
    DdsFields rgb{.Flags = 0x2100F, .Height = 1, .Width = 2, .MipmapCount = 2, .Payload = {1, 2, 3, 4, 5, 6, 7, 8, 9}};
    SetPixelFormat(rgb, 0x40, 24, 0x00FF0000, 0x0000FF00, 0x000000FF, 0);
    EXPECT_EQ(ReadDds(MakeDds(rgb)), (DdsImage{.Format = TextureFormat::C888,
                                               .Width = 2,
                                               .Height = 1,
                                               .Levels = {{1, 2, 3, 255, 4, 5, 6, 255}, {7, 8, 9, 255}}}));
    rgb.Payload.pop_back();
    EXPECT_EQ(ReadError(MakeDds(rgb)).Message,
              "DDS image is not valid at byte 134 of 136: mipmap level 1 of 2 (1 × 1) needs 3 bytes but only 2 follow");

    // The sixteen-bit layouts by their masks.
    const std::pair<TextureFormat, std::array<uint32_t, 4>> sixteenBits[] = {
        {TextureFormat::C1555, {0x7C00, 0x03E0, 0x001F, 0x8000}},
        {TextureFormat::C555, {0x7C00, 0x03E0, 0x001F, 0}},
        {TextureFormat::C4444, {0x0F00, 0x00F0, 0x000F, 0xF000}},
    };
    for (const auto& [format, masks] : sixteenBits) {
        DdsFields fields{.Height = 1, .Width = 1, .Payload = {0x34, 0x12}};
        SetPixelFormat(fields, masks[3] != 0 ? 0x41 : 0x40, 16, masks[0], masks[1], masks[2], masks[3]);
        const DdsImage image = ReadDds(MakeDds(fields));
        EXPECT_EQ(image.Format, format) << TextureFormatName(format);
        EXPECT_EQ(image.AlphaPixels, masks[3] != 0) << TextureFormatName(format);
        EXPECT_EQ(image.Levels, std::vector<Bytes>{fields.Payload}) << TextureFormatName(format);
    }

    // A legacy paletted file: the palette right after the header, entries red, green, blue, alpha.
    DdsFields pal8{.Height = 1, .Width = 2};
    SetPixelFormat(pal8, 0x20, 8, 0, 0, 0, 0);
    pal8.Payload = PaletteWithAlpha();
    pal8.Payload.insert(pal8.Payload.end(), {7, 255});
    const DdsImage paletted = ReadDds(MakeDds(pal8));
    EXPECT_EQ(paletted.Format, TextureFormat::Pal8);
    EXPECT_EQ(paletted.Palette, PaletteWithAlpha());
    EXPECT_EQ(paletted.Levels, (std::vector<Bytes>{{7, 255}}));
    EXPECT_FALSE(paletted.AlphaPixels);

    // Luminance as D3DX writes it.
    DdsFields lum8{.Height = 1, .Width = 3, .Payload = {0, 128, 255}};
    SetPixelFormat(lum8, 0x20000, 8, 0xFF, 0, 0, 0);
    EXPECT_EQ(ReadDds(MakeDds(lum8)),
              (DdsImage{.Format = TextureFormat::Lum8, .Width = 3, .Height = 1, .Levels = {{0, 128, 255}}}));
}

struct Refusal {
    std::string Name;
    Bytes File;
    std::string Message;  // after "DDS image is not valid at byte "
};

std::vector<Refusal> Refusals() {
    const auto with = [](auto change) {
        DdsFields fields;
        change(fields);
        return MakeDds(fields);
    };
    const auto cut = [](Bytes file, size_t size) {
        file.resize(size);
        return file;
    };
    const auto of = [](const Bytes& file) { return " of " + std::to_string(file.size()) + ": "; };
    std::vector<Refusal> refusals;
    const auto add = [&](std::string name, Bytes file, const std::string& offset, const std::string& message) {
        const std::string at = offset + of(file);
        refusals.push_back({std::move(name), std::move(file), at + message});
    };
    Bytes bmp = MakeDds({});
    bmp[0] = 'B';
    bmp[1] = 'M';
    add("another file's magic", bmp, "0", "the file starts with \"BMS \" (0x20534D42), not \"DDS \"");
    add("a file shorter than the magic", {'D', 'D'}, "0", "needs 4 bytes but only 2 are left");
    add("header size", with([](DdsFields& f) { f.HeaderSize = 100; }), "4", "the header declares 100 bytes, not 124");
    add("a file ending inside the header", cut(MakeDds({}), 60), "8", "the file ends inside its 128-byte header");
    add("pixel format size", with([](DdsFields& f) { f.PixelFormatSize = 24; }), "76",
        "the pixel format declares 24 bytes, not 32");
    add("DX10 header", with([](DdsFields& f) { f.FourCc = MakeFourCc("DX10"); }), "84",
        "the DX10 extension header is not supported");
    add("premultiplied DXT2", with([](DdsFields& f) { f.FourCc = MakeFourCc("DXT2"); }), "84",
        "FourCC \"DXT2\" (0x32545844) has premultiplied alpha, which is not supported");
    add("unknown FourCC", with([](DdsFields& f) { f.FourCc = MakeFourCc("ATI2"); }), "84",
        "FourCC \"ATI2\" (0x32495441) is not supported; DXT1, DXT3 and DXT5 are");
    add("Direct3D format number as FourCC", with([](DdsFields& f) { f.FourCc = 113; }), "84",
        "FourCC 0x00000071 is not supported; DXT1, DXT3 and DXT5 are");
    add("24-bit BGR", with([](DdsFields& f) { SetPixelFormat(f, 0x40, 24, 0xFF, 0xFF00, 0xFF0000, 0); }), "88",
        "24-bit RGB with masks red 0x000000FF, green 0x0000FF00, blue 0x00FF0000, alpha 0x00000000 is not "
        "supported");
    add("A8B8G8R8", with([](DdsFields& f) { SetPixelFormat(f, 0x41, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000); }), "88",
        "32-bit RGB with masks red 0x000000FF, green 0x0000FF00, blue 0x00FF0000, alpha 0xFF000000 is not "
        "supported");
    add("A8L8", with([](DdsFields& f) { SetPixelFormat(f, 0x20001, 16, 0xFF, 0, 0, 0xFF00); }), "88",
        "16-bit luminance with masks red 0x000000FF, green 0x00000000, blue 0x00000000, alpha 0x0000FF00 is not "
        "supported");
    add("A8P8", with([](DdsFields& f) { SetPixelFormat(f, 0x20, 16, 0, 0, 0, 0); }), "88",
        "16-bit palette indices are not supported");
    add("4-bit palette", with([](DdsFields& f) { SetPixelFormat(f, 0x8, 4, 0, 0, 0, 0); }), "80",
        "pixel format flags 0x00000008 name none of FourCC, 8-bit palette, RGB or luminance");
    add("cube map", with([](DdsFields& f) { f.Caps2 = 0xFE00; }), "112", "cube maps are not supported");
    add("volume by its caps", with([](DdsFields& f) { f.Caps2 = 0x200000; }), "112",
        "volume textures are not supported");
    add("volume by its depth", with([](DdsFields& f) {
            f.Flags |= 0x800000;
            f.Depth = 4;
        }),
        "24", "volume textures are not supported");
    add("width 0", with([](DdsFields& f) { f.Width = 0; }), "16", "width 0 lies outside 1 to 65535");
    add("height 0", with([](DdsFields& f) { f.Height = 0; }), "12", "height 0 lies outside 1 to 65535");
    add("width 65536", with([](DdsFields& f) { f.Width = 65536; }), "16", "width 65536 lies outside 1 to 65535");
    add("height 4294967295", with([](DdsFields& f) { f.Height = 0xFFFFFFFF; }), "12",
        "height 4294967295 lies outside 1 to 65535");
    add("more levels than the chain", with([](DdsFields& f) {
            f.Flags |= 0x20000;
            f.MipmapCount = 4;
        }),
        "28", "4 mipmap levels are more than the 3 a 4 × 4 DXT1 surface has");
    add("palette cut short", with([](DdsFields& f) {
            SetPixelFormat(f, 0x20, 8, 0, 0, 0, 0);
            f.Payload = Bytes(1000);
        }),
        "128", "the palette needs 1024 bytes but only 1000 follow");
    add("first level cut short", with([](DdsFields& f) { f.Payload = Bytes(7); }), "128",
        "mipmap level 0 of 1 (4 × 4) needs 8 bytes but only 7 follow");
    add("last level missing", with([](DdsFields& f) {
            f.Flags |= 0x20000;
            f.MipmapCount = 3;
            f.Payload = Bytes(16);
        }),
        "144", "mipmap level 2 of 3 (1 × 1) needs 8 bytes but only 0 follow");
    add("a huge surface with a few bytes", with([](DdsFields& f) {
            f.Width = 65535;
            f.Height = 65535;
            f.FourCc = MakeFourCc("DXT5");
        }),
        "128", "mipmap level 0 of 1 (65535 × 65535) needs 4294967296 bytes but only 8 follow");
    return refusals;
}

TEST(DdsFile, RefusesWhatItCannotHoldAndSaysWhere) {
    for (const Refusal& refusal : Refusals()) {
        const test::Thrown thrown = ReadError(refusal.File);
        EXPECT_EQ(thrown.Message, "DDS image is not valid at byte " + refusal.Message) << refusal.Name;
        EXPECT_EQ(thrown.Kind, ErrorKind::Malformed) << refusal.Name;
    }
}

// Every byte of these files is needed, so every shorter copy must be refused, never overread.
TEST(DdsFile, EveryTruncationIsRefused) {
    for (const DdsImage& image : {Surface(TextureFormat::Dxt1, 8, 4, 4), Surface(TextureFormat::Pal8, 2, 2, 2),
                                  Surface(TextureFormat::C4444, 3, 5, 3)}) {
        const Bytes file = EncodeDds(image);
        for (size_t size = 0; size < file.size(); ++size) {
            const test::Thrown thrown = ReadError(Bytes(file.begin(), file.begin() + static_cast<ptrdiff_t>(size)));
            EXPECT_EQ(thrown.Kind, ErrorKind::Malformed)
                << TextureFormatName(image.Format) << " cut to " << size << " bytes: " << thrown.Message;
        }
    }
}

// Damaged files end in a result or an Error, and what is read writes back to the same surface.
TEST(DdsFile, RandomlyDamagedFilesFailCleanlyOrReadBackExactly) {
    std::mt19937 random(20261208);
    size_t read = 0;
    size_t refused = 0;
    for (const TextureFormat format : kDdsFormats) {
        const Bytes original = EncodeDds(Surface(format, 8, 4, 2));
        const test::DamageOutcome outcome = test::ReadDamagedCopies(
            random, original, 200, 3,
            [](std::span<const uint8_t> file) {
                const DdsImage image = ReadDds(file);
                EXPECT_EQ(ReadDds(EncodeDds(image)), image);
            },
            128);
        read += outcome.Read;
        refused += outcome.Refused;
    }
    EXPECT_GT(read, 0u) << refused << " refused";
    EXPECT_GT(refused, 0u) << read << " read";
}

TEST(DdsFile, WritingASurfaceItsFormatCannotHoldIsAFaultOfTheCaller) {
    struct Case {
        std::string Name;
        DdsImage Image;
    };
    DdsImage shortLevel = Surface(TextureFormat::Dxt3, 8, 8, 2);
    shortLevel.Levels[1].pop_back();
    DdsImage tooManyLevels = Surface(TextureFormat::C565, 2, 2, 2);
    tooManyLevels.Levels.push_back(Bytes(2));
    DdsImage noLevels = Surface(TextureFormat::C565, 2, 2, 0);
    DdsImage pal4 = Surface(TextureFormat::Pal4, 2, 2, 1);
    DdsImage missingPalette = Surface(TextureFormat::Pal8, 2, 2, 1);
    missingPalette.Palette.clear();
    DdsImage strayPalette = Surface(TextureFormat::C888, 2, 2, 1);
    strayPalette.Palette = PaletteWithAlpha();
    DdsImage tooWide = Surface(TextureFormat::Lum8, 65536, 1, 1);
    const Case cases[] = {{"a level one byte short", shortLevel},
                          {"more levels than the chain", tooManyLevels},
                          {"no level", noLevels},
                          {"PAL4", pal4},
                          {"PAL8 without its palette", missingPalette},
                          {"888 with a palette", strayPalette},
                          {"65536 wide", tooWide}};
    for (const Case& c : cases) {
        EXPECT_THROW(EncodeDds(c.Image), std::invalid_argument) << c.Name;
    }
}

}  // namespace
}  // namespace vc
