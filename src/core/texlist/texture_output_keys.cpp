// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/texture_output_keys.h"

#include <optional>

#include "io/hex_bytes.h"

namespace vc {

namespace {

void Complain(std::string& problems, std::string_view key, std::string_view value) {
    problems += "\r\n\t" + std::string(key) + " \"" + std::string(value) + "\" is not known.";
}

// "mip1path": the key of the level below the picture, and so on down.
std::string LevelPathKey(size_t level) {
    return "mip" + std::to_string(level) + "path";
}

std::optional<std::vector<uint8_t>> ReadHexKey(const ProfileFile& file, std::string_view section, std::string_view key,
                                               std::string& problems) {
    const std::optional<std::string> text = file.ReadWholeString(section, key);
    if (!text) {
        return std::nullopt;
    }
    std::optional<std::vector<uint8_t>> bytes = ParseHexBytes(*text);
    if (!bytes) {
        Complain(problems, key, *text);
    }
    return bytes;
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
        file.WriteExactString(section, "maskname", *output.MaskName);
    }
    if (output.AlphaFlag) {
        file.WriteString(section, "alphaflag", *output.AlphaFlag ? "1" : "0");
    }
    if (output.RasterFormat) {
        file.WriteString(section, "rasterformat", WordText(*output.RasterFormat));
    }
    if (output.RasterLevels) {
        file.WriteString(section, "rasterlevels", std::to_string(*output.RasterLevels));
    }
    if (output.Depth) {
        file.WriteString(section, "depth", std::to_string(*output.Depth));
    }
    if (output.D3dFormat) {
        file.WriteString(section, "d3dformat", WordText(*output.D3dFormat));
    }
    if (output.D3d9Flags) {
        file.WriteString(section, "d3dflags", WordText(*output.D3d9Flags));
    }
    if (output.KeepSize) {
        file.WriteString(section, "keepsize", "1");
    }
    if (output.RepeatedName) {
        file.WriteString(section, "duplicate", "1");
    }
    for (size_t level = 0; level < output.LevelPaths.size(); ++level) {
        file.WriteExactString(section, LevelPathKey(level + 1), output.LevelPaths[level]);
    }
    if (!output.PaletteTail.empty()) {
        file.WriteString(section, "pal4tail", HexBytes(output.PaletteTail));
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
    const auto readByte = [&](std::string_view key) -> std::optional<uint8_t> {
        const std::optional<uint32_t> value = readWord(key);
        if (value && *value > 0xFF) {
            Complain(problems, key, std::to_string(*value));
            return std::nullopt;
        }
        return value ? std::optional<uint8_t>(static_cast<uint8_t>(*value)) : std::nullopt;
    };
    if (const std::optional<std::string> format = read("format")) {
        output.Format = ParseOutputFormat(*format);
        if (!output.Format && *format != OutputFormatName(std::nullopt)) {
            Complain(problems, "format", *format);
        }
    }
    output.Mipmaps = file.ReadBool(section, "mipmaps", false);
    output.KeepSize = file.ReadBool(section, "keepsize", false);
    output.RepeatedName = file.ReadBool(section, "duplicate", false);
    output.Flags = readWord("flags");
    output.MaskName = file.ReadExactString(section, "maskname");
    if (const std::optional<uint32_t> alphaFlag = readWord("alphaflag")) {
        output.AlphaFlag = *alphaFlag != 0;
    }
    output.RasterFormat = readWord("rasterformat");
    output.RasterLevels = readByte("rasterlevels");
    output.Depth = readByte("depth");
    output.D3dFormat = readWord("d3dformat");
    output.D3d9Flags = readByte("d3dflags");
    // A texture has at most 16 levels: the picture and 15 below it.
    for (size_t level = 1; level < 16; ++level) {
        std::optional<std::string> path = file.ReadExactString(section, LevelPathKey(level));
        if (!path) {
            break;
        }
        output.LevelPaths.push_back(std::move(*path));
    }
    if (std::optional<std::vector<uint8_t>> tail = ReadHexKey(file, section, "pal4tail", problems)) {
        if (tail->size() == kPal4PaletteTail) {
            output.PaletteTail = std::move(*tail);
        } else {
            Complain(problems, "pal4tail", HexBytes(*tail));
        }
    }
    if (std::optional<std::vector<uint8_t>> extension = ReadHexKey(file, section, "extension", problems)) {
        output.Extension = std::move(*extension);
    }
    return output;
}

}  // namespace vc
