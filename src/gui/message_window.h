#pragma once

#include <QDialog>

#include "prompts.h"

namespace vc::gui {

// The program's message box: caption, the icon of its kind, the text and an OK button (Yes and No
// for a question, accepted by Yes), centred on its owner. Unlike Qt's box, whose height follows its text, a text too
// large for the screen scrolls inside the box, so that the box fits the screen and OK stays within reach; the text
// itself is shown whole.
class MessageWindow final : public QDialog {
  public:
    MessageWindow(MessageKind kind, const QString& caption, const QString& text, QWidget* parent);
};

}  // namespace vc::gui
