// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <string>
#include <unordered_map>
#include <vector>

#include "ops/txd_verdict.h"
#include "texlist/tex_file.h"

namespace vc::gui {

// The failing findings of a verdict as a message box shows them below its own text: the heading
// and a line for each, the first few of many and how many more; empty when nothing fails.
QString FailingFindingsText(const Verdict& verdict, const std::vector<std::string>& names);

// What the last build or opening found the game will not take, entry by entry: a row is marked,
// and its tooltip tells why, for as long as its entry stays as it was then.
class EntryFindings {
  public:
    // The verdict on a dictionary whose texture i was made from, or became, the entry of the list
    // whose colour image is imagePaths[i] (empty: none).
    void Take(const Verdict& verdict, const std::vector<std::string>& names, const std::vector<std::string>& imagePaths,
              const TextureList& list);
    void Clear() { m_marks.clear(); }
    bool Any() const { return !m_marks.empty(); }
    // Every finding of a marked entry, a line each; empty for an entry not marked.
    QString TextFor(const TTexFile& entry) const;

  private:
    struct Mark {
        TTexFile Entry;  // as it was judged
        QString Text;
    };
    std::unordered_map<std::string, Mark> m_marks;  // by the entry's image path
};

}  // namespace vc::gui
