#pragma once

#include <cstddef>
#include <cstdint>

#include "io/byte_sink.h"
#include "raster/texture_raster.h"
#include "rw/native_header.h"

namespace vc {

// A dictionary's texture count is a 16-bit field.
constexpr size_t kMaxTextures = 65535;

// Writes a texture dictionary into an empty sink: its headers at once, each texture native as it
// comes, and at the end the closing extension, with the texture count and the sizes patched in
// where the headers left room for them.
class TxdWriter {
  public:
    TxdWriter(ByteSink& out, uint32_t stamp);

    // Appends a Direct3D 8 texture native. Throws an Error of kind Limit, before anything is
    // appended, when the dictionary would hold more than kMaxTextures or outgrow its 32-bit sizes.
    void Add(const TextureFields& fields, const TextureRaster& raster);
    // Appends the closing extension and patches the count and sizes; the dictionary's size.
    uint64_t Finish();

    uint16_t Count() const { return m_count; }

  private:
    ByteSink& m_out;
    uint32_t m_stamp;
    uint16_t m_count = 0;
};

// The bytes a dictionary's headers and closing extension add to its textures.
uint64_t DictionaryOverhead();

}  // namespace vc
