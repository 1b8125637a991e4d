#pragma once

#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "cli_support.h"
#include "texlist/texture_list.h"
#include "txd/txd_builder.h"

namespace vc::cli {

// A command that turns input files into one output file.
struct InputCommand {
    std::string_view Name;
    std::string_view Help;
    std::string_view OutputHint;  // how the usage names the output, "OUT.txd"
    bool TakesDictionaryOptions;  // --rw-version and --flag
};

struct InputRequest {
    std::string Output;
    std::vector<std::string_view> Inputs;
    TxdOptions Options;
};

// Returns the parsed request, or the exit status when there is nothing more to do (help shown,
// or bad usage reported).
std::variant<InputRequest, int> ParseInputArguments(Arguments arguments, const InputCommand& command);

// Adds the inputs in order, exactly as the window's Add command does, and prints the problem
// report on stderr. A list file that cannot be read is an error here, not an empty list.
// Returns true when some input was refused.
bool AddInputs(Workspace& workspace, const InputRequest& request);

}  // namespace vc::cli
