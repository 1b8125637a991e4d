#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>

class QLineEdit;
class QListView;
class QSortFilterProxyModel;

namespace vc::gui {

// Picks one entry of an archive: a filter box over the list of names (a part of the name, or a
// pattern of "*" and "?", ignoring case), the first match selected; Enter or a double click takes
// it. Thousands of names filter as fast as they are typed.
class ArchiveEntryDialog final : public QDialog {
  public:
    ArchiveEntryDialog(const QString& title, const QStringList& names, QWidget* parent);

    // The name chosen; empty while none is.
    QString Chosen() const;

  private:
    void Filter(const QString& text);

    QLineEdit* m_filter = nullptr;
    QListView* m_list = nullptr;
    QSortFilterProxyModel* m_shown = nullptr;
};

}  // namespace vc::gui
