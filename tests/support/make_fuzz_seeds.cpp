// SPDX-License-Identifier: GPL-3.0-or-later
// Writes the fuzzers' starting inputs: make_fuzz_seeds CORPUS_FOLDER
// A few small files of each kind the readers take, made by the project's own writers.

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>

#include "image_files.h"
#include "img_files.h"
#include "model_chunks.h"
#include "ops/txd_builder.h"
#include "ops/workspace.h"
#include "raster/dds_file.h"
#include "raster/texture_format.h"
#include "txd_chunks.h"

namespace {

void Save(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void Save(const std::filesystem::path& path, const std::string& text) {
    Save(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// A San Andreas dictionary with a texture of every format the reader knows, DXT ones on Direct3D 9
// with their levels down to 1 × 1, the others on Direct3D 8.
vc::test::Bytes FormatsDictionary() {
    using namespace vc::test;
    using vc::TextureFormat;
    std::vector<Bytes> natives;
    const std::pair<uint32_t, TextureFormat> dxts[] = {
        {0x31545844, TextureFormat::Dxt1}, {0x33545844, TextureFormat::Dxt3}, {0x35545844, TextureFormat::Dxt5}};
    for (const auto& [fourCc, format] : dxts) {
        // Flags 0x09: alpha, compressed.
        NativeFields dxt{.Platform = 9,
                         .Name = "dxt",
                         .RasterFormat = 0x8300,
                         .AlphaOrD3dFormat = fourCc,
                         .Width = 8,
                         .Height = 4,
                         .CompressionOrFlags = 0x09};
        for (uint32_t width = 8, height = 4; width > 0; width /= 2, height = std::max(height / 2, 1u)) {
            dxt.LevelPixels.push_back(Bytes(vc::LevelSize(format, width, height), 0x5A));
        }
        natives.push_back(TextureNative(dxt, 0x1803FFFF));
    }
    const std::pair<uint32_t, TextureFormat> others[] = {
        {0x2500, TextureFormat::Pal8},  {0x4600, TextureFormat::Pal4},  {0x0100, TextureFormat::C1555},
        {0x0200, TextureFormat::C565},  {0x0300, TextureFormat::C4444}, {0x0400, TextureFormat::Lum8},
        {0x0500, TextureFormat::C8888}, {0x0600, TextureFormat::C888},  {0x0A00, TextureFormat::C555}};
    for (const auto& [raster, format] : others) {
        NativeFields direct{.Name = "direct", .RasterFormat = raster, .Width = 4, .Height = 2};
        if (vc::IsPaletted(format)) {
            direct.Palette = Bytes(format == TextureFormat::Pal8 ? 1024 : 128, 0x77);
        }
        direct.LevelPixels = {Bytes(vc::LevelSize(format, 4, 2), 0x0E)};
        natives.push_back(TextureNative(direct, 0x1803FFFF));
    }
    return Dictionary(natives, 2, 0x1803FFFF);
}

// A DDS surface of format with its levels down to 1 × 1, each byte counting up from first.
vc::DdsImage DdsSurface(vc::TextureFormat format, uint32_t width, uint32_t height, uint8_t first) {
    vc::DdsImage image{.Format = format, .Width = width, .Height = height};
    for (uint32_t level = 0; width >> level > 0 || height >> level > 0; ++level) {
        std::vector<uint8_t> bytes(vc::LevelSize(format, std::max(width >> level, 1u), std::max(height >> level, 1u)));
        for (uint8_t& byte : bytes) {
            byte = first++;
        }
        image.Levels.push_back(bytes);
    }
    return image;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: make_fuzz_seeds CORPUS_FOLDER\n";
        return 2;
    }
    using namespace vc::test;
    const std::filesystem::path corpus = argv[1];
    const auto gradient = [](int x, int y) { return vc::RgbColour{uint8_t(x * 16), uint8_t(y * 16), 99}; };
    const auto index = [](int x, int y) { return static_cast<uint8_t>(x ^ y); };

    Save(corpus / "bmp/pal8.bmp", MakePalettedBmp(8, 4, GreyPalette(16), index));
    Save(corpus / "bmp/rgb24.bmp", MakeTrueColourBmp(4, 4, gradient));
    const BmpFields os2{.HeaderSize = 12, .Palette = GreyPalette(4), .Pixels = std::vector<uint8_t>(16, 1)};
    Save(corpus / "bmp/os2.bmp", MakeBmp(os2));

    Save(corpus / "jpeg/colour.jpg", MakeJpeg(16, 8, JpegKind::Colour, gradient, 50));
    Save(corpus / "jpeg/grey.jpg", MakeJpeg(8, 8, JpegKind::Grey, gradient, 50));
    Save(corpus / "jpeg/progressive.jpg", MakeJpeg(8, 8, JpegKind::ProgressiveColour, gradient, 50));

    const auto samples = [](size_t count, int bitDepth) {
        std::vector<uint16_t> values;
        for (size_t i = 0; i < count; ++i) {
            values.push_back(static_cast<uint16_t>((i * 2654435761u >> 7) % (1u << bitDepth)));
        }
        return values;
    };
    Save(corpus / "png/pal4-trns.png", MakePng({.Width = 8,
                                                .Height = 4,
                                                .Colour = PngColour::Palette,
                                                .BitDepth = 4,
                                                .Palette = GreyPalette(16),
                                                .PaletteAlpha = {0, 128},
                                                .Samples = samples(32, 4)}));
    Save(corpus / "png/grey16-interlaced.png", MakePng({.Width = 9,
                                                        .Height = 5,
                                                        .Colour = PngColour::Grey,
                                                        .BitDepth = 16,
                                                        .Interlaced = true,
                                                        .Samples = samples(45, 16)}));
    Save(corpus / "png/rgb-trns.png", MakePng({.Width = 4,
                                               .Height = 4,
                                               .Colour = PngColour::Rgb,
                                               .BitDepth = 8,
                                               .TransparentColour = {1, 2, 3},
                                               .Samples = samples(48, 8)}));
    Save(corpus / "png/rgba16-interlaced.png", MakePng({.Width = 5,
                                                        .Height = 3,
                                                        .Colour = PngColour::Rgba,
                                                        .BitDepth = 16,
                                                        .Interlaced = true,
                                                        .Samples = samples(60, 16)}));
    Save(corpus / "png/grey-alpha.png",
         MakePng({.Width = 4, .Height = 4, .Colour = PngColour::GreyAlpha, .BitDepth = 8, .Samples = samples(32, 8)}));

    const Bytes texture = Texture({"wheel", "wheel_a"});
    const Bytes effects =
        Chunk(288, Join({U32(1), U32(1), U32(0x3F800000), U32(1), Texture({"bump"}), U32(0), U32(0)}));
    Save(corpus / "dff/car.dff",
         Chunk(16, Join({Chunk(1, U32(1)), Chunk(7, Join({Chunk(1, Bytes(28)), texture, Chunk(3, effects)}))})));
    // San Andreas: a geometry's breakable pieces name textures of their own.
    Save(corpus / "dff/breakable.dff",
         Chunk(16,
               Chunk(15,
                     Chunk(3, Chunk(0x0253F2FD, BreakablePayload({{"glass", "glass_a"}, {"frame", ""}}), 0x1803FFFF),
                           0x1803FFFF),
                     0x1803FFFF),
               0x1803FFFF));

    // Archives: a version 1 directory and a version 2 archive's start, each of two entries.
    const std::vector<ImgFile> archived = {{"car.txd", Bytes(3000, 1)}, {"car.dff", Bytes(100, 2)}};
    Save(corpus / "img/gta3.dir", MakeImgArchive(vc::ImgVersion::V1, archived).Dir);
    Save(corpus / "img/gta3.img", MakeImgArchive(vc::ImgVersion::V2, archived).Img);
    // Hostile directories: a count larger than the file, entries past the end and over each other,
    // names with no end, climbing out of a folder, naming a device, twice.
    Save(corpus / "img/hostile-count.img", ImgDirectoryBytes(vc::ImgVersion::V2, {{"a.txd", 1, 1}}, 0xFFFFFFFF));
    Save(corpus / "img/hostile-records.dir", ImgDirectoryBytes(vc::ImgVersion::V1, {{"abcdefghijklmnopqrstuvwx", 0, 1},
                                                                                    {"../../evil.txd", 1, 0xFFFFFFFF},
                                                                                    {"con.txd", 0, 2},
                                                                                    {"A.TXD", 1, 1},
                                                                                    {"a.txd", 1, 0}}));

    const std::filesystem::path image = corpus / "list/../bmp/pal8.bmp";
    Save(corpus / "list/list.txt",
         "[TXDList]\r\ncount=2\r\napp=Vellumcraft 1.1\r\n[Texture1]\r\nname=wall\r\npath=" + image.string() +
             "\r\nalpha=mask\r\nalphapath=" + image.string() + "\r\n[Texture2]\r\nname=road\r\npath=road.jpg\r\n");

    vc::Workspace workspace;
    vc::AddFile(workspace, (corpus / "bmp/pal8.bmp").string(), true);
    vc::AddFile(workspace, (corpus / "bmp/rgb24.bmp").string(), true);
    Save(corpus / "txd/two.txd", vc::BuildTxd(workspace, vc::TxdOptions{}).Bytes);
    Save(corpus / "txd/formats.txd", FormatsDictionary());

    // TGA: a colour-mapped run-length image with an alpha map, a true-colour one with alpha stored
    // top-down, a 16-bit one with an alpha bit stored right to left, and grey with alpha.
    const std::vector<uint8_t> alphaMap = {0, 0, 255, 10, 0, 255, 0, 200, 255, 0, 0, 255, 40, 40, 40, 0};
    Save(corpus / "tga/mapped-rle.tga", MakeTga({.ImageType = 9,
                                                 .Width = 8,
                                                 .Height = 4,
                                                 .PixelBits = 8,
                                                 .Descriptor = 8,
                                                 .MapType = 1,
                                                 .MapLength = 4,
                                                 .MapEntryBits = 32,
                                                 .Map = alphaMap,
                                                 .Pixels = {0, 0, 0, 1, 2, 3, 3, 3, 3, 3, 1, 0, 2, 2, 2, 2,
                                                            2, 2, 2, 2, 1, 2, 3, 0, 0, 0, 0, 0, 0, 0, 1, 1}}));
    std::vector<uint8_t> bgra;
    for (int i = 0; i < 16; ++i) {
        bgra.insert(bgra.end(), {uint8_t(i * 16), uint8_t(i * 8), 99, uint8_t(255 - i)});
    }
    Save(corpus / "tga/rgba32-rle.tga",
         MakeTga({.ImageType = 10, .Width = 4, .Height = 4, .PixelBits = 32, .Descriptor = 0x28, .Pixels = bgra}));
    Save(corpus / "tga/rgb16.tga",
         MakeTga({.Width = 4,
                  .Height = 2,
                  .PixelBits = 16,
                  .Descriptor = 0x11,
                  .Pixels = {0x00, 0xFC, 0xE0, 0x03, 0x1F, 0x80, 0xFF, 0xFF, 0x10, 0x42, 0x00, 0x80, 1, 2, 3, 4}}));
    Save(corpus / "tga/grey-alpha.tga",
         MakeTga({.ImageType = 11,
                  .Width = 4,
                  .Height = 2,
                  .PixelBits = 16,
                  .Descriptor = 8,
                  .Pixels = {0, 255, 0, 255, 0, 255, 17, 0, 128, 128, 128, 128, 1, 2, 3, 4}}));

    // DDS: compressed with mipmaps (DXT1 with 1-bit alpha), a 16-bit layout and a palette.
    vc::DdsImage dxt1 = DdsSurface(vc::TextureFormat::Dxt1, 8, 4, 1);
    dxt1.AlphaPixels = true;
    Save(corpus / "dds/dxt1-alpha-mipmaps.dds", vc::EncodeDds(dxt1));
    Save(corpus / "dds/dxt5-mipmaps.dds", vc::EncodeDds(DdsSurface(vc::TextureFormat::Dxt5, 4, 8, 7)));
    Save(corpus / "dds/c1555-mipmaps.dds", vc::EncodeDds(DdsSurface(vc::TextureFormat::C1555, 4, 2, 3)));
    vc::DdsImage pal8 = DdsSurface(vc::TextureFormat::Pal8, 4, 4, 9);
    pal8.Levels.resize(1);
    pal8.Palette.resize(1024);
    for (size_t i = 0; i < pal8.Palette.size(); ++i) {
        pal8.Palette[i] = static_cast<uint8_t>(i * 7);
    }
    Save(corpus / "dds/pal8.dds", vc::EncodeDds(pal8));
    return 0;
}
