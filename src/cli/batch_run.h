// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <span>
#include <string>
#include <utility>

#include "io/ordered_work.h"
#include "terminal_progress.h"

namespace vc::cli {

// How a batch shares its workers: items made side by side, and the workers each item may use for
// its own parts (a lone dictionary still uses them all).
struct BatchWorkers {
    unsigned Items = 1;
    unsigned PerItem = 1;
};
inline BatchWorkers ShareWorkers(unsigned jobs, size_t items) {
    const auto side = static_cast<unsigned>(std::clamp<size_t>(items, 1, std::max(jobs, 1u)));
    return {side, std::max(1u, jobs / side)};
}

// Runs make(perItemJobs, index) for every named item on the batch's workers and take(index,
// result) in item order, so that what the batch prints is the same for any number of jobs; the
// progress line names the item waited for and is gone before take prints.
template <typename Make, typename Take>
void RunBatch(std::span<const std::string> names, unsigned jobs, TerminalProgress& progress, Make make, Take take) {
    const BatchWorkers workers = ShareWorkers(jobs, names.size());
    RunInOrder(
        names.size(), workers.Items, [&](unsigned, size_t index) { return make(workers.PerItem, index); },
        [&](size_t index, auto result) {
            progress.Clear();
            take(index, std::move(result));
        },
        [&](size_t index) { progress.Report(index, names.size(), names[index]); });
    progress.Clear();
}

}  // namespace vc::cli
