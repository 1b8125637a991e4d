// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstddef>
#include <cstdint>
#include <span>

#include "texlist/texture_list_file.h"

// The list file's text is parsed in memory; adding its entries reads images, which the image
// fuzzers cover.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vc::ParseTextureList(std::span(data, size));
    return 0;
}
