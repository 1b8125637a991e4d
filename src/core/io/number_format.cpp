// SPDX-License-Identifier: GPL-3.0-or-later
#include "io/number_format.h"

#include <cstdio>

namespace vc {

namespace {

std::string GroupDigits(uint64_t value, const std::string& separator) {
    const std::string digits = std::to_string(value);
    std::string grouped;
    for (size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) {
            grouped += separator;
        }
        grouped += digits[i];
    }
    return grouped;
}

}  // namespace

uint64_t KilobyteHundredths(uint64_t bytes) {
    return (bytes * 100 + 512) / 1024;
}

std::string FormatHundredths(uint64_t hundredths, bool grouped, int minDecimals, const NumberFormat& format) {
    const uint64_t whole = hundredths / 100;
    std::string text = grouped ? GroupDigits(whole, format.GroupSeparator) : std::to_string(whole);
    const uint64_t fraction = hundredths % 100;
    const int decimals = fraction % 10 != 0 ? 2 : fraction != 0 ? 1 : 0;
    if (decimals > 0 || minDecimals > 0) {
        text += format.DecimalSeparator;
        text += static_cast<char>('0' + fraction / 10);
        if (decimals == 2 || minDecimals == 2) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text;
}

std::string HexText(uint32_t value, int digits) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%0*X", digits, value);
    return text;
}

std::string SizeText(uint32_t width, uint32_t height) {
    return std::to_string(width) + " × " + std::to_string(height);
}

}  // namespace vc
