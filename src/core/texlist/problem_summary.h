// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace vc {

// A long problem report, summed up in one line before its blocks: "300 files could not be added:
// 280 have sides that are not powers of two (Edit › Options › Dimensions Limited to 2^x), 20 do
// not exist." Each file counts once, by the first reason its block gives; kinds are named in the
// order of the report. Empty for a report of fewer than kSummedBlocks files, which reads whole at a
// glance.
std::string ProblemSummary(std::string_view problems);

constexpr size_t kSummedBlocks = 10;

// The reasons of one file's problem block, a line each without its indent, and where sides that
// are not powers of two are among them, where the rule is switched off.
std::string RefusalReasons(std::string_view block);

}  // namespace vc
