// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/texture_native.h"

#include <array>

#include "io/byte_writer.h"
#include "io/code_page.h"
#include "io/number_format.h"
#include "rw/d3d8_native.h"
#include "rw/d3d9_native.h"
#include "rw/txd_format.h"

namespace vc {

namespace {

const std::array<const NativeLayout*, 2> kLayouts = {&kD3d8Layout, &kD3d9Layout};

const NativeLayout* LayoutOf(uint32_t platform) {
    for (const NativeLayout* layout : kLayouts) {
        if (layout->Platform == platform) {
            return layout;
        }
    }
    return nullptr;
}

std::string ReadName(ByteReader& in) {
    const auto field = in.Bytes(kNameFieldSize);
    size_t length = 0;
    while (length < field.size() && field[length] != 0) {
        ++length;
    }
    return Windows1252ToUtf8({reinterpret_cast<const char*>(field.data()), length});
}

// The chunk headers and fixed fields, up to the palette.
std::vector<uint8_t> FixedFields(const NativeLayout& layout, const NativeHeader& header, const NativeSizes& sizes,
                                 uint32_t stamp) {
    ByteWriter out;
    AppendChunkHeader(out, ChunkType::TextureNative, sizes.Content, stamp);
    AppendChunkHeader(out, ChunkType::Data, sizes.DataContent, stamp);
    out.U32(header.Platform);
    out.U32(header.Flags);
    out.FixedText(Utf8ToWindows1252(header.Name), kNameFieldSize);
    out.FixedText(Utf8ToWindows1252(header.MaskName), kNameFieldSize);
    out.U32(header.RasterFormat);
    out.U32(header.*layout.Word);
    out.U16(header.Width);
    out.U16(header.Height);
    out.U8(header.Depth);
    out.U8(header.Levels);
    out.U8(header.RasterType);
    out.U8(header.*layout.Byte);
    return out.Take();
}

}  // namespace

NativeSizes NativeSizesOf(const TextureFields& fields, const TextureRaster& raster) {
    NativeSizes sizes;
    sizes.DataContent = kFixedFieldsSize + StoredPaletteSize(raster.Format);
    for (const std::vector<uint8_t>& level : raster.Levels) {
        sizes.DataContent += 4 + level.size();
    }
    sizes.Content = sizes.DataContent + 2 * kChunkHeaderSize + fields.Extension.size();
    return sizes;
}

void ReadNativeHeader(ByteReader& data, NativeHeader& header) {
    header.Platform = data.U32();
    const NativeLayout* layout = LayoutOf(header.Platform);
    if (layout == nullptr) {
        data.Fail("the texture is of platform " + std::to_string(header.Platform) + " (" + HexText(header.Platform, 8) +
                  "), not of Direct3D 8 (8) or Direct3D 9 (9)");
    }
    header.Flags = data.U32();
    header.Name = ReadName(data);
    header.MaskName = ReadName(data);
    header.RasterFormat = data.U32();
    header.*layout->Word = data.U32();
    header.Width = data.U16();
    header.Height = data.U16();
    header.Depth = data.U8();
    header.Levels = data.U8();
    header.RasterType = data.U8();
    header.*layout->Byte = data.U8();
    header.AlphaFlag = layout->AlphaFlagOf(header);
}

TextureFormat NativeFormat(const ByteReader& data, const NativeHeader& header) {
    return LayoutOf(header.Platform)->FormatOf(data, header);
}

std::string NameAsWritten(std::string_view name) {
    const std::string bytes = Utf8ToWindows1252(name);
    return Windows1252ToUtf8(std::string_view(bytes).substr(0, kNameFieldSize - 1));
}

NativeHeader NativeHeaderFor(TxdPlatform platform, const TextureFields& fields, const TextureRaster& raster) {
    return LayoutOf(static_cast<uint32_t>(platform))->HeaderFor(fields, raster);
}

void WriteTextureNative(ByteSink& out, const TextureFields& fields, const TextureRaster& raster, uint32_t stamp,
                        TxdPlatform platform) {
    const NativeSizes sizes = NativeSizesOf(fields, raster);
    out.Append(FixedFields(*LayoutOf(static_cast<uint32_t>(platform)), NativeHeaderFor(platform, fields, raster), sizes,
                           stamp));
    out.Append(std::span(raster.Palette).first(StoredPaletteSize(raster.Format)));
    for (const std::vector<uint8_t>& level : raster.Levels) {
        out.Append(LittleEndianU32(static_cast<uint32_t>(level.size())));
        out.Append(level);
    }
    AppendChunkHeader(out, ChunkType::Extension, fields.Extension.size(), stamp);
    out.Append(fields.Extension);
}

}  // namespace vc
