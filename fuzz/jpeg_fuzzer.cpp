// SPDX-License-Identifier: GPL-3.0-or-later
#include "decode_image.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    DecodeImage(vc::OpenJpeg, {data, size});
    return 0;
}
