// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/texture_output.h"

#include <array>
#include <cstdio>

#include "io/file_names.h"

namespace vc {

std::string OutputFormatName(const std::optional<TextureFormat>& format) {
    return format ? std::string(TextureFormatName(*format)) : "as image";
}

std::optional<TextureFormat> ParseOutputFormat(std::string_view name) {
    const std::string lower = LowerAscii(name);
    for (const TextureFormat format : OutputFormats()) {
        if (LowerAscii(TextureFormatName(format)) == lower) {
            return format;
        }
    }
    return std::nullopt;
}

std::string WordText(uint32_t value) {
    std::array<char, 16> text{};
    const int length = std::snprintf(text.data(), text.size(), "0x%04X", value);
    return {text.data(), static_cast<size_t>(length)};
}

const std::vector<TextureFormat>& OutputFormats() {
    static const std::vector<TextureFormat> formats = {
        TextureFormat::Dxt1, TextureFormat::Dxt3, TextureFormat::Dxt5,  TextureFormat::C8888,
        TextureFormat::C888, TextureFormat::C565, TextureFormat::C1555, TextureFormat::C4444,
        TextureFormat::C555, TextureFormat::Lum8, TextureFormat::Pal8,  TextureFormat::Pal4,
    };
    return formats;
}

std::string OutputFormatList() {
    std::string list;
    const std::vector<TextureFormat>& formats = OutputFormats();
    for (size_t i = 0; i < formats.size(); ++i) {
        list += (i == 0 ? "" : i + 1 == formats.size() ? " or " : ", ") + std::string(TextureFormatName(formats[i]));
    }
    return list;
}

}  // namespace vc
