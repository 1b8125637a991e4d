#include <chrono>
#include <iostream>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "cli_support.h"
#include "dff/dff_check.h"
#include "input_arguments.h"
#include "io/error.h"

namespace vc::cli {

namespace {

constexpr std::string_view kCheckHelp =
    "Usage: vellumcraft-cli check MODEL.dff [--log FILE] [--tsv] [--no-pow2] [INPUT...]\n"
    "\n"
    "Adds the image files and texture lists given, as the window's Add command does, and checks\n"
    "which textures and alpha textures the model names are present among them. Prints one row per\n"
    "texture of the model, then the result.\n"
    "\n"
    "  --log FILE     write the model's chunk log to FILE\n"
    "  --tsv          tab-separated rows: texture, present|missing, alpha, present|missing|empty;\n"
    "                 no result line\n"
    "  --no-pow2      allow image sides that are not powers of two\n"
    "  -h, --help     show this help\n"
    "\n"
    "Exit status: 0 nothing is missing; 1 something is missing; 2 bad usage; 3 a read or write\n"
    "error.\n";

struct CheckRequest {
    std::string Model;
    std::optional<std::string> LogPath;
    bool Tsv = false;
    bool pwr2lmt = true;
    std::vector<std::string_view> Inputs;
};

std::variant<CheckRequest, int> ParseCheckArguments(Arguments arguments) {
    CheckRequest request;
    std::vector<std::string_view> positional;
    bool optionsEnded = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (optionsEnded || argument.empty() || argument[0] != '-') {
            positional.push_back(argument);
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (IsHelpOption(argument)) {
            std::cout << kCheckHelp;
            return kSuccess;
        } else if (argument == "--log") {
            if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
                return UsageError("check", "--log needs the name of the log file");
            }
            request.LogPath = std::string(arguments[++i]);
        } else if (argument == "--tsv") {
            request.Tsv = true;
        } else if (argument == "--no-pow2") {
            request.pwr2lmt = false;
        } else {
            return UsageError("check", "unknown option " + std::string(argument));
        }
    }
    if (positional.empty()) {
        return UsageError("check", "the model file is missing");
    }
    request.Model = positional.front();
    request.Inputs.assign(positional.begin() + 1, positional.end());
    return request;
}

std::string_view Presence(bool found) {
    return found ? "present" : "missing";
}

void PrintRow(const TDFFTex& texture, bool tsv) {
    if (tsv) {
        std::cout << texture.TexName << '\t' << Presence(texture.TexFound) << '\t' << texture.AlphaName << '\t'
                  << (texture.HasAlpha ? Presence(texture.AlphaFound) : "") << '\n';
        return;
    }
    std::cout << texture.TexName << ": " << Presence(texture.TexFound);
    if (texture.HasAlpha) {
        std::cout << ", alpha " << texture.AlphaName << ": " << Presence(texture.AlphaFound);
    }
    std::cout << '\n';
}

}  // namespace

int RunCheck(Arguments arguments) {
    auto parsed = ParseCheckArguments(arguments);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    const CheckRequest& request = std::get<CheckRequest>(parsed);
    try {
        Workspace workspace;
        AddInputs(workspace, request.Inputs, request.pwr2lmt);
        std::optional<ChunkLogRequest> log;
        if (request.LogPath) {
            log =
                ChunkLogRequest{*request.LogPath, LocalDateTimeText(std::chrono::system_clock::now()), NumberFormat{}};
        }
        const DffCheckResult result = RunDffCheck(request.Model, workspace.TexList, log);
        for (const TDFFTex& texture : result.DFFTexList) {
            PrintRow(texture, request.Tsv);
        }
        if (!request.Tsv) {
            std::cout << result.Summary.Text << '\n';
        }
        return result.Summary.Missing == 0 ? kSuccess : kIncomplete;
    } catch (const Error& error) {
        std::cerr << "vellumcraft-cli: " << error.what() << '\n';
        return kFailure;
    }
}

}  // namespace vc::cli
