// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>

#include "entry_findings.h"
#include "texlist/tex_file.h"

namespace vc::gui {

// The texture list as the table shows it: four columns, one row per entry, and one blank row when
// the list is empty; an entry the game will not take as it was last judged has a warning sign
// before its name. It reads the list where it lies; Refresh tells the view that it changed.
class TextureTableModel final : public QAbstractTableModel {
    Q_OBJECT

  public:
    TextureTableModel(const TextureList& list, const EntryFindings& findings, QObject* parent = nullptr)
        : QAbstractTableModel(parent), m_list(list), m_findings(findings) {}

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    void Refresh();

  private:
    const TextureList& m_list;
    const EntryFindings& m_findings;
};

}  // namespace vc::gui
