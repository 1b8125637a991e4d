// SPDX-License-Identifier: GPL-3.0-or-later
#include "licence_window.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace vc::gui {

namespace {

QString ResourceText(const QString& name) {
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

}  // namespace

LicenceWindow::LicenceWindow(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("LicenceWindow"));
    setWindowTitle(QStringLiteral("Licences"));
    auto* tabs = new QTabWidget(this);

    auto* libraries = new QTextBrowser(tabs);
    libraries->setObjectName(QStringLiteral("Libraries"));
    libraries->setOpenExternalLinks(true);
    libraries->setMarkdown(ResourceText(QStringLiteral(":/THIRD-PARTY.md")));
    tabs->addTab(libraries, QStringLiteral("&Vellumcraft and Its Libraries"));

    // The licence's own layout is its lines: shown as written, in a fixed-width font.
    auto* licence = new QPlainTextEdit(ResourceText(QStringLiteral(":/LICENSE")), tabs);
    licence->setObjectName(QStringLiteral("Licence"));
    licence->setReadOnly(true);
    licence->setLineWrapMode(QPlainTextEdit::NoWrap);
    licence->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    tabs->addTab(licence, QStringLiteral("&GNU General Public License"));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs);
    layout->addWidget(buttons);
    resize(680, 520);
}

}  // namespace vc::gui
