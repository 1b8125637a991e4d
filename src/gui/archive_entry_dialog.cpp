#include "archive_entry_dialog.h"

#include <QDialogButtonBox>
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

    void SetText(const QString& text) {
        m_text = text;
        m_pattern = text.toStdString();
        m_isPattern = text.contains('*') || text.contains('?');
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
    m_filter->setPlaceholderText(QStringLiteral("Part of a name, or a pattern such as *.txd"));
    m_filter->setClearButtonEnabled(true);
    auto* label = new QLabel(QStringLiteral("&Filter:"), this);
    label->setBuddy(m_filter);

    auto* model = new QStringListModel(names, this);
    m_shown = new EntryFilter(this);
    m_shown->setSourceModel(model);
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
}

}  // namespace vc::gui
