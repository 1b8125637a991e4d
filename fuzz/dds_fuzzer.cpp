// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdlib>

#include "io/error.h"
#include "raster/dds_file.h"

// Reads a DDS file; whatever it reads must be written back and read again unchanged, since a level
// read from a DDS file is copied into a texture native and written out again by extraction.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vc::DdsImage image;
    try {
        image = vc::ReadDds({data, size});
    } catch (const vc::Error&) {
        return 0;
    }
    if (vc::ReadDds(vc::EncodeDds(image)) != image) {
        std::abort();
    }
    return 0;
}
