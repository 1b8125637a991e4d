// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vc {

// One change a journal makes to an archive. Each can be made again and again with the same result,
// so that a journal cut short by a crash while it was being carried out is carried out anew.
struct JournalStep {
    enum class Kind : uint8_t {
        WriteImg = 1,    // Bytes written into the ".img" at Offset
        ReplaceDir = 2,  // the ".dir" To (in the archive's folder) replaced by Bytes, or made anew
        Rename = 3,      // the file From (in the archive's folder) renamed onto To, unless From is gone
    };
    Kind What = Kind::WriteImg;
    uint64_t Offset = 0;
    std::vector<uint8_t> Bytes;
    std::string From;  // file names, in the archive's folder
    std::string To;

    bool operator==(const JournalStep&) const = default;
};

// A redo journal beside an archive ("gta3.img.journal"): the changes that take it from one good
// state to the next, put on disk whole (written beside, flushed, renamed into place) before the
// first of them is made. The archive is changed only through one; so a crash, a full disk or a kill
// at any moment leaves either no journal and the old archive, or a whole journal that the next
// opening carries out, giving the new one. A journal that does not read whole (a disk that lost its
// end) was never begun on, and is removed.
std::string JournalPath(std::string_view imgPath);
void WriteJournal(std::string_view imgPath, const std::vector<JournalStep>& steps);
// The steps of the journal beside the archive; none when there is none or it does not read whole.
std::optional<std::vector<JournalStep>> ReadJournal(std::string_view imgPath);

// Told of each point between two writes of a change to an archive; tests stop the work there, as a
// crash would, by throwing.
using CrashPoint = std::function<void(std::string_view where)>;

// Carries out the steps, each flushed to disk, then removes the journal.
void CarryOutJournal(std::string_view imgPath, const std::vector<JournalStep>& steps,
                     const CrashPoint& crashPoint = {});

// Completes the change a journal beside the archive promises, if one is there; true when it did.
bool CompleteJournal(std::string_view imgPath);

}  // namespace vc
