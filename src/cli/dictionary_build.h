// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "command.h"
#include "io/atomic_file.h"

namespace vc::cli {

// The options of a build after the output option given: game, stamp, flag word, output choices,
// workers and the power-of-two rule.
std::vector<Option> BuildOptions(const Option& output);

// How a build ended: its exit status (0, or 1 when an input was refused or left out), and whether
// the dictionary was written at all.
struct DictionaryBuilt {
    int Status = 0;
    bool Written = false;
    // The dictionary beside its output file, for the caller to put in place (Commit()) when it
    // asked to: a batch flushes and renames on the thread that reports, while its workers build on.
    std::unique_ptr<AtomicFile> Unplaced;
};

// Who puts a dictionary written to a file in its place.
enum class Placing { ByBuild, ByCaller };

// Builds the dictionary of the inputs into output (a file, or ARCHIVE:NAME) with the options the
// arguments give, on up to jobs threads, as build does: refused inputs, problems and warnings on
// Err, the result on Out.
DictionaryBuilt BuildDictionary(const ParsedArguments& arguments, std::span<const std::string_view> inputs,
                                const std::string& output, unsigned jobs, const Streams& streams,
                                Placing placing = Placing::ByBuild);

}  // namespace vc::cli
