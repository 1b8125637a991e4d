// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "io/profile_file.h"
#include "ops/txd_options.h"
#include "texlist/texture_output.h"

namespace vc {

// The starting folders of the five file dialogs, remembered between runs.
struct DialogFolders {
    std::string Open;      // Add
    std::string Save;      // Build
    std::string OpenList;  // Import List
    std::string SaveList;  // Export List
    std::string OpenDff;   // DFF Check

    bool operator==(const DialogFolders&) const = default;
};

// A window's size as the user left it.
struct WindowSize {
    int Width = 0;  // 0: the size the window opens with
    int Height = 0;
    bool Maximized = false;

    bool operator==(const WindowSize&) const = default;
};

// The options and folders kept in Vellumcraft.ini.
struct Settings {
    uint8_t VersionIndex = 1;  // 0..2, into the version stamp table
    // The game chosen in the options, which sets the platform and stamp; VersionIndex marks its
    // stamp where the table has it. None: Direct3D 8 natives with the stamp VersionIndex chooses.
    std::optional<Game> TargetGame;
    uint8_t FlagIndex = 1;  // 0..2, into the flag word table
    bool pwr2lmt = true;    // image sides must be powers of two
    bool dfflog = false;    // the model check writes its chunk log; only the user sets it
    DialogFolders Folders;
    // The format, mipmaps and flag word images added to the list get; none by default.
    TextureOutput NewTextures;
    WindowSize MainWindow;
    WindowSize DffWindow;

    TxdOptions DictionaryOptions() const {
        return {.VersionIndex = VersionIndex, .FlagIndex = FlagIndex, .pwr2lmt = pwr2lmt, .Target = TargetGame};
    }
    bool operator==(const Settings&) const = default;
};

constexpr std::string_view kSettingsFileName = "Vellumcraft.ini";

// Missing keys and values that are no number give the defaults; an index keeps its low 8 bits and
// becomes 1 when that is above 2. A game's stamp wins over the version index that disagrees with it.
Settings ReadSettings(const ProfileFile& file);
Settings LoadSettings(std::string_view path);

// Writes every setting but "dfflog", which stays as the user wrote it, and keeps whatever else the
// file holds. The game is written only when one is chosen, the defaults for new textures and the
// window sizes only where they differ from the defaults, so that a file of default settings holds
// what it always did. Saving creates the file's folder when needed and replaces the file atomically.
void WriteSettings(ProfileFile& file, const Settings& settings);
void SaveSettings(std::string_view path, const Settings& settings);

}  // namespace vc
