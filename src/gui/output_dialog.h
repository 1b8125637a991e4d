#pragma once

#include <QDialog>

#include "texlist/texture_output.h"

namespace vc::gui {

class OutputChoices;

// The output choices alone, for Change with several textures selected and for the defaults of
// new textures: the choices, and Cancel and Apply (the default button) below them.
class OutputDialog final : public QDialog {
  public:
    OutputDialog(const QString& title, const TextureOutput& shown, QWidget* parent);

    // The format, mipmaps and flag word chosen.
    TextureOutput Chosen() const;

  private:
    OutputChoices* m_choices = nullptr;
};

}  // namespace vc::gui
