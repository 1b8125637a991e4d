// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QUndoCommand>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "rw/game_target.h"
#include "texlist/list_change.h"

namespace vc::gui {

// Besides its entries, what an edit of the list changes: where the list came from and the row the
// table selects.
struct ListState {
    std::string SuggestedTxdPath;
    std::optional<uint32_t> VersionStamp;
    std::optional<Game> Target;
    int SelectedRow = 1;

    bool operator==(const ListState&) const = default;
};

// One edit of the list on the window's undo stack. It is made after the edit is done, so the
// first redo, which the stack runs when the edit is pushed, does nothing.
class ListEditCommand final : public QUndoCommand {
  public:
    // Puts a state into the window once the list holds the entries of that state; where the list
    // came from only when this edit changed it.
    using ApplyState = std::function<void(const ListState&, bool origin)>;

    ListEditCommand(const QString& text, TextureList& list, ListChange change, ListState before, ListState after,
                    ApplyState apply);

    void undo() override;
    void redo() override;

  private:
    TextureList& m_list;
    ListChange m_change;
    ListState m_before;
    ListState m_after;
    ApplyState m_apply;
    bool m_origin;
    bool m_done = true;
};

}  // namespace vc::gui
