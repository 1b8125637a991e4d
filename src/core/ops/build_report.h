// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "io/number_format.h"

namespace vc {

// Heads the problems a build found: entries left out, and names cut to fit.
constexpr std::string_view kBuildProblemsHeading = "Some textures could not be assembled as listed:";

// bytes / 1024 in the pattern "#,##0.##": grouped digits, at most two decimals, no trailing zeros.
std::string FormatKilobytes(uint64_t bytes, const NumberFormat& format);

// "2 of 3 textures assembled sucessfully to cars.txd!\r\nSize of file: 5.19 KB"
std::string BuildResultText(uint32_t written, size_t total, std::string_view fileName, uint64_t fileSize,
                            const NumberFormat& format);

}  // namespace vc
