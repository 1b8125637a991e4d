// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace vc {

// Digit grouping and decimal characters; the window takes them from the user's locale, the
// command line always uses these defaults.
struct NumberFormat {
    std::string GroupSeparator = ",";
    std::string DecimalSeparator = ".";
};

// bytes / 1024 in hundredths, rounded half up in whole numbers.
uint64_t KilobyteHundredths(uint64_t bytes);

// A value given in hundredths, with at most two decimals and no trailing zeros beyond
// minDecimals: "#,##0.##" is grouped with minDecimals 0, "0.0#" ungrouped with minDecimals 1.
std::string FormatHundredths(uint64_t hundredths, bool grouped, int minDecimals, const NumberFormat& format);

// value in hexadecimal with at least digits digits: "0x1102" for (0x1102, 4).
std::string HexText(uint32_t value, int digits);

// A picture's size as "640 × 480".
std::string SizeText(uint32_t width, uint32_t height);

}  // namespace vc
