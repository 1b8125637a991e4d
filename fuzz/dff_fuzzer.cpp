// SPDX-License-Identifier: GPL-3.0-or-later
#include "rw/chunk_log.h"
#include "rw/chunk_walk.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vc::ChunkLog log("now", "fuzz.dff", size, vc::NumberFormat{});
    vc::ScanModel({data, size}, &log);
    return 0;
}
