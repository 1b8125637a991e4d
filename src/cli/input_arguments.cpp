#include "input_arguments.h"

#include <array>
#include <iostream>
#include <optional>
#include <variant>

#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "txd/txd_format.h"

namespace vc::cli {

namespace {

// Finds the table index of a hexadecimal option value compared with the table's upper bits.
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

// Returns the parsed request, or the exit status when there is nothing more to do (help shown,
// or bad usage reported).
std::variant<InputRequest, int> ParseInputArguments(Arguments arguments, const InputCommand& command) {
    InputRequest request;
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
            std::cout << command.Help;
            return kSuccess;
        } else if (argument == "-o" || argument == "--output") {
            const auto output = value();
            if (!output || output->empty()) {
                return UsageError(command.Name, "-o needs the name of the file to write");
            }
            request.Output = *output;
        } else if (argument == "--no-pow2") {
            request.Options.pwr2lmt = false;
        } else if (argument == "--rw-version" && command.TakesDictionaryOptions) {
            const auto text = value();
            const auto index = text ? IndexOf(kVersionStamps, *text, 16) : std::nullopt;
            if (!index) {
                return UsageError(command.Name, "--rw-version takes 0x0800, 0x0C02 or 0x1003");
            }
            request.Options.VersionIndex = *index;
        } else if (argument == "--flag" && command.TakesDictionaryOptions) {
            const auto text = value();
            const auto index = text ? IndexOf(kTextureFlags, *text, 0) : std::nullopt;
            if (!index) {
                return UsageError(command.Name, "--flag takes 0x1101, 0x1102 or 0x1106");
            }
            request.Options.FlagIndex = *index;
        } else {
            return UsageError(command.Name, "unknown option " + std::string(argument));
        }
    }
    if (request.Output.empty()) {
        return UsageError(command.Name, "the output file is missing (-o " + std::string(command.OutputHint) + ")");
    }
    if (request.Inputs.empty()) {
        return UsageError(command.Name, "no input files given");
    }
    return request;
}

}  // namespace

bool AddInputs(Workspace& workspace, const std::vector<std::string_view>& inputs, bool pwr2lmt) {
    for (const std::string_view input : inputs) {
        if (LowerAscii(FileExtension(input)) == ".txt") {
            CheckReadableFile(input);
        }
        AddFile(workspace, input, pwr2lmt);
    }
    const std::string& problems = workspace.Intake.ProblemText;
    if (!problems.empty()) {
        std::cerr << "Some of the files caused errors and could not be added:" << ToTerminalLines(problems) << '\n';
    }
    return !problems.empty();
}

int RunInputCommand(Arguments arguments, const InputCommand& command, const FinishInputs& finish) {
    auto parsed = ParseInputArguments(arguments, command);
    if (const int* status = std::get_if<int>(&parsed)) {
        return *status;
    }
    const InputRequest& request = std::get<InputRequest>(parsed);
    try {
        Workspace workspace;
        workspace.Intake.VerifyData = command.VerifyWhileAdding;
        const bool refused = AddInputs(workspace, request.Inputs, request.Options.pwr2lmt);
        return finish(workspace, request, refused);
    } catch (const Error& error) {
        std::cerr << "vellumcraft-cli: " << error.what() << '\n';
        return kFailure;
    }
}

}  // namespace vc::cli
