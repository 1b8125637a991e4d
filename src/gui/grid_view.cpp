#include "grid_view.h"

namespace vc::gui {

QItemSelectionModel::SelectionFlags GridView::selectionCommand(const QModelIndex& index, const QEvent*) const {
    if (!index.isValid() || !index.flags().testFlag(Qt::ItemIsSelectable)) {
        return QItemSelectionModel::NoUpdate;
    }
    return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
}

}  // namespace vc::gui
