#include "rw/txd_reader.h"

#include <algorithm>
#include <cstdio>

#include "io/byte_reader.h"
#include "io/code_page.h"
#include "io/error.h"
#include "rw/txd_format.h"

namespace vc {

namespace {

// Direct3D 8 and 9 palettes of PAL4 rasters hold 32 entries, of which the first 16 are used.
constexpr size_t kPal4Entries = 32;
constexpr unsigned kPal4Colours = 16;

std::string Hex(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string ChunkName(ChunkType type) {
    switch (type) {
        case ChunkType::Data:
            return "data";
        case ChunkType::Extension:
            return "extension";
        case ChunkType::TextureNative:
            return "texture native";
        case ChunkType::TextureDictionary:
            return "texture dictionary";
        default:
            return "chunk";
    }
}

// Reads a chunk header of the expected type and gives a reader over exactly its content.
ByteReader OpenChunk(ByteReader& in, ChunkType expected, uint32_t* versionStamp = nullptr) {
    const uint32_t type = in.U32();
    if (type != static_cast<uint32_t>(expected)) {
        in.Fail("found chunk type " + std::to_string(type) + " where a " + ChunkName(expected) + " chunk (type " +
                std::to_string(static_cast<uint32_t>(expected)) + ") belongs");
    }
    const uint32_t size = in.U32();
    const uint32_t stamp = in.U32();
    if (versionStamp != nullptr) {
        *versionStamp = stamp;
    }
    if (size > in.Remaining()) {
        in.Fail("the " + ChunkName(expected) + " chunk declares " + std::to_string(size) + " bytes but only " +
                std::to_string(in.Remaining()) + " follow");
    }
    return in.Nested(size);
}

std::string ReadName(ByteReader& in) {
    const auto field = in.Bytes(kNameFieldSize);
    size_t length = 0;
    while (length < field.size() && field[length] != 0) {
        ++length;
    }
    return Windows1252ToUtf8({reinterpret_cast<const char*>(field.data()), length});
}

// Platforms 8 and 9 share the layout of the fixed fields; they differ in what the field after the
// raster format and the byte after the raster type mean.
void ReadFixedFields(ByteReader& data, TxdTexture& texture) {
    texture.Platform = data.U32();
    if (texture.Platform != static_cast<uint32_t>(TxdPlatform::Direct3D8) &&
        texture.Platform != static_cast<uint32_t>(TxdPlatform::Direct3D9)) {
        data.Fail("the texture is of platform " + std::to_string(texture.Platform) + " (" + Hex(texture.Platform, 8) +
                  "), not of Direct3D 8 (8) or Direct3D 9 (9)");
    }
    const bool d3d9 = texture.Platform == static_cast<uint32_t>(TxdPlatform::Direct3D9);
    texture.Flags = data.U32();
    texture.Name = ReadName(data);
    texture.MaskName = ReadName(data);
    texture.RasterFormat = data.U32();
    (d3d9 ? texture.D3dFormat : texture.AlphaFlag) = data.U32();
    texture.Width = data.U16();
    texture.Height = data.U16();
    texture.Depth = data.U8();
    texture.Levels = data.U8();
    texture.RasterType = data.U8();
    (d3d9 ? texture.D3d9Flags : texture.Compression) = data.U8();
    if (d3d9) {
        texture.AlphaFlag = texture.D3d9Flags & kD3d9HasAlpha;
    }
}

// The format the raster format field names: a palette or one of the pixel formats.
TextureFormat FormatOfRaster(const ByteReader& data, uint32_t rasterFormat) {
    const uint32_t pixels = rasterFormat & kRasterPixelFormat;
    const bool pal8 = (rasterFormat & kRasterPal8) != 0;
    const bool pal4 = (rasterFormat & kRasterPal4) != 0;
    if (pal8 && pal4) {
        data.Fail("raster format " + Hex(rasterFormat, 4) + " asks for both PAL8 and PAL4");
    }
    if (pal8 || pal4) {
        if (pixels != kRasterC8888 && pixels != kRasterC888) {
            data.Fail("raster format " + Hex(rasterFormat, 4) + " gives palette entries of no known form (" +
                      Hex(pixels, 4) + ")");
        }
        return pal8 ? TextureFormat::Pal8 : TextureFormat::Pal4;
    }
    switch (pixels) {
        case kRasterC1555:
            return TextureFormat::C1555;
        case kRasterC565:
            return TextureFormat::C565;
        case kRasterC4444:
            return TextureFormat::C4444;
        case kRasterLum8:
            return TextureFormat::Lum8;
        case kRasterC8888:
            return TextureFormat::C8888;
        case kRasterC888:
            return TextureFormat::C888;
        case kRasterC555:
            return TextureFormat::C555;
        default:
            data.Fail("raster format " + Hex(rasterFormat, 4) + " names no pixel format this reader knows");
    }
}

[[noreturn]] void FailPremultiplied(const ByteReader& data, unsigned dxt) {
    data.Fail("DXT" + std::to_string(dxt) + " (premultiplied alpha) is not supported");
}

// Direct3D 8 names a DXT form by its compression byte; otherwise the raster format decides.
TextureFormat FormatOfD3d8(const ByteReader& data, const TxdTexture& texture) {
    switch (texture.Compression) {
        case 0:
            return FormatOfRaster(data, texture.RasterFormat);
        case 1:
            return TextureFormat::Dxt1;
        case 3:
            return TextureFormat::Dxt3;
        case 5:
            return TextureFormat::Dxt5;
        case 2:
        case 4:
            FailPremultiplied(data, texture.Compression);
        default:
            data.Fail("compression " + std::to_string(texture.Compression) + " is not one of DXT1 to DXT5");
    }
}

// Direct3D 9 names its surface format; palettes are told by the raster format, and writers that
// leave the surface format 0 are read by the raster format too.
TextureFormat FormatOfD3d9(const ByteReader& data, const TxdTexture& texture) {
    if (texture.D3d9Flags & kD3d9CubeTexture) {
        data.Fail("the texture is a cube texture, which is not read");
    }
    if (texture.RasterFormat & (kRasterPal8 | kRasterPal4)) {
        return FormatOfRaster(data, texture.RasterFormat);
    }
    switch (static_cast<D3dFormat>(texture.D3dFormat)) {
        case D3dFormat::A8R8G8B8:
            return TextureFormat::C8888;
        case D3dFormat::X8R8G8B8:
            return TextureFormat::C888;
        case D3dFormat::R5G6B5:
            return TextureFormat::C565;
        case D3dFormat::X1R5G5B5:
            return TextureFormat::C555;
        case D3dFormat::A1R5G5B5:
            return TextureFormat::C1555;
        case D3dFormat::A4R4G4B4:
            return TextureFormat::C4444;
        case D3dFormat::L8:
            return TextureFormat::Lum8;
        case D3dFormat::Dxt1:
            return TextureFormat::Dxt1;
        case D3dFormat::Dxt3:
            return TextureFormat::Dxt3;
        case D3dFormat::Dxt5:
            return TextureFormat::Dxt5;
        case D3dFormat::Dxt2:
            FailPremultiplied(data, 2);
        case D3dFormat::Dxt4:
            FailPremultiplied(data, 4);
        default:
            if (texture.D3dFormat == 0) {
                return FormatOfRaster(data, texture.RasterFormat);
            }
            data.Fail("Direct3D format " + std::to_string(texture.D3dFormat) + " (" + Hex(texture.D3dFormat, 8) +
                      ") is not one this reader knows");
    }
}

std::string SizeText(uint32_t width, uint32_t height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

// Checks that every index of a PAL4 picture lies among the palette's 16 colours.
void CheckPal4Indices(const ByteReader& data, ByteSlice pixels) {
    for (size_t i = 0; i < pixels.Size(); ++i) {
        if (pixels[i] >= kPal4Colours) {
            data.Fail("pixel " + std::to_string(i) + " of the picture indexes colour " + std::to_string(pixels[i]) +
                      " of a PAL4 palette, which has 16");
        }
    }
}

// The palette and the levels, each level checked against the bytes its size and format need.
void ReadContent(ByteReader& data, TxdTexture& texture) {
    const TextureFormat format = texture.Platform == static_cast<uint32_t>(TxdPlatform::Direct3D9)
                                     ? FormatOfD3d9(data, texture)
                                     : FormatOfD3d8(data, texture);
    const std::string_view formatName = TextureFormatName(format);
    if (texture.Width == 0 || texture.Height == 0) {
        data.Fail("the texture has no pixels: " + SizeText(texture.Width, texture.Height));
    }
    if (texture.Levels == 0) {
        data.Fail("the texture has no levels");
    }
    // Direct3D makes no texture with more levels than its whole chain, nor can a DDS file hold one.
    if (const uint32_t chain = FullChainLevels(texture.Width, texture.Height); texture.Levels > chain) {
        data.Fail("the texture has " + std::to_string(texture.Levels) + " levels, more than the " +
                  std::to_string(chain) + " of a whole chain from " + SizeText(texture.Width, texture.Height));
    }
    if (IsPaletted(format)) {
        const size_t entries = format == TextureFormat::Pal8 ? 256 : kPal4Entries;
        if (4 * entries > data.Remaining()) {
            data.Fail("the " + std::string(formatName) + " palette of " + std::to_string(entries) + " entries needs " +
                      std::to_string(4 * entries) + " bytes but only " + std::to_string(data.Remaining()) + " follow");
        }
        texture.Palette = {data.Offset(), 4 * entries};
        data.Skip(4 * entries);
    }
    for (unsigned level = 0; level < texture.Levels; ++level) {
        const uint32_t size = data.U32();
        if (size > data.Remaining()) {
            data.Fail("mipmap level " + std::to_string(level) + " declares " + std::to_string(size) +
                      " bytes of pixels but only " + std::to_string(data.Remaining()) + " follow");
        }
        const uint32_t width = LevelSide(texture.Width, level);
        const uint32_t height = LevelSide(texture.Height, level);
        const uint64_t needed = LevelSize(format, width, height);
        if (size < needed) {
            data.Fail("mipmap level " + std::to_string(level) + " holds " + std::to_string(size) + " bytes where " +
                      SizeText(width, height) + " pixels of " + std::string(formatName) + " need " +
                      std::to_string(needed));
        }
        texture.LevelPixels.push_back({data.Offset(), size});
        const ByteSlice pixels = data.Slice(size);
        if (level == 0 && format == TextureFormat::Pal4) {
            CheckPal4Indices(data, pixels.Sub(0, needed));
        }
    }
    texture.Format = format;
}

TxdTexture ReadTextureNative(ByteReader& dictionary) {
    TxdTexture texture;
    texture.Offset = dictionary.Offset();
    ByteReader native = OpenChunk(dictionary, ChunkType::TextureNative);
    ByteReader data = OpenChunk(native, ChunkType::Data);
    // The data chunk's size is sound, so a texture whose content is not can be passed over.
    try {
        ReadFixedFields(data, texture);
        ReadContent(data, texture);
    } catch (const Error& error) {
        texture.Problem = error.what();
        texture.Palette = {};
        texture.LevelPixels.clear();
    }
    ByteReader extension = OpenChunk(native, ChunkType::Extension);
    const auto extensionBytes = extension.Bytes(extension.Remaining());
    texture.Extension.assign(extensionBytes.begin(), extensionBytes.end());
    return texture;
}

}  // namespace

TxdContents ReadTxd(std::span<const uint8_t> file) {
    ByteReader in(file, "Texture dictionary");
    TxdContents contents;
    ByteReader dictionary = OpenChunk(in, ChunkType::TextureDictionary, &contents.VersionStamp);
    ByteReader info = OpenChunk(dictionary, ChunkType::Data);
    const uint16_t count = info.U16();
    contents.DeviceId = info.U16();
    for (uint16_t i = 0; i < count; ++i) {
        // Each texture needs at least its headers, so a false count fails before it can loop long.
        contents.Textures.push_back(ReadTextureNative(dictionary));
    }
    OpenChunk(dictionary, ChunkType::Extension);
    return contents;
}

}  // namespace vc
