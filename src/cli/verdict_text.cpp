// SPDX-License-Identifier: GPL-3.0-or-later
#include "verdict_text.h"

#include "terminal_text.h"

namespace vc::cli {

std::string FindingLine(const Finding& finding, const std::vector<std::string>& textureNames) {
    const std::string subject =
        finding.Texture ? TerminalName(textureNames.at(*finding.Texture)) : std::string(kWholeDictionary);
    return ToTerminalLines(FindingText(finding, subject));
}

}  // namespace vc::cli
