#include "verdict_text.h"

#include "terminal_text.h"

namespace vc::cli {

std::string FindingLine(const Finding& finding, const std::vector<std::string>& textureNames) {
    const std::string subject = finding.Texture ? TerminalName(textureNames.at(*finding.Texture)) : "the dictionary";
    return subject + ": " + std::string(SeverityText(finding.Level)) + ": " + ToTerminalLines(finding.Reason) + " [" +
           std::string(finding.Rule) + "]";
}

}  // namespace vc::cli
