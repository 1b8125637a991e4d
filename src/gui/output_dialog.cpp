// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFont>
#include <QPushButton>

#include "etched_group_box.h"
#include "output_choices.h"
#include "window_placement.h"

namespace vc::gui {

namespace {

// As wide as the texture settings' output group, the buttons as that dialog sets them.
constexpr int kGroupWidth = 330;
constexpr int kGroupHeight = 64;
constexpr int kButtonTop = 8 + kGroupHeight + 8;

}  // namespace

OutputDialog::OutputDialog(const QString& title, const std::vector<TextureOutput>& shown, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("OutputDialog"));
    if (parent != nullptr) {
        setFont(parent->font());  // the window's font, which its captions are fitted to
    }
    setWindowTitle(title);
    auto* group = new EtchedGroupBox(QStringLiteral(" Output Settings "), this);
    group->setGeometry(8, 8, kGroupWidth, kGroupHeight);
    m_choices = new OutputChoices(group);
    m_choices->Show(shown);
    auto* cancel = new QPushButton(QStringLiteral("&Cancel"), this);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setGeometry(8 + kGroupWidth - 65 - 8 - 73, kButtonTop, 65, 25);
    auto* apply = new QPushButton(QStringLiteral("&Apply"), this);
    apply->setObjectName(QStringLiteral("Apply"));
    apply->setGeometry(8 + kGroupWidth - 73, kButtonTop, 73, 25);
    QFont bold = apply->font();
    bold.setBold(true);
    apply->setFont(bold);
    apply->setDefault(true);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(apply, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(m_choices->FormatBox(), m_choices->MipmapsBox());
    setTabOrder(m_choices->MipmapsBox(), m_choices->FilterBox());
    setTabOrder(m_choices->FilterBox(), cancel);
    setTabOrder(cancel, apply);
    m_choices->FormatBox()->setFocus();
    setFixedSize(8 + kGroupWidth + 8, kButtonTop + 25 + 8);
    KeepCentredOnOwner(*this);
}

TextureOutput OutputDialog::Chosen() const {
    return m_choices->Chosen();
}

OutputFields OutputDialog::ChosenFields() const {
    return m_choices->ChosenFields();
}

}  // namespace vc::gui
