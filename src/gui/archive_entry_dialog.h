// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLabel;
class QLineEdit;
class QListView;
class QSortFilterProxyModel;

namespace vc::gui {

// Picks one entry of an archive: a filter box over the names in name order (a part of a name, or
// a pattern of "*" and "?" found anywhere in one, ignoring case), the first match selected and how
// many match below; Up and Down move through the list from the filter box; Enter or a double click
// takes the one selected. Thousands of names filter as fast as they are typed.
class ArchiveEntryDialog final : public QDialog {
  public:
    ArchiveEntryDialog(const QString& title, const QStringList& names, QWidget* parent);

    // The name chosen; empty while none is.
    QString Chosen() const;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Filter(const QString& text);

    QLineEdit* m_filter = nullptr;
    QListView* m_list = nullptr;
    QSortFilterProxyModel* m_shown = nullptr;
    QLabel* m_count = nullptr;  // how many names the filter lets through
    qsizetype m_total = 0;
};

}  // namespace vc::gui
