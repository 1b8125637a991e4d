// SPDX-License-Identifier: GPL-3.0-or-later
#include "grid_view.h"

#include <QKeyEvent>

namespace vc::gui {

QItemSelectionModel::SelectionFlags GridView::selectionCommand(const QModelIndex& index, const QEvent* event) const {
    if (!index.isValid() || !index.flags().testFlag(Qt::ItemIsSelectable)) {
        return QItemSelectionModel::NoUpdate;
    }
    const auto rows = QItemSelectionModel::Rows;
    if (event != nullptr && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!key->modifiers().testFlag(Qt::ShiftModifier) && key->key() != Qt::Key_Space) {
            return QItemSelectionModel::ClearAndSelect | rows;
        }
    }
    QItemSelectionModel::SelectionFlags command = QTableView::selectionCommand(index, event);
    const bool takesAway = command.testAnyFlags(QItemSelectionModel::Toggle | QItemSelectionModel::Deselect);
    if (takesAway && selectionModel()->isRowSelected(index.row()) && selectionModel()->selectedRows().size() == 1) {
        return QItemSelectionModel::NoUpdate;  // the last selected row stays
    }
    return command == QItemSelectionModel::NoUpdate ? command : command | rows;
}

}  // namespace vc::gui
