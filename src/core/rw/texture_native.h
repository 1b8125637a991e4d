// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/byte_reader.h"
#include "io/byte_sink.h"
#include "raster/texture_format.h"
#include "raster/texture_raster.h"
#include "rw/native_header.h"

namespace vc {

// A texture native's sizes, the same for both platforms: the content of its data chunk (fixed
// fields, palette, each level with its size) and its whole content (the data and extension chunks
// with their headers).
struct NativeSizes {
    uint64_t DataContent = 0;
    uint64_t Content = 0;
};
NativeSizes NativeSizesOf(const TextureFields& fields, const TextureRaster& raster);

// Reads the fixed fields of either platform from a data chunk's content into header, field by
// field, so that the fields read before a failure are kept. An unknown platform fails.
void ReadNativeHeader(ByteReader& data, NativeHeader& header);

// The format the fields of a header ReadNativeHeader read name, by their platform's rules; fails
// when they name none this reader knows.
TextureFormat NativeFormat(const ByteReader& data, const NativeHeader& header);

// A name as a texture native's 32-byte field holds it: its Windows-1252 bytes cut to 31, in UTF-8.
std::string NameAsWritten(std::string_view name);

// The fixed fields a texture native of the platform is written with.
NativeHeader NativeHeaderFor(TxdPlatform platform, const TextureFields& fields, const TextureRaster& raster);

// Appends one texture native chunk of the platform.
void WriteTextureNative(ByteSink& out, const TextureFields& fields, const TextureRaster& raster, uint32_t stamp,
                        TxdPlatform platform);

}  // namespace vc
