// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli.h"

#include <algorithm>
#include <new>
#include <string>

#include "command_help.h"
#include "commands.h"
#include "exit_status.h"
#include "option_parser.h"
#include "usage_error.h"

namespace vc::cli {

namespace {

// The commands in the order the program's help lists them.
const Command* const kCommands[] = {&kBuildCommand,  &kBuildTreeCommand, &kListCommand,  &kInspectCommand,
                                    &kVerifyCommand, &kExtractCommand,   &kCheckCommand, &kImgCommand};

bool IsHelp(std::string_view argument) {
    return argument == "--help" || argument == "-h";
}

int ReportUsageError(std::ostream& err, const std::string& message, std::string_view command) {
    err << kProgramName << ": " << message << "\nTry '" << kProgramName << " "
        << (command.empty() ? "" : std::string(command) + " ") << "--help'.\n";
    return kUsage;
}

int RunCommand(const Command& command, std::span<const std::string_view> arguments, const Streams& streams) {
    std::vector<Option> options = command.Options;
    options.push_back(kHelpOption);
    const ParsedArguments parsed = ParseArguments(arguments, options);
    if (parsed.Has(kHelpOption.Long)) {
        streams.Out << CommandHelp(command);
        return kSuccess;
    }
    return command.Run(parsed, streams);
}

}  // namespace

int RunCli(std::span<const std::string_view> arguments, std::ostream& out, std::ostream& err, bool errIsTerminal) {
    if (arguments.empty()) {
        return ReportUsageError(err, "no command given", {});
    }
    const std::string_view name = arguments[0];
    if (IsHelp(name)) {
        out << ProgramHelp(kCommands);
        return kSuccess;
    }
    if (name == "--version") {
        out << VersionText();
        return kSuccess;
    }
    const auto found = std::find_if(std::begin(kCommands), std::end(kCommands),
                                    [&](const Command* command) { return command->Name == name; });
    if (found == std::end(kCommands)) {
        return ReportUsageError(err, "unknown command '" + std::string(name) + "'", {});
    }
    const Command& command = **found;
    try {
        return RunCommand(command, arguments.subspan(1), {out, err, errIsTerminal});
    } catch (const UsageError& error) {
        return ReportUsageError(err, error.what(), command.Name);
    } catch (const Error& error) {
        err << kProgramName << ": " << error.what() << '\n';
        return ExitStatusFor(error.Kind());
    } catch (const std::bad_alloc&) {
        err << kProgramName << ": not enough memory\n";
        return ExitStatusFor(ErrorKind::OutOfMemory);
    } catch (const std::exception& error) {
        err << kProgramName << ": " << error.what() << '\n';
        return kFailure;
    }
}

}  // namespace vc::cli
