// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "ops/txd_verdict.h"

namespace vc::cli {

// "road: will look wrong: Its compressed levels … [small-dxt-levels]", the texture named from
// textureNames, or "the dictionary: …" for a finding of the whole.
std::string FindingLine(const Finding& finding, const std::vector<std::string>& textureNames);

}  // namespace vc::cli
