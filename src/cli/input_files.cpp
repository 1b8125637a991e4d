// SPDX-License-Identifier: GPL-3.0-or-later
#include "input_files.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <ostream>
#include <vector>

#include "io/file_io.h"
#include "io/file_names.h"
#include "ops/folder_contents.h"
#include "rw/txd_format.h"
#include "terminal_text.h"
#include "texlist/image_kinds.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

// Parses a hexadecimal value written with or without "0x" ("0x0C02", "0c02").
std::optional<unsigned long> ParseHex(std::string_view text) {
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
    }
    unsigned long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, 16);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

// The table index of a hexadecimal option value compared with the table's upper bits.
template <size_t N>
std::optional<size_t> IndexOf(const std::array<uint32_t, N>& table, std::string_view text, uint32_t shift) {
    const std::optional<unsigned long> value = ParseHex(text);
    for (size_t i = 0; value && i < N; ++i) {
        if ((table[i] >> shift) == *value) {
            return i;
        }
    }
    return std::nullopt;
}

// The filter modes by the names the command line gives them, in the order of their numbers.
constexpr std::array<std::pair<std::string_view, TextureFilter>, 6> kFilterNames = {{
    {"nearest", TextureFilter::Nearest},
    {"linear", TextureFilter::Linear},
    {"mip-nearest", TextureFilter::MipNearest},
    {"mip-linear", TextureFilter::MipLinear},
    {"linear-mip-nearest", TextureFilter::LinearMipNearest},
    {"trilinear", TextureFilter::LinearMipLinear},
}};

}  // namespace

std::string OutputFile(const ParsedArguments& arguments, const Option& output) {
    const std::optional<std::string_view> file = arguments.Value(output.Long);
    if (!file || file->empty()) {
        throw UsageError("the output file is missing (-" + std::string{output.Short} + " " +
                         std::string(output.ValueName) + ")");
    }
    return std::string(*file);
}

std::span<const std::string_view> InputFiles(const ParsedArguments& arguments) {
    if (arguments.Operands().empty()) {
        throw UsageError("no input files given");
    }
    return arguments.Operands();
}

std::optional<Game> TargetGame(const ParsedArguments& arguments) {
    const auto text = arguments.Value(kGameOption.Long);
    if (!text) {
        return std::nullopt;
    }
    if (arguments.Has(kVersionStampOption.Long)) {
        throw UsageError("--game and --rw-version cannot be given together: the game sets the stamp");
    }
    const std::optional<Game> game = GameNamed(*text);
    if (!game) {
        throw UsageError("--game takes iii, vc or sa");
    }
    return game;
}

void KeepListedForm(const ParsedArguments& arguments, const Workspace& workspace, TxdOptions& options) {
    if (!arguments.Has(kVersionStampOption.Long) && !arguments.Has(kGameOption.Long)) {
        options.KeptStamp = workspace.VersionStamp;
        options.Target = workspace.Target;
    }
}

TxdOptions DictionaryOptions(const ParsedArguments& arguments) {
    TxdOptions options;
    options.Target = TargetGame(arguments);
    options.pwr2lmt = !arguments.Has(kNoPow2Option.Long);
    if (const auto text = arguments.Value(kVersionStampOption.Long)) {
        const auto index = IndexOf(kVersionStamps, *text, 16);
        if (!index) {
            throw UsageError("--rw-version takes 0x0800, 0x0C02 or 0x1003");
        }
        options.VersionIndex = *index;
    }
    if (const auto text = arguments.Value(kTextureFlagOption.Long)) {
        const auto index = IndexOf(kTextureFlags, *text, 0);
        if (!index) {
            throw UsageError("--flag takes 0x1101, 0x1102 or 0x1106");
        }
        options.FlagIndex = *index;
    }
    if (const auto text = arguments.Value(kDxtQualityOption.Long)) {
        if (*text != "best" && *text != "fast") {
            throw UsageError("--dxt-quality takes best or fast");
        }
        options.Dxt = *text == "best" ? DxtQuality::Best : DxtQuality::Fast;
    }
    return options;
}

unsigned JobCount(const ParsedArguments& arguments) {
    const auto text = arguments.Value(kJobsOption.Long);
    if (!text) {
        return DefaultJobCount();
    }
    unsigned jobs = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), jobs);
    // More workers than this only cost memory: each holds a few textures.
    constexpr unsigned kMostJobs = 256;
    if (error != std::errc{} || end != text->data() + text->size() || jobs == 0 || jobs > kMostJobs) {
        throw UsageError("--jobs takes a number from 1 to 256");
    }
    return jobs;
}

TextureOutput OutputDefaults(const ParsedArguments& arguments) {
    TextureOutput defaults;
    if (const auto text = arguments.Value(kFormatOption.Long)) {
        defaults.Format = ParseOutputFormat(*text);
        if (!defaults.Format) {
            throw UsageError("--format takes " + OutputFormatList());
        }
    }
    defaults.Mipmaps = arguments.Has(kMipmapsOption.Long);
    if (const auto text = arguments.Value(kFilterOption.Long)) {
        const auto named = std::find_if(kFilterNames.begin(), kFilterNames.end(),
                                        [&](const auto& filter) { return filter.first == LowerAscii(*text); });
        if (named == kFilterNames.end()) {
            throw UsageError(
                "--filter takes nearest, linear, mip-nearest, mip-linear, linear-mip-nearest or trilinear");
        }
        defaults.Flags = FilterAddressing(named->second, TextureAddressing::Wrap, TextureAddressing::Wrap);
    }
    return defaults;
}

std::string InputsText() {
    return "Adds the image files (" + ImageExtensionList() +
           ") and texture lists (.txt)\n"
           "in the order given, as the window's Add command does; a folder gives those directly\n"
           "inside it, sorted by name.";
}

bool AddInputs(Workspace& workspace, std::span<const std::string_view> inputs, bool pwr2lmt, std::ostream& err) {
    std::vector<std::string> paths;
    for (const std::string_view input : inputs) {
        if (LowerAscii(FileExtension(input)) == ".txt") {
            CheckReadableFile(input);
        }
        // The list keeps where each file is, whichever folder it is imported from later.
        paths.push_back(AbsolutePath(input));
    }
    AddFiles(workspace, ExpandFolders(paths, FolderDictionaries::Left), pwr2lmt);
    const std::string& problems = workspace.Intake.ProblemText;
    if (!problems.empty()) {
        err << "Some of the files caused errors and could not be added:" << ToTerminalLines(problems) << '\n';
    }
    return !problems.empty();
}

}  // namespace vc::cli
