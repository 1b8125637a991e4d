// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/texture_list_file.h"

#include <algorithm>
#include <charconv>

#include "io/error.h"
#include "io/file_names.h"
#include "io/number_format.h"
#include "rw/txd_format.h"
#include "texlist/texture_output_keys.h"

namespace vc {

namespace {

constexpr std::string_view kListSection = "TXDList";
constexpr std::string_view kTextureSection = "Texture";
constexpr std::string_view kVersionKey = "rwversion";
constexpr std::string_view kGameKey = "game";

std::string TextureSection(size_t number) {
    return std::string(kTextureSection) + std::to_string(number);
}

// The numbers N from 1 to count of the [TextureN] sections present, in ascending order. Any other
// number up to count names a missing section, which would be skipped silently; reading only those
// present keeps a hand-edited count of millions from costing millions of look-ups.
std::vector<int32_t> ListedTextureNumbers(const ProfileFile& file, int32_t count) {
    std::vector<int32_t> numbers;
    for (const std::string& name : file.SectionNames()) {
        const std::string_view digits = std::string_view(name).substr(std::min(name.size(), kTextureSection.size()));
        if (LowerAscii(name.substr(0, kTextureSection.size())) != "texture" || digits.empty() || digits[0] == '0') {
            continue;
        }
        int32_t number = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
        if (error == std::errc{} && end == digits.data() + digits.size() && number <= count) {
            numbers.push_back(number);
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}

}  // namespace

ProfileFile TextureListProfile(const TextureList& list, std::optional<uint32_t> versionStamp,
                               std::optional<Game> target) {
    ProfileFile file;
    file.WriteString(kListSection, "count", std::to_string(list.size()));
    file.WriteString(kListSection, "app", kListAppName);
    if (versionStamp && *versionStamp != VersionStamp(kDefaultVersionIndex)) {
        file.WriteString(kListSection, kVersionKey, HexText(*versionStamp, 8));
    }
    // GTA III's dictionaries are the default ones.
    if (target && *target != Game::Gta3) {
        file.WriteString(kListSection, kGameKey, TargetOf(*target).Key);
    }
    for (size_t i = 0; i < list.size(); ++i) {
        const TTexFile& entry = list[i];
        const std::string section = TextureSection(i + 1);
        file.WriteExactString(section, "name", entry.TexName);
        file.WriteExactString(section, "path", entry.TexPath);
        if (entry.HasAlpha) {
            file.WriteExactString(section, "alpha", entry.AlphaName);
            file.WriteExactString(section, "alphapath", entry.AlphaPath);
        }
        WriteTextureOutputKeys(file, section, entry.Output);
    }
    return file;
}

void ExportTextureList(const TextureList& list, std::string_view path, std::optional<uint32_t> versionStamp,
                       std::optional<Game> target) {
    if (list.empty()) {
        return;
    }
    const ProfileFile file = TextureListProfile(list, versionStamp, target);
    try {
        file.Save(path);
    } catch (const Error& error) {
        throw Error(error.Kind(), "Unable to write to " + std::string(path));
    }
}

std::vector<ListedTexture> ListedTextures(const ProfileFile& file) {
    std::vector<ListedTexture> listed;
    for (const int32_t number : ListedTextureNumbers(file, file.ReadInteger(kListSection, "count", 0))) {
        const std::string section = TextureSection(static_cast<size_t>(number));
        ListedTexture& entry = listed.emplace_back();
        entry.Name = file.ReadExactString(section, "name").value_or("");
        entry.Path = file.ReadExactString(section, "path").value_or("");
        entry.Alpha = file.ReadExactString(section, "alpha").value_or("");
        entry.AlphaPath = file.ReadExactString(section, "alphapath").value_or("");
        entry.Output = ReadTextureOutputKeys(file, section, entry.OutputProblems);
    }
    return listed;
}

std::optional<uint32_t> ListedVersionStamp(const ProfileFile& file) {
    const std::optional<std::string> text = file.ReadString(kListSection, kVersionKey);
    const std::optional<int32_t> stamp = text ? ParseProfileInteger(*text) : std::nullopt;
    return stamp ? std::optional<uint32_t>(static_cast<uint32_t>(*stamp)) : std::nullopt;
}

std::optional<Game> ListedGame(const ProfileFile& file) {
    const std::optional<std::string> name = file.ReadString(kListSection, kGameKey);
    return name ? GameNamed(*name) : std::nullopt;
}

std::vector<ListedTexture> ParseTextureList(std::span<const uint8_t> bytes) {
    return ListedTextures(ProfileFile::FromBytes(bytes));
}

std::string SuggestedTxdPath(std::string_view listPath) {
    return std::string(listPath.substr(0, listPath.size() - FileExtension(listPath).size())) + ".txd";
}

}  // namespace vc
