#pragma once

#include <QTableView>

namespace vc::gui {

// A table view that selects as a string grid with whole-row selection does: a click or a key
// always selects the whole row it lands on, and nothing (Ctrl+click, Ctrl+Space, Ctrl+arrow)
// leaves the table without its one selected row. Rows that cannot be selected stay unselected.
class GridView final : public QTableView {
  public:
    using QTableView::QTableView;

  protected:
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index, const QEvent* event) const override;
};

}  // namespace vc::gui
