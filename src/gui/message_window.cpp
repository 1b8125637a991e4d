// SPDX-License-Identifier: GPL-3.0-or-later
#include "message_window.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include "window_placement.h"

namespace vc::gui {

namespace {

// Room kept free on the screen for the box's frame and title bar, which the window system adds.
constexpr int kFrameAllowance = 48;

QLabel* CreateIcon(MessageKind kind, QWidget* parent) {
    QStyle::StandardPixmap icon = QStyle::SP_MessageBoxInformation;
    switch (kind) {
        case MessageKind::Plain:
            return nullptr;
        case MessageKind::Information:
            icon = QStyle::SP_MessageBoxInformation;
            break;
        case MessageKind::Warning:
            icon = QStyle::SP_MessageBoxWarning;
            break;
        case MessageKind::Error:
            icon = QStyle::SP_MessageBoxCritical;
            break;
        case MessageKind::Question:
            icon = QStyle::SP_MessageBoxQuestion;
            break;
    }
    const int side = parent->style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, parent);
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("icon"));
    label->setPixmap(parent->style()->standardIcon(icon, nullptr, parent).pixmap(side, side));
    label->setAlignment(Qt::AlignTop);
    return label;
}

}  // namespace

MessageWindow::MessageWindow(MessageKind kind, const QString& caption, const QString& text, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    const bool question = kind == MessageKind::Question;
    auto* buttons =
        new QDialogButtonBox(question ? QDialogButtonBox::Yes | QDialogButtonBox::No : QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // A question changes something the user has: Enter alone answers No.
    Lay(kind, text, buttons, buttons->button(question ? QDialogButtonBox::No : QDialogButtonBox::Ok));
}

MessageWindow::MessageWindow(const QString& caption, const QString& text, const QStringList& answers, int preset,
                             QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(caption);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* presetButton = nullptr;
    for (int i = 0; i < answers.size(); ++i) {
        QPushButton* button = buttons->addButton(answers[i], QDialogButtonBox::ActionRole);
        connect(button, &QPushButton::clicked, this, [this, i] { done(kFirstAnswer + i); });
        if (i == preset) {
            presetButton = button;
        }
    }
    Lay(MessageKind::Question, text, buttons, presetButton);
}

void MessageWindow::Lay(MessageKind kind, const QString& text, QDialogButtonBox* buttons, QPushButton* preset) {
    auto* message = new QLabel(text, this);
    message->setObjectName(QStringLiteral("text"));
    message->setTextFormat(Qt::PlainText);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    message->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    buttons->setCenterButtons(true);

    auto* row = new QHBoxLayout;
    row->setSpacing(style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing) * 2);
    if (QLabel* icon = CreateIcon(kind, this)) {
        row->addWidget(icon, 0, Qt::AlignTop);
    }
    row->addWidget(message, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row, 1);
    column->addWidget(buttons);
    column->setSizeConstraint(QLayout::SetFixedSize);

    const QScreen* screen = parentWidget() != nullptr ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen->availableGeometry().size() - QSize(kFrameAllowance, kFrameAllowance);
    const QSize whole = sizeHint();
    if (whole.height() > room.height() || whole.width() > room.width()) {
        auto* scroll = new QScrollArea(this);
        scroll->setObjectName(QStringLiteral("scroll"));
        scroll->setFrameShape(QFrame::NoFrame);
        delete row->replaceWidget(message, scroll);  // the layout item of the text, now inside the scroll area
        scroll->setWidget(message);
        const int bar = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
        const QSize shown = message->sizeHint();
        const QSize others = whole - shown;
        scroll->setFixedSize(std::min(shown.width() + bar, room.width() - others.width()),
                             std::min(shown.height() + bar, room.height() - others.height()));
    }
    if (preset != nullptr) {
        preset->setDefault(true);
        preset->setFocus();
    }
    KeepCentredOnOwner(*this);
}

}  // namespace vc::gui
