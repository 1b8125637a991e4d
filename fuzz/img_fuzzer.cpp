// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive/img_directory.h"
#include "io/error.h"

// Reads the bytes as both directory forms, against an archive as large as the bytes and one far
// larger, and looks up every entry it finds.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (const vc::ImgVersion version : {vc::ImgVersion::V1, vc::ImgVersion::V2}) {
        for (const uint64_t archiveSize : {uint64_t{size}, uint64_t{1} << 40}) {
            try {
                const vc::ImgDirectory directory = vc::ParseImgDirectory(version, {data, size}, archiveSize);
                for (const vc::ImgEntry& entry : directory.Entries) {
                    vc::FindImgEntry(directory.Entries, entry.Name);
                }
            } catch (const vc::Error&) {
            }
        }
    }
    return 0;
}
