#include <array>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli_support.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "texlist/texture_list.h"
#include "txd/build_report.h"
#include "txd/txd_builder.h"
#include "txd/txd_format.h"

namespace vc::cli {

namespace {

constexpr std::string_view kBuildHelp =
    "Usage: vellumcraft-cli build -o OUT.txd [OPTION...] INPUT...\n"
    "\n"
    "Adds the image files (.bmp, .jpg, .jpe, .jpeg) in the order given, as the window's Add\n"
    "command does, and writes them as one texture dictionary.\n"
    "\n"
    "  -o, --output OUT.txd    the dictionary to write (replaced only once it is complete)\n"
    "  --rw-version VERSION    0x0800, 0x0C02 (default) or 0x1003\n"
    "  --flag FLAG             texture flag word: 0x1101, 0x1102 (default) or 0x1106\n"
    "  --no-pow2               allow sides that are not powers of two\n"
    "  -h, --help              show this help\n"
    "\n"
    "Exit status: 0 every input became a texture; 1 some input was refused or left out;\n"
    "2 bad usage; 3 a read, decode or write error (nothing written).\n";

struct BuildRequest {
    std::string Output;
    std::vector<std::string_view> Inputs;
    TxdOptions Options;
};

// Finds the table index of a hexadecimal option value.
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

// Returns the parsed request, or the exit status when there is nothing to build.
std::variant<BuildRequest, int> ParseBuildArguments(Arguments arguments) {
    BuildRequest request;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        const auto value = [&]() -> std::optional<std::string_view> {
            return i + 1 < arguments.size() ? std::optional(arguments[++i]) : std::nullopt;
        };
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            request.Inputs.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (IsHelpOption(argument)) {
            std::cout << kBuildHelp;
            return kSuccess;
        } else if (argument == "-o" || argument == "--output") {
            const auto output = value();
            if (!output || output->empty()) {
                return UsageError("build", "-o needs the name of the dictionary to write");
            }
            request.Output = *output;
        } else if (argument == "--rw-version") {
            const auto text = value();
            const auto index = text ? IndexOf(kVersionStamps, *text, 16) : std::nullopt;
            if (!index) {
                return UsageError("build", "--rw-version takes 0x0800, 0x0C02 or 0x1003");
            }
            request.Options.VersionIndex = *index;
        } else if (argument == "--flag") {
            const auto text = value();
            const auto index = text ? IndexOf(kTextureFlags, *text, 0) : std::nullopt;
            if (!index) {
                return UsageError("build", "--flag takes 0x1101, 0x1102 or 0x1106");
            }
            request.Options.FlagIndex = *index;
        } else if (argument == "--no-pow2") {
            request.Options.pwr2lmt = false;
        } else {
            return UsageError("build", "unknown option " + std::string(argument));
        }
    }
    if (request.Output.empty()) {
        return UsageError("build", "the output file is missing (-o OUT.txd)");
    }
    if (request.Inputs.empty()) {
        return UsageError("build", "no input files given");
    }
    return request;
}

}  // namespace

int RunBuild(Arguments arguments) {
    auto parsed = ParseBuildArguments(arguments);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    const BuildRequest& request = std::get<BuildRequest>(parsed);
    try {
        Workspace workspace;
        for (const std::string_view input : request.Inputs) {
            AddFile(workspace, input, request.Options.pwr2lmt);
        }
        const bool refused = !workspace.Intake.ProblemText.empty();
        if (refused) {
            std::cerr << "Some of the files caused errors and could not be added:"
                      << ToTerminalLines(workspace.Intake.ProblemText) << '\n';
        }
        const BuildResult result = BuildTxd(workspace, request.Options);
        if (result.Written == 0) {
            std::cerr << "vellumcraft-cli: no texture could be assembled; " << request.Output << " was not written\n";
            return kIncomplete;
        }
        WriteFileAtomically(request.Output, result.Bytes);
        std::cout << ToTerminalLines(BuildResultText(result.Written, result.Total, FileNamePart(request.Output),
                                                     result.Bytes.size(), NumberFormat{}))
                  << '\n';
        return refused || result.Written < result.Total ? kIncomplete : kSuccess;
    } catch (const Error& error) {
        std::cerr << "vellumcraft-cli: " << error.what() << '\n';
        return kFailure;
    }
}

}  // namespace vc::cli
