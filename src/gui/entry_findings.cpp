// SPDX-License-Identifier: GPL-3.0-or-later
#include "entry_findings.h"

#include <algorithm>
#include <map>

#include "io/file_io.h"
#include "window_text.h"

namespace vc::gui {

namespace {

// More lines than this make a box taller than the screen; the marked rows show the rest.
constexpr size_t kShownFindings = 12;
constexpr size_t kNamedSubjects = 5;
// Message boxes do not wrap their text; a finding is broken into lines of about this many
// characters, its later lines indented under its first.
constexpr qsizetype kLineLength = 100;

QString Wrapped(const QString& line) {
    QString wrapped;
    QString rest = line;
    // A break goes at a blank, but never beside the "×" of a size ("4 × 4").
    const auto breakable = [&](qsizetype at) {
        return rest[at] == ' ' && (at == 0 || rest[at - 1] != QChar(0xD7)) &&
               (at + 1 >= rest.size() || rest[at + 1] != QChar(0xD7));
    };
    while (rest.size() > kLineLength) {
        qsizetype cut = kLineLength;
        while (cut > 2 && !breakable(cut)) {
            --cut;
        }
        if (cut <= 2) {
            cut = kLineLength;
            while (cut < rest.size() && !breakable(cut)) {
                ++cut;
            }
            if (cut == rest.size()) {
                break;
            }
        }
        wrapped += rest.left(cut) + "\r\n";
        rest = "  " + rest.mid(cut + 1);
    }
    return wrapped + rest;
}

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
    // One line for each rule and reason, naming every texture that breaks it, in the order met.
    struct Group {
        const Finding* First;
        std::vector<std::string> Subjects;
    };
    std::vector<Group> groups;
    for (const Finding& finding : verdict.Findings) {
        if (finding.Level == Severity::WorthKnowing) {
            continue;
        }
        const auto same = std::find_if(groups.begin(), groups.end(), [&](const Group& group) {
            return group.First->Rule == finding.Rule && group.First->Reason == finding.Reason;
        });
        (same != groups.end() ? same->Subjects : groups.emplace_back(Group{&finding, {}}).Subjects)
            .push_back(Subject(finding, names));
    }
    // A rule's lines together, rules in the order first met.
    std::vector<std::string_view> rules;
    for (const Group& group : groups) {
        if (std::find(rules.begin(), rules.end(), group.First->Rule) == rules.end()) {
            rules.push_back(group.First->Rule);
        }
    }
    const auto rank = [&](const Group& group) { return std::find(rules.begin(), rules.end(), group.First->Rule); };
    std::stable_sort(groups.begin(), groups.end(), [&](const Group& a, const Group& b) { return rank(a) < rank(b); });
    QString text = Text(verdict.FailingHeading());
    for (size_t i = 0; i < std::min(groups.size(), kShownFindings); ++i) {
        const std::vector<std::string>& subjects = groups[i].Subjects;
        std::string subject;
        for (size_t s = 0; s < std::min(subjects.size(), kNamedSubjects); ++s) {
            subject += (s == 0 ? "" : ", ") + subjects[s];
        }
        if (subjects.size() > kNamedSubjects) {
            subject += " and " + std::to_string(subjects.size() - kNamedSubjects) + " more";
        }
        text += "\r\n" + Wrapped("- " + Text(FindingText(*groups[i].First, subject)));
    }
    if (groups.size() > kShownFindings) {
        text += "\r\n... and " + QString::number(groups.size() - kShownFindings) + " more, on the marked rows.";
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
