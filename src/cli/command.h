// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

namespace vc::cli {

// One option a command takes, as its help shows it.
struct Option {
    std::string_view Long;       // given as --Long
    char Short = 0;              // given as -Short; 0 when there is no short form
    std::string_view ValueName;  // the value it takes, as the help names it; empty for a switch
    std::string_view Help;       // may run over several lines
};

// The arguments of one command as the parser read them.
class ParsedArguments {
  public:
    bool Has(std::string_view option) const;
    // The value last given to an option, if any.
    std::optional<std::string_view> Value(std::string_view option) const;
    // The arguments that are no options, in their order.
    const std::vector<std::string_view>& Operands() const { return m_operands; }

    void AddOption(std::string_view option, std::string_view value = {});
    void AddOperand(std::string_view operand) { m_operands.push_back(operand); }

  private:
    std::vector<std::pair<std::string_view, std::string_view>> m_options;
    std::vector<std::string_view> m_operands;
};

// Where a command writes: its results on Out, problems and errors on Err.
struct Streams {
    std::ostream& Out;
    std::ostream& Err;
    bool ErrIsTerminal = false;  // progress may rewrite a line there
};

// A command of vellumcraft-cli: its name, its help and what it does, declared in one place.
struct Command {
    std::string_view Name;
    std::string_view Synopsis;    // what follows the command's name in the usage line
    std::string_view Summary;     // its line in the program's list of commands
    std::string Description;      // what it does, in lines of at most 95 characters
    std::vector<Option> Options;  // every command also takes -h, --help
    std::string_view ExitStatus;
    // Returns the exit status; throws a UsageError for arguments it cannot use and an Error when
    // a file cannot be read or written.
    int (*Run)(const ParsedArguments& arguments, const Streams& streams);
};

}  // namespace vc::cli
