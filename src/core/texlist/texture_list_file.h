// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "io/profile_file.h"
#include "rw/game_target.h"
#include "texlist/tex_file.h"
#include "texlist/texture_output.h"

namespace vc {

// The value of app in [TXDList], which the first version fixed.
constexpr std::string_view kListAppName = "Vellumcraft 1.1";

// The texture list in its file form: [TXDList] with count and app, then one [TextureN] section
// per entry with name and path, alpha and alphapath for entries with alpha, and the output keys
// that differ from the defaults. Names and paths that a plain value would not keep exactly get
// their exact form beside it (see ProfileFile::WriteExactString).
// A version stamp other than the default is kept as rwversion in [TXDList], and a target game whose
// dictionaries differ from the default's (Vice City, San Andreas) as game.
ProfileFile TextureListProfile(const TextureList& list, std::optional<uint32_t> versionStamp = {},
                               std::optional<Game> target = {});

// Writes the list to a texture list file, replacing the file as a whole. An empty list writes
// nothing. Throws an Error "Unable to write to <path>" when the file cannot be written.
void ExportTextureList(const TextureList& list, std::string_view path, std::optional<uint32_t> versionStamp = {},
                       std::optional<Game> target = {});

// One [TextureN] section as read: names and paths exactly as written, whatever characters they
// hold; any of them may be empty.
struct ListedTexture {
    std::string Name;
    std::string Path;
    std::string Alpha;
    std::string AlphaPath;
    TextureOutput Output;
    std::string OutputProblems;  // a line for each output key whose value could not be read

    bool operator==(const ListedTexture&) const = default;
};

// The [TextureN] sections of a list file with N from 1 to its count, in the order of N. A file
// that is not a texture list lists nothing.
std::vector<ListedTexture> ListedTextures(const ProfileFile& file);
// The version stamp the list keeps, if any; a value that is no number is none.
std::optional<uint32_t> ListedVersionStamp(const ProfileFile& file);
// The target game the list keeps, if any; a name of no game is none.
std::optional<Game> ListedGame(const ProfileFile& file);
// The same from a list file's bytes, in UTF-8 or Windows-1252.
std::vector<ListedTexture> ParseTextureList(std::span<const uint8_t> bytes);

// The list file's path with its extension replaced by ".txd" (added when there is none).
std::string SuggestedTxdPath(std::string_view listPath);

}  // namespace vc
