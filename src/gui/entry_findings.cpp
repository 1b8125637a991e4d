#include "entry_findings.h"

#include <algorithm>
#include <map>

#include "io/file_io.h"
#include "window_text.h"

namespace vc::gui {

namespace {

// More lines than this make a box taller than the screen; the marked rows show the rest.
constexpr size_t kShownFindings = 12;

std::string Subject(const Finding& finding, const std::vector<std::string>& names) {
    return finding.Texture ? names.at(*finding.Texture) : std::string(kWholeDictionary);
}

// One spelling of a path, however it was joined.
std::string PathKey(const std::string& path) {
    return FromFsPath(ToFsPath(path).lexically_normal());
}

}  // namespace

QString FailingFindingsText(const Verdict& verdict, const std::vector<std::string>& names) {
    if (!verdict.Fails()) {
        return {};
    }
    QString text = Text(verdict.FailingHeading());
    size_t failing = 0;
    for (const Finding& finding : verdict.Findings) {
        if (finding.Level != Severity::WorthKnowing && ++failing <= kShownFindings) {
            text += "\r\n- " + Text(FindingText(finding, Subject(finding, names)));
        }
    }
    if (failing > kShownFindings) {
        text += "\r\n... and " + QString::number(failing - kShownFindings) + " more, on the marked rows.";
    }
    return text;
}

void EntryFindings::Take(const Verdict& verdict, const std::vector<std::string>& names,
                         const std::vector<std::string>& imagePaths, const TextureList& list) {
    m_marks.clear();
    // Each texture's findings, for the textures with one that fails.
    std::map<size_t, std::vector<const Finding*>> judged;
    for (const Finding& finding : verdict.Findings) {
        if (finding.Texture) {
            judged[*finding.Texture].push_back(&finding);
        }
    }
    std::unordered_map<std::string, const TTexFile*> entries;
    for (const TTexFile& entry : list) {
        entries.emplace(PathKey(entry.TexPath), &entry);
    }
    for (const auto& [texture, findings] : judged) {
        const bool fails = std::any_of(findings.begin(), findings.end(),
                                       [](const Finding* finding) { return finding->Level != Severity::WorthKnowing; });
        const auto entry = texture < imagePaths.size() && !imagePaths[texture].empty()
                               ? entries.find(PathKey(imagePaths[texture]))
                               : entries.end();
        if (!fails || entry == entries.end()) {
            continue;
        }
        Mark& mark = m_marks[entry->first];
        mark.Entry = *entry->second;
        for (const Finding* finding : findings) {
            mark.Text += (mark.Text.isEmpty() ? "" : "\n") + Text(FindingText(*finding, Subject(*finding, names)));
        }
    }
}

QString EntryFindings::TextFor(const TTexFile& entry) const {
    const auto mark = m_marks.find(PathKey(entry.TexPath));
    return mark != m_marks.end() && mark->second.Entry == entry ? mark->second.Text : QString();
}

}  // namespace vc::gui
