#include "cli_support.h"

#include <charconv>
#include <iostream>

namespace vc::cli {

std::string ToTerminalLines(std::string_view text) {
    std::string lines;
    lines.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        lines += text[i];
    }
    return lines;
}

int UsageError(std::string_view command, std::string_view message) {
    std::cerr << "vellumcraft-cli: " << message << "\nTry 'vellumcraft-cli " << command << " --help'.\n";
    return kUsage;
}

bool IsHelpOption(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

std::optional<unsigned long> ParseHex(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

}  // namespace vc::cli
