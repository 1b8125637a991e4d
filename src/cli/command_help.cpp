// SPDX-License-Identifier: GPL-3.0-or-later
#include "command_help.h"

#include <algorithm>

#include "io/program_version.h"
#include "texlist/image_kinds.h"

namespace vc::cli {

namespace {

constexpr Option kVersionOption = {"version", 0, "", "show the program's version"};

std::string OptionForm(const Option& option) {
    std::string form = option.Short != 0 ? std::string{'-', option.Short, ',', ' '} : std::string();
    form += "--" + std::string(option.Long);
    if (!option.ValueName.empty()) {
        form += " " + std::string(option.ValueName);
    }
    return form;
}

// Two columns: each option's form, then its help, whose further lines keep to the second column.
std::string OptionTable(std::span<const Option* const> options) {
    size_t column = 0;
    for (const Option* option : options) {
        column = std::max(column, OptionForm(*option).size());
    }
    column += 4;
    std::string table;
    for (const Option* option : options) {
        std::string line = "  " + OptionForm(*option);
        line.resize(column, ' ');
        std::string_view help = option->Help;
        for (size_t end = help.find('\n'); end != std::string_view::npos; end = help.find('\n')) {
            line += std::string(help.substr(0, end)) + "\n" + std::string(column, ' ');
            help.remove_prefix(end + 1);
        }
        table += line + std::string(help) + "\n";
    }
    return table;
}

}  // namespace

std::string CommandHelp(const Command& command) {
    std::vector<const Option*> options;
    for (const Option& option : command.Options) {
        options.push_back(&option);
    }
    options.push_back(&kHelpOption);
    return "Usage: " + std::string(kProgramName) + " " + std::string(command.Name) + " " +
           std::string(command.Synopsis) + "\n\n" + std::string(command.Description) + "\n\nOptions:\n" +
           OptionTable(options) + "\n" + std::string(command.ExitStatus) + "\n";
}

std::string ProgramHelp(std::span<const Command* const> commands) {
    size_t column = 0;
    for (const Command* command : commands) {
        column = std::max(column, command->Name.size());
    }
    std::string list;
    for (const Command* command : commands) {
        std::string line = "  " + std::string(command->Name);
        line.resize(column + 6, ' ');
        list += line + std::string(command->Summary) + "\n";
    }
    const Option* const options[] = {&kHelpOption, &kVersionOption};
    return "Usage: " + std::string(kProgramName) +
           " COMMAND [ARGUMENT...]\n\n"
           "Assembles GTA III, Vice City and San Andreas texture dictionaries from images\n(" +
           ImageExtensionList() +
           ") and takes them apart again.\n\n"
           "Commands:\n" +
           list + "\nOptions:\n" + OptionTable(options) + "\n'" + std::string(kProgramName) +
           " COMMAND --help' describes a command.\n";
}

std::string VersionText() {
    return std::string(kProgramName) + " " + std::string(kProgramVersion) + "\n";
}

}  // namespace vc::cli
