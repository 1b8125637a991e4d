// SPDX-License-Identifier: GPL-3.0-or-later
#include "archive_entry_dialog.h"

#include <QCoreApplication>
#include <QDialogButtonBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStringListModel>
#include <QVBoxLayout>
#include <string>

#include "archive/img_directory.h"

namespace vc::gui {

namespace {

// Names that hold the text, or match it as a pattern of "*" and "?" as the command line's do.
class EntryFilter final : public QSortFilterProxyModel {
  public:
    using QSortFilterProxyModel::QSortFilterProxyModel;

    // A pattern, like a part, may match anywhere in a name: "inf*2" finds "infernus2.txd".
    void SetText(const QString& typed) {
        m_text = typed.trimmed();
        m_pattern = "*" + m_text.toStdString() + "*";
        m_isPattern = m_text.contains('*') || m_text.contains('?');
        invalidateFilter();
    }

  protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override {
        const QString name = sourceModel()->index(row, 0, parent).data().toString();
        return m_isPattern ? MatchesNamePattern(m_pattern, name.toStdString())
                           : name.contains(m_text, Qt::CaseInsensitive);
    }

  private:
    QString m_text;
    std::string m_pattern;
    bool m_isPattern = false;
};

}  // namespace

ArchiveEntryDialog::ArchiveEntryDialog(const QString& title, const QStringList& names, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    m_filter = new QLineEdit(this);
    m_filter->setObjectName(QStringLiteral("filter"));
    m_filter->setPlaceholderText(QStringLiteral("Part of a name, or a pattern of * and ?"));
    // Up and Down move through the list while the filter keeps the focus.
    m_filter->installEventFilter(this);
    m_filter->setClearButtonEnabled(true);
    auto* label = new QLabel(QStringLiteral("&Filter:"), this);
    label->setBuddy(m_filter);

    auto* model = new QStringListModel(names, this);
    m_shown = new EntryFilter(this);
    m_shown->setSourceModel(model);
    m_shown->setSortCaseSensitivity(Qt::CaseInsensitive);
    m_shown->sort(0);
    m_count = new QLabel(this);
    m_count->setObjectName(QStringLiteral("count"));
    m_total = names.size();
    m_list = new QListView(this);
    m_list->setObjectName(QStringLiteral("entries"));
    m_list->setModel(m_shown);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setUniformItemSizes(true);  // thousands of rows lay out at once
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    QPushButton* open = buttons->button(QDialogButtonBox::Open);
    open->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_list, &QListView::doubleClicked, this, &QDialog::accept);
    connect(m_filter, &QLineEdit::textChanged, this, &ArchiveEntryDialog::Filter);
    connect(m_list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, open] { open->setEnabled(!Chosen().isEmpty()); });

    auto* layout = new QVBoxLayout(this);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_filter, 1);
    layout->addLayout(row);
    layout->addWidget(m_list, 1);
    layout->addWidget(m_count);
    layout->addWidget(buttons);
    resize(360, 420);
    Filter(QString());
    m_filter->setFocus();
}

QString ArchiveEntryDialog::Chosen() const {
    const QModelIndex current = m_list->currentIndex();
    return current.isValid() ? current.data().toString() : QString();
}

void ArchiveEntryDialog::Filter(const QString& text) {
    static_cast<EntryFilter*>(m_shown)->SetText(text);
    // The first match is the one Enter takes.
    m_list->setCurrentIndex(m_shown->index(0, 0));
    if (QPushButton* open = findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open)) {
        open->setEnabled(!Chosen().isEmpty());
    }
    const int shown = m_shown->rowCount();
    m_count->setText(shown == 0 ? QStringLiteral("No name matches.")
                                : QString::number(shown) + " of " + QString::number(m_total));
}

bool ArchiveEntryDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_filter && event->type() == QEvent::KeyPress) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
            case Qt::Key_Up:
            case Qt::Key_Down:
            case Qt::Key_PageUp:
            case Qt::Key_PageDown:
                QCoreApplication::sendEvent(m_list, event);
                return true;
            default:
                break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace vc::gui
