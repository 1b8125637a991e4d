#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "cli_support.h"
#include "workspace/workspace.h"
#include "txd/txd_builder.h"

namespace vc::cli {

// A command that turns input files into one output file.
struct InputCommand {
    std::string_view Name;
    std::string_view Help;
    std::string_view OutputHint;  // how the usage names the output, "OUT.txd"
    bool TakesDictionaryOptions;  // --rw-version and --flag
    // Whether adding reads through every image's data; a build that loads every image right
    // afterwards finds damage then, and saves decoding each image twice.
    bool VerifyWhileAdding;
};

struct InputRequest {
    std::string Output;
    std::vector<std::string_view> Inputs;
    TxdOptions Options;
};

// Adds the inputs in order exactly as the window's Add command does and prints the problem report
// on stderr; true when some input was refused. A list file that cannot be read is an error here,
// not an empty list.
bool AddInputs(Workspace& workspace, const std::vector<std::string_view>& inputs, bool pwr2lmt);

// What a command does once its inputs are added; refused tells whether any input was refused.
// Returns the exit status.
using FinishInputs = std::function<int(Workspace& workspace, const InputRequest& request, bool refused)>;

// Parses the arguments, adds the inputs and hands over to finish; any error ends the run with its
// message and status 3.
int RunInputCommand(Arguments arguments, const InputCommand& command, const FinishInputs& finish);

}  // namespace vc::cli
