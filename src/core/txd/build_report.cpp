#include "txd/build_report.h"

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

std::string FormatKilobytes(uint64_t bytes, const NumberFormat& format) {
    // Hundredths of a kilobyte, rounded half up in whole numbers.
    const uint64_t hundredths = (bytes * 100 + 512) / 1024;
    std::string text = GroupDigits(hundredths / 100, format.GroupSeparator);
    const uint64_t fraction = hundredths % 100;
    if (fraction != 0) {
        text += format.DecimalSeparator;
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) {
            text += static_cast<char>('0' + fraction % 10);
        }
    }
    return text;
}

std::string BuildResultText(uint32_t written, size_t total, std::string_view fileName, uint64_t fileSize,
                            const NumberFormat& format) {
    return std::to_string(written) + " of " + std::to_string(total) + " textures assembled sucessfully to " +
           std::string(fileName) + "!\r\nSize of file: " + FormatKilobytes(fileSize, format) + " KB";
}

}  // namespace vc
