// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "command.h"
#include "ops/txd_options.h"
#include "ops/workspace.h"
#include "texlist/texture_output.h"

namespace vc::cli {

// Options of the commands that add input files. Constant, so that commands declared in other
// files can copy them while the program starts.
inline constexpr Option kNoPow2Option = {"no-pow2", 0, "", "allow image sides that are not powers of two"};
inline constexpr Option kVersionStampOption = {"rw-version", 0, "VERSION", "0x0800, 0x0C02 (default) or 0x1003"};
inline constexpr Option kGameOption = {"game", 0, "GAME",
                                       "iii, vc or sa: write the dictionary as that game's own are (Direct3D 8\n"
                                       "natives stamped 0x0C02FFFF or 0x1003FFFF; Direct3D 9 stamped 0x1803FFFF)"};
inline constexpr Option kTextureFlagOption = {
    "flag", 0, "FLAG",
    "texture flag word: 0x1101, 0x1102 (default) or 0x1106; a mipmapped texture\n"
    "gets 0x1103 for 0x1101 and 0x1106 for 0x1102"};
inline constexpr Option kFormatOption = {"format", 0, "FORMAT",
                                         "format of entries that name none: DXT1, DXT3, DXT5, 8888, 888, 565, 1555,\n"
                                         "4444, 555, LUM8, PAL8 or PAL4 (default: as each image is)"};
inline constexpr Option kDxtQualityOption = {
    "dxt-quality", 0, "QUALITY",
    "best (default; libsquish's cluster fit) or fast (stb_dxt, about ten times\n"
    "faster and under 1 dB worse)"};
inline constexpr Option kMipmapsOption = {
    "mipmaps", 0, "",
    "give every texture a full chain of levels down to 1 x 1; a DDS file with\nlevels of its own keeps them"};
inline constexpr Option kFilterOption = {"filter", 0, "FILTER",
                                         "filter mode of entries that name no flag word, wrapping both ways: nearest,\n"
                                         "linear, mip-nearest, mip-linear, linear-mip-nearest or trilinear"};
inline constexpr Option kJobsOption = {"jobs", 'j', "N",
                                       "worker threads (default: one per core); 1 works on one thread.\n"
                                       "The output is the same for any number"};

// How the commands that add inputs take them, for their help.
std::string InputsText();

// The file named by the command's output option; throws a UsageError when there is none.
std::string OutputFile(const ParsedArguments& arguments, const Option& output);

// The inputs; throws a UsageError when there are none.
std::span<const std::string_view> InputFiles(const ParsedArguments& arguments);

// The dictionary options given; throws a UsageError for a version or flag outside the tables.
TxdOptions DictionaryOptions(const ParsedArguments& arguments);
// The game --game names, if given; throws a UsageError for a name of no game, or beside --rw-version.
std::optional<Game> TargetGame(const ParsedArguments& arguments);
// Takes the stamp and game of the list the inputs came from, unless the command line chose either.
void KeepListedForm(const ParsedArguments& arguments, const Workspace& workspace, TxdOptions& options);

// The output choices given for entries that make none; throws a UsageError for a format or
// filter of no known name.
TextureOutput OutputDefaults(const ParsedArguments& arguments);

// The worker threads asked for, else one per core; throws a UsageError for anything but a
// positive number.
unsigned JobCount(const ParsedArguments& arguments);

// Adds the inputs in order exactly as the window's Add command does (a folder gives its images and
// lists) and writes the problem report to err; true when some input was refused. A list file that
// cannot be read is an error here, not an empty list.
bool AddInputs(Workspace& workspace, std::span<const std::string_view> inputs, bool pwr2lmt, std::ostream& err);

}  // namespace vc::cli
