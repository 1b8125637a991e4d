#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"

namespace vc::cli {

// The options of a build after the output option given: game, stamp, flag word, output choices,
// workers and the power-of-two rule.
std::vector<Option> BuildOptions(const Option& output);

// How a build ended: its exit status (0, or 1 when an input was refused or left out), and whether
// the dictionary was written at all.
struct DictionaryBuilt {
    int Status = 0;
    bool Written = false;
};

// Builds the dictionary of the inputs into output (a file, or ARCHIVE:NAME) with the options the
// arguments give, on up to jobs threads, as build does: refused inputs, problems and warnings on
// Err, the result on Out.
DictionaryBuilt BuildDictionary(const ParsedArguments& arguments, std::span<const std::string_view> inputs,
                                const std::string& output, unsigned jobs, const Streams& streams);

}  // namespace vc::cli
