// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <vector>

#include "texlist/list_editing.h"
#include "texlist/texture_output.h"

namespace vc::gui {

class OutputChoices;

// The output choices alone, for Change with several textures selected and for the defaults of
// new textures: the choices, and Cancel and Apply (the default button) below them.
class OutputDialog final : public QDialog {
  public:
    // shown: one output, or those of the several textures it changes.
    OutputDialog(const QString& title, const std::vector<TextureOutput>& shown, QWidget* parent);

    // The format, mipmaps and flag word chosen, and which of them are chosen rather than kept.
    TextureOutput Chosen() const;
    OutputFields ChosenFields() const;

  private:
    OutputChoices* m_choices = nullptr;
};

}  // namespace vc::gui
