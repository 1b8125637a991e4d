// SPDX-License-Identifier: GPL-3.0-or-later
#include "ops/settings.h"

#include <algorithm>
#include <filesystem>

#include "io/file_io.h"
#include "texlist/texture_output_keys.h"

namespace vc {

namespace {

constexpr std::string_view kOptions = "Options";
constexpr std::string_view kPaths = "Paths";
constexpr std::string_view kNewTextures = "NewTextures";
constexpr std::string_view kWindow = "Window";
constexpr std::string_view kGameKey = "game";

uint8_t ReadIndex(const ProfileFile& file, std::string_view key) {
    const auto index = static_cast<uint8_t>(file.ReadInteger(kOptions, key, 1));
    return index > 2 ? 1 : index;
}

// The folder keys in the order they are read and written, with the member each one fills.
constexpr std::pair<std::string_view, std::string DialogFolders::*> kFolderKeys[] = {
    {"open", &DialogFolders::Open},         {"save", &DialogFolders::Save},
    {"openlist", &DialogFolders::OpenList}, {"savelist", &DialogFolders::SaveList},
    {"opendff", &DialogFolders::OpenDff},
};

// The windows whose sizes are kept, each by the prefix of its keys.
constexpr std::pair<std::string_view, WindowSize Settings::*> kWindowKeys[] = {
    {"", &Settings::MainWindow},
    {"dff", &Settings::DffWindow},
};

// The keys of the defaults for new textures, which the list's texture sections share.
constexpr std::string_view kNewTextureKeys[] = {"format", "mipmaps", "flags"};

std::string Key(std::string_view prefix, std::string_view name) {
    return std::string(prefix) + std::string(name);
}

// Writes a number, or takes the key away where the number is 0, the default.
void WriteUnlessDefault(ProfileFile& file, std::string_view key, int value) {
    if (value == 0) {
        file.DeleteKey(kWindow, key);
    } else {
        file.WriteString(kWindow, key, std::to_string(value));
    }
}

}  // namespace

Settings ReadSettings(const ProfileFile& file) {
    Settings settings;
    settings.VersionIndex = ReadIndex(file, "verid");
    settings.FlagIndex = ReadIndex(file, "uflag");
    settings.TargetGame = GameNamed(file.ReadString(kOptions, kGameKey, ""));
    if (settings.TargetGame) {
        settings.VersionIndex = VersionIndexOf(TargetOf(*settings.TargetGame).Stamp).value_or(settings.VersionIndex);
    }
    settings.pwr2lmt = file.ReadBool(kOptions, "pwr2lmt", true);
    settings.dfflog = file.ReadBool(kOptions, "dfflog", false);
    for (const auto& [key, folder] : kFolderKeys) {
        settings.Folders.*folder = file.ReadString(kPaths, key, "");
    }
    std::string ignored;  // a value that cannot be read leaves the default
    const TextureOutput output = ReadTextureOutputKeys(file, kNewTextures, ignored);
    settings.NewTextures = {.Format = output.Format, .Mipmaps = output.Mipmaps, .Flags = output.Flags};
    for (const auto& [prefix, size] : kWindowKeys) {
        (settings.*size).Width = std::max(0, file.ReadInteger(kWindow, Key(prefix, "width"), 0));
        (settings.*size).Height = std::max(0, file.ReadInteger(kWindow, Key(prefix, "height"), 0));
        (settings.*size).Maximized = file.ReadBool(kWindow, Key(prefix, "maximized"), false);
    }
    return settings;
}

Settings LoadSettings(std::string_view path) {
    return ReadSettings(ProfileFile::Load(path));
}

void WriteSettings(ProfileFile& file, const Settings& settings) {
    file.WriteString(kOptions, "verid", std::to_string(settings.VersionIndex));
    file.WriteString(kOptions, "uflag", std::to_string(settings.FlagIndex));
    if (settings.TargetGame) {
        file.WriteString(kOptions, kGameKey, TargetOf(*settings.TargetGame).Key);
    } else {
        file.DeleteKey(kOptions, kGameKey);
    }
    file.WriteString(kOptions, "pwr2lmt", settings.pwr2lmt ? "1" : "0");
    for (const auto& [key, folder] : kFolderKeys) {
        file.WriteString(kPaths, key, settings.Folders.*folder);
    }
    for (const std::string_view key : kNewTextureKeys) {
        file.DeleteKey(kNewTextures, key);
    }
    WriteTextureOutputKeys(file, kNewTextures, settings.NewTextures);
    for (const auto& [prefix, size] : kWindowKeys) {
        WriteUnlessDefault(file, Key(prefix, "width"), (settings.*size).Width);
        WriteUnlessDefault(file, Key(prefix, "height"), (settings.*size).Height);
        WriteUnlessDefault(file, Key(prefix, "maximized"), (settings.*size).Maximized ? 1 : 0);
    }
}

void SaveSettings(std::string_view path, const Settings& settings) {
    ProfileFile file = ProfileFile::Load(path);
    WriteSettings(file, settings);
    std::error_code error;
    std::filesystem::create_directories(ToFsPath(path).parent_path(), error);
    file.Save(path);
}

}  // namespace vc
