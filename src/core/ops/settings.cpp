#include "ops/settings.h"

#include <filesystem>

#include "io/file_io.h"

namespace vc {

namespace {

constexpr std::string_view kOptions = "Options";
constexpr std::string_view kPaths = "Paths";

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

}  // namespace

Settings ReadSettings(const ProfileFile& file) {
    Settings settings;
    settings.VersionIndex = ReadIndex(file, "verid");
    settings.FlagIndex = ReadIndex(file, "uflag");
    settings.pwr2lmt = file.ReadBool(kOptions, "pwr2lmt", true);
    settings.dfflog = file.ReadBool(kOptions, "dfflog", false);
    for (const auto& [key, folder] : kFolderKeys) {
        settings.Folders.*folder = file.ReadString(kPaths, key, "");
    }
    return settings;
}

Settings LoadSettings(std::string_view path) {
    return ReadSettings(ProfileFile::Load(path));
}

void WriteSettings(ProfileFile& file, const Settings& settings) {
    file.WriteString(kOptions, "verid", std::to_string(settings.VersionIndex));
    file.WriteString(kOptions, "uflag", std::to_string(settings.FlagIndex));
    file.WriteString(kOptions, "pwr2lmt", settings.pwr2lmt ? "1" : "0");
    for (const auto& [key, folder] : kFolderKeys) {
        file.WriteString(kPaths, key, settings.Folders.*folder);
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
