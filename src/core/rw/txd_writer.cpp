// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/txd_writer.h"

#include <limits>
#include <string>

#include "io/byte_writer.h"
#include "io/error.h"
#include "rw/texture_native.h"
#include "rw/txd_format.h"

namespace vc {

namespace {

// The dictionary's data chunk holds the texture count and the device id, 16 bits each.
constexpr size_t kDictionarySizeOffset = 4;
constexpr size_t kTextureCountOffset = 24;
constexpr size_t kInfoSize = 4;
constexpr uint64_t kClosingExtensionSize = kChunkHeaderSize + kCreatorText.size();

std::array<uint8_t, kInfoSize> Info(uint16_t count, uint16_t device) {
    return {static_cast<uint8_t>(count), static_cast<uint8_t>(count >> 8), static_cast<uint8_t>(device),
            static_cast<uint8_t>(device >> 8)};
}

}  // namespace

uint64_t DictionaryOverhead() {
    return 2 * kChunkHeaderSize + kInfoSize + kClosingExtensionSize;
}

TxdWriter::TxdWriter(ByteSink& out, const DictionaryForm& form) : m_out(out), m_form(form) {
    // The dictionary's size and the count are patched once every texture is written.
    AppendChunkHeader(m_out, ChunkType::TextureDictionary, 0, m_form.Stamp);
    AppendChunkHeader(m_out, ChunkType::Data, kInfoSize, m_form.Stamp);
    m_out.Append(Info(0, m_form.DeviceId));
}

void TxdWriter::Add(const TextureFields& fields, const TextureRaster& raster) {
    if (m_count == kMaxTextures) {
        throw Error(ErrorKind::Limit, "A texture dictionary holds at most " + std::to_string(kMaxTextures) +
                                          " textures; \"" + fields.Name + "\" would be one more. Nothing was written.");
    }
    const uint64_t sizeField = m_out.Size() + NativeSizesOf(fields, raster).Content + kClosingExtensionSize;
    if (sizeField > std::numeric_limits<uint32_t>::max()) {
        throw Error(ErrorKind::Limit, "The texture dictionary would exceed 4 GiB with \"" + fields.Name +
                                          "\", more than its size fields can hold; nothing was written.");
    }
    WriteTextureNative(m_out, fields, raster, m_form.Stamp, m_form.Platform);
    ++m_count;
}

uint64_t TxdWriter::Finish() {
    m_out.Overwrite(kTextureCountOffset, Info(m_count, m_form.DeviceId));
    AppendChunkHeader(m_out, ChunkType::Extension, kCreatorText.size(), m_form.Stamp);
    m_out.Append({reinterpret_cast<const uint8_t*>(kCreatorText.data()), kCreatorText.size()});
    m_out.PatchU32(kDictionarySizeOffset, static_cast<uint32_t>(m_out.Size() - kChunkHeaderSize));
    return m_out.Size();
}

}  // namespace vc
