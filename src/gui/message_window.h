// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QStringList>

class QDialogButtonBox;
class QPushButton;

#include "prompts.h"

namespace vc::gui {

// The program's message box: caption, the icon of its kind, the text and an OK button (Yes and No
// for a question, accepted by Yes), centred on its owner. Unlike Qt's box, whose height follows its text, a text too
// large for the screen scrolls inside the box, so that the box fits the screen and OK stays within reach; the text
// itself is shown whole.
class MessageWindow final : public QDialog {
  public:
    // What exec() gives for the first of a question's own answers; Rejected (0) when it is closed.
    static constexpr int kFirstAnswer = 2;

    MessageWindow(MessageKind kind, const QString& caption, const QString& text, QWidget* parent);
    // A question with answers of its own, a button each in order, the one numbered preset preset.
    MessageWindow(const QString& caption, const QString& text, const QStringList& answers, int preset, QWidget* parent);

  private:
    void Lay(MessageKind kind, const QString& text, QDialogButtonBox* buttons, QPushButton* preset);
};

}  // namespace vc::gui
