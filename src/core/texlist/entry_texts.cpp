// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/entry_texts.h"

namespace vc {

namespace {

std::string SourceDepth(uint8_t depth) {
    return depth == 8 ? "8bit" : "24bit";
}

// The output format by name, asImage for an image written in the form it is read in, followed by
// the mipmaps when they are made.
std::string OutputFormatWith(const TTexFile& entry, const std::string& asImage) {
    const std::optional<TextureFormat> format = entry.Output.Format ? entry.Output.Format : entry.TexInfo.StoredFormat;
    return (format ? OutputFormatName(format) : asImage) + (entry.Output.Mipmaps ? kMipmapsSuffix : "");
}

}  // namespace

bool UsesImageAlpha(const TTexFile& entry) {
    return entry.TexInfo.HasAlpha && !entry.HasAlpha && entry.Output.AlphaFlag.value_or(true);
}

std::string DimensionsText(const TImageInfo& info) {
    return std::to_string(info.Width) + " × " + std::to_string(info.Height);
}

std::string FormatText(const TImageInfo& info) {
    return std::to_string(info.Depth) + "bit" + (info.Depth == 8 ? " paletted" : "");
}

std::string OutputFormatText(const TTexFile& entry) {
    return OutputFormatWith(entry, FormatText(entry.TexInfo));
}

std::string DetailText(const TTexFile& entry, size_t row) {
    const TImageInfo& info = entry.TexInfo;
    std::string text =
        "[Texture " + std::to_string(row) + "] - " + std::to_string(info.Width) + " × " + std::to_string(info.Height) +
        " px; " +
        OutputFormatWith(entry, std::to_string(info.Depth) + " bit" + (info.Depth == 8 ? " paletted" : "") +
                                    (UsesImageAlpha(entry) ? " with alpha" : ""));
    text += "\r\nName: " + entry.TexName + " (" + SourceDepth(info.Depth) + ")\r\nPath: " + entry.TexPath;
    if (entry.HasAlpha) {
        text += "\r\nAlpha: " + entry.AlphaName + " (" + SourceDepth(entry.AlphaInfo.Depth) +
                ")\r\nAlphapath: " + entry.AlphaPath;
    }
    return text;
}

}  // namespace vc
