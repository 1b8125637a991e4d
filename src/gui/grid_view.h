// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

namespace vc::gui {

// A table view that selects whole rows, as a string grid does: a click or a key selects the row it
// lands on, Shift extends the selection to it, Ctrl+click and Ctrl+Space add or take away one row,
// Ctrl+A selects all; nothing leaves the table without a selected row. Ctrl+arrow moves the
// selection as the arrow alone does. Rows that cannot be selected stay unselected.
class GridView final : public QTableView {
  public:
    using QTableView::QTableView;

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
};

}  // namespace vc::gui
