// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "io/error.h"
#include "pixels/image_decoder.h"

// Runs a decoder the whole way intake can: headers, the integrity pass and, for paletted and 24-bit
// images of a size intake accepts, the pixels. Errors are the expected outcome of bad input.
// Rasters past 512 MB are left undecoded here: intake allows up to 4 GB for a genuine image, which
// a fuzzer's memory limit cannot hold.
inline void DecodeImage(std::unique_ptr<vc::ImageDecoder> (*open)(std::span<const uint8_t>),
                        std::span<const uint8_t> file) {
    try {
        const auto decoder = open(file);
        decoder->Verify();
        const vc::BitmapInfo& info = decoder->Info();
        if ((info.BitsPerPixel <= 8 || info.BitsPerPixel == 24) && info.Width > 0 && info.Height > 0 &&
            uint64_t{info.Width} * info.Height * 4 <= (uint64_t{512} << 20)) {
            decoder->LoadPixels();
        }
    } catch (const vc::Error&) {
    }
}
