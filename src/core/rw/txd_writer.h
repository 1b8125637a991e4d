// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

#include "io/byte_sink.h"
#include "raster/texture_raster.h"
#include "rw/native_header.h"
#include "rw/txd_format.h"

namespace vc {

// A dictionary's texture count is a 16-bit field.
constexpr size_t kMaxTextures = 65535;

// The platform of a dictionary's texture natives, its version stamp and its device id; by default
// Direct3D 8 natives stamped 3.3.0.2 for no particular device.
struct DictionaryForm {
    TxdPlatform Platform = TxdPlatform::Direct3D8;
    uint32_t Stamp = kVersionStamps[kDefaultVersionIndex];
    uint16_t DeviceId = 0;
};

// Writes a texture dictionary into an empty sink: its headers at once, each texture native as it
// comes, and at the end the closing extension, with the texture count and the sizes patched in
// where the headers left room for them.
class TxdWriter {
  public:
    TxdWriter(ByteSink& out, const DictionaryForm& form);

    // Appends a texture native of the dictionary's platform. Throws an Error of kind Limit, before anything is
    // appended, when the dictionary would hold more than kMaxTextures or outgrow its 32-bit sizes.
    void Add(const TextureFields& fields, const TextureRaster& raster);
    // Appends the closing extension and patches the count and sizes; the dictionary's size.
    uint64_t Finish();

    uint16_t Count() const { return m_count; }

  private:
    ByteSink& m_out;
    DictionaryForm m_form;
    uint16_t m_count = 0;
};

// The bytes a dictionary's headers and closing extension add to its textures.
uint64_t DictionaryOverhead();

}  // namespace vc
