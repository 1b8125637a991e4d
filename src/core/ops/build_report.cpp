// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/build_report.h"

namespace vc {

std::string FormatKilobytes(uint64_t bytes, const NumberFormat& format) {
    return FormatHundredths(KilobyteHundredths(bytes), true, 0, format);
}

std::string BuildResultText(uint32_t written, size_t total, std::string_view fileName, uint64_t fileSize,
                            const NumberFormat& format) {
    return std::to_string(written) + " of " + std::to_string(total) + " textures assembled sucessfully to " +
           std::string(fileName) + "!\r\nSize of file: " + FormatKilobytes(fileSize, format) + " KB";
}

}  // namespace vc
