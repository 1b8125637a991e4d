// SPDX-License-Identifier: GPL-3.0-or-later
#include "texlist/problem_summary.h"

#include <algorithm>
#include <array>
#include <utility>
#include <vector>

namespace vc {

namespace {

// The reasons of the report's lines, by a text each one holds, as the summary words them for one
// file and for several.
struct Reason {
    std::string_view Found;
    std::string_view One;
    std::string_view Several;
};
constexpr std::string_view kNotPowerOfTwo = "aren't a power of 2";
constexpr std::string_view kOptionHint = " (Edit \xE2\x80\xBA Options \xE2\x80\xBA Dimensions Limited to 2^x)";
constexpr std::array<Reason, 10> kReasons = {{
    {"aren't divisible by 4", "has sides not divisible by 4", "have sides not divisible by 4"},
    {kNotPowerOfTwo, "has sides that are not powers of two", "have sides that are not powers of two"},
    {"must be at least", "is smaller than 4 \xC3\x97 4", "are smaller than 4 \xC3\x97 4"},
    {"neither 8 paletted nor 24 bit", "has a pixel format no texture is made from",
     "have a pixel format no texture is made from"},
    {"File does not exist.", "does not exist", "do not exist"},
    {"is not supported", "is of a kind Vellumcraft does not read", "are of a kind Vellumcraft does not read"},
    {"Is a folder", "is a folder", "are folders"},
    {"already exists", "is in the list already", "are in the list already"},
    {"could not be read", "cannot be read", "cannot be read"},
    {"", "has other problems", "have other problems"},  // found in every block: the last resort
}};
constexpr std::string_view kBlockStart = "\r\n\r\n=> ";

}  // namespace

std::string ProblemSummary(std::string_view problems) {
    std::vector<std::pair<const Reason*, size_t>> counts;  // in the order first met
    size_t files = 0;
    for (size_t start = problems.find(kBlockStart); start != std::string_view::npos;) {
        const size_t next = problems.find(kBlockStart, start + kBlockStart.size());
        const std::string_view block = problems.substr(start, next == std::string_view::npos ? next : next - start);
        // The first reason the block gives, where it gives several; the reasons' lines follow the
        // file's name.
        const std::string_view reasons = block.substr(std::min(block.size(), block.find(":\r\n")));
        const Reason* first = &kReasons.back();
        size_t firstAt = std::string_view::npos;
        for (const Reason& reason : kReasons) {
            if (const size_t at = reasons.find(reason.Found); !reason.Found.empty() && at < firstAt) {
                first = &reason;
                firstAt = at;
            }
        }
        const auto counted =
            std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == first; });
        if (counted != counts.end()) {
            ++counted->second;
        } else {
            counts.emplace_back(first, 1);
        }
        ++files;
        start = next;
    }
    if (files < kSummedBlocks) {
        return {};
    }
    std::string summary = std::to_string(files) + " files could not be added: ";
    for (size_t i = 0; i < counts.size(); ++i) {
        const auto& [reason, count] = counts[i];
        summary += (i == 0 ? "" : ", ") + std::to_string(count) + " " +
                   std::string(count == 1 ? reason->One : reason->Several) +
                   std::string(reason->Found == kNotPowerOfTwo ? kOptionHint : "");
    }
    return summary + ".";
}

std::string RefusalReasons(std::string_view block) {
    std::string reasons;
    constexpr std::string_view kLine = "\r\n\t";
    for (size_t at = block.find(kLine); at != std::string_view::npos;) {
        const size_t next = block.find(kLine, at + kLine.size());
        const size_t end = std::min(next, block.find("\r\n\r\n", at + kLine.size()));
        reasons += "\r\n" + std::string(block.substr(at + kLine.size(), end - at - kLine.size()));
        at = next;
    }
    if (block.find(kNotPowerOfTwo) != std::string_view::npos) {
        reasons +=
            "\r\nImages of other sides are taken once Edit \xE2\x80\xBA Options \xE2\x80\xBA Dimensions "
            "Limited to 2^x is unchecked.";
    }
    return reasons;
}

}  // namespace vc
