#include "texlist/texture_output_keys.h"

#include <optional>

namespace vc {

namespace {

std::string HexBytes(const std::vector<uint8_t>& bytes) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string text;
    for (const uint8_t byte : bytes) {
        text += kDigits[byte >> 4];
        text += kDigits[byte & 0x0F];
    }
    return text;
}

std::optional<std::vector<uint8_t>> ParseHexBytes(std::string_view text) {
    const auto digit = [](char c) -> int {
        if (c >= '0' && c <= '9') {
            return c - '0';
        }
        if (c >= 'a' && c <= 'f') {
            return c - 'a' + 10;
        }
        if (c >= 'A' && c <= 'F') {
            return c - 'A' + 10;
        }
        return -1;
    };
    if (text.size() % 2 != 0) {
        return std::nullopt;
    }
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = digit(text[i]);
        const int low = digit(text[i + 1]);
        if (high < 0 || low < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<uint8_t>(high << 4 | low));
    }
    return bytes;
}

void Complain(std::string& problems, std::string_view key, std::string_view value) {
    problems += "\r\n\t" + std::string(key) + " \"" + std::string(value) + "\" is not known.";
}

}  // namespace

void WriteTextureOutputKeys(ProfileFile& file, std::string_view section, const TextureOutput& output) {
    if (output.Format) {
        file.WriteString(section, "format", OutputFormatName(output.Format));
    }
    if (output.Mipmaps) {
        file.WriteString(section, "mipmaps", "1");
    }
    if (output.Flags) {
        file.WriteString(section, "flags", WordText(*output.Flags));
    }
    if (output.MaskName) {
        file.WriteString(section, "maskname", *output.MaskName);
    }
    if (output.AlphaFlag) {
        file.WriteString(section, "alphaflag", *output.AlphaFlag ? "1" : "0");
    }
    if (output.RasterFormat) {
        file.WriteString(section, "rasterformat", WordText(*output.RasterFormat));
    }
    if (!output.Extension.empty()) {
        file.WriteString(section, "extension", HexBytes(output.Extension));
    }
}

TextureOutput ReadTextureOutputKeys(const ProfileFile& file, std::string_view section, std::string& problems) {
    TextureOutput output;
    const auto read = [&](std::string_view key) { return file.ReadString(section, key); };
    const auto readWord = [&](std::string_view key) -> std::optional<uint32_t> {
        const std::optional<std::string> text = read(key);
        if (!text) {
            return std::nullopt;
        }
        const std::optional<int32_t> value = ParseProfileInteger(*text);
        if (!value) {
            Complain(problems, key, *text);
            return std::nullopt;
        }
        return static_cast<uint32_t>(*value);
    };
    if (const std::optional<std::string> format = read("format")) {
        output.Format = ParseOutputFormat(*format);
        if (!output.Format && *format != OutputFormatName(std::nullopt)) {
            Complain(problems, "format", *format);
        }
    }
    output.Mipmaps = file.ReadBool(section, "mipmaps", false);
    output.Flags = readWord("flags");
    output.MaskName = read("maskname");
    if (const std::optional<uint32_t> alphaFlag = readWord("alphaflag")) {
        output.AlphaFlag = *alphaFlag != 0;
    }
    output.RasterFormat = readWord("rasterformat");
    if (const std::optional<std::string> extension = read("extension")) {
        const std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(*extension);
        if (bytes) {
            output.Extension = *bytes;
        } else {
            Complain(problems, "extension", *extension);
        }
    }
    return output;
}

}  // namespace vc
