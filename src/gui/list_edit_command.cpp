// SPDX-License-Identifier: GPL-3.0-or-later
#include "list_edit_command.h"

namespace vc::gui {

ListEditCommand::ListEditCommand(const QString& text, TextureList& list, ListChange change, ListState before,
                                 ListState after, ApplyState apply)
    : QUndoCommand(text),
      m_list(list),
      m_change(std::move(change)),
      m_before(std::move(before)),
      m_after(std::move(after)),
      m_apply(std::move(apply)),
      m_origin(m_before.SuggestedTxdPath != m_after.SuggestedTxdPath || m_before.VersionStamp != m_after.VersionStamp ||
               m_before.Target != m_after.Target) {}

void ListEditCommand::undo() {
    Undo(m_list, m_change);
    m_apply(m_before, m_origin);
    m_done = false;
}

void ListEditCommand::redo() {
    if (m_done) {
        return;  // pushed after the edit was made
    }
    Redo(m_list, m_change);
    m_apply(m_after, m_origin);
    m_done = true;
}

}  // namespace vc::gui
