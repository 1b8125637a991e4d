// SPDX-License-Identifier: GPL-3.0-or-later
#include "texture_table_model.h"

#include <QApplication>
#include <QIcon>
#include <QPixmap>
#include <QStyle>

#include "ops/txd_builder.h"
#include "texlist/entry_texts.h"
#include "window_text.h"

namespace vc::gui {

namespace {

constexpr int kColumns = 4;
constexpr int kSignSide = 12;  // small enough for the table's rows

// The style's warning sign, drawn the same in a selected row.
QIcon WarningSign() {
    static const QIcon sign = [] {
        const QPixmap pixmap =
            QApplication::style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kSignSide, kSignSide);
        QIcon icon(pixmap);
        icon.addPixmap(pixmap, QIcon::Selected);
        return icon;
    }();
    return sign;
}

QIcon BlankSign() {
    static const QIcon blank = [] {
        QPixmap pixmap(kSignSide, kSignSide);
        pixmap.fill(Qt::transparent);
        return QIcon(pixmap);
    }();
    return blank;
}

}  // namespace

int TextureTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max<int>(1, static_cast<int>(m_list.size()));
}

int TextureTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QVariant TextureTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || static_cast<size_t>(index.row()) >= m_list.size()) {
        return {};
    }
    const TTexFile& entry = m_list[static_cast<size_t>(index.row())];
    if (role == Qt::DecorationRole && index.column() == 0 && m_findings.Any()) {
        // Names stay in one column: a row without the sign has a blank of its size.
        return m_findings.TextFor(entry).isEmpty() ? BlankSign() : WarningSign();
    }
    if (role != Qt::DisplayRole) {
        return {};
    }
    switch (index.column()) {
        case 0:
            return Text(entry.TexName);
        case 1:
            return Text(MaskNameWritten(entry));
        case 2:
            return Text(DimensionsText(entry.TexInfo));
        case 3:
            return Text(OutputFormatText(entry));
        default:
            return {};
    }
}

QVariant TextureTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    static const char* const kHeaders[kColumns] = {"Texture Name", "Alpha Name", "Dimensions", "Format (Out)"};
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= kColumns) {
        return {};
    }
    return QString::fromLatin1(kHeaders[section]);
}

Qt::ItemFlags TextureTableModel::flags(const QModelIndex& index) const {
    // The empty list's blank row is neither enabled nor selectable: it is drawn blank.
    const bool entry = index.isValid() && static_cast<size_t>(index.row()) < m_list.size();
    return entry ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void TextureTableModel::Refresh() {
    beginResetModel();
    endResetModel();
}

}  // namespace vc::gui
