// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

#include <vector>

#include "texlist/list_editing.h"
#include "texlist/texture_output.h"

class QCheckBox;
class QComboBox;
class QGroupBox;

namespace vc::gui {

// The three choices of how a texture is written, in a group box of the dialog that offers them:
// its format ("As image" for none), mipmaps, and filter ("As set in Options" for no flag word of its
// own).
class OutputChoices final : public QObject {
    Q_OBJECT

  public:
    // Lays the choices out in the group, on one line below its caption.
    explicit OutputChoices(QGroupBox* group);

    // Shows the output's format, mipmaps and flag word; a flag word no choice gives becomes a choice
    // of its own, which stays while no other is chosen.
    void Show(const TextureOutput& output);
    // The same for several textures: where they differ, a choice offers to keep what each has.
    void Show(const std::vector<TextureOutput>& outputs);
    // The format, mipmaps and flag word chosen; the other fields are left empty.
    TextureOutput Chosen() const;
    // Which of them are chosen rather than kept as each texture has them.
    OutputFields ChosenFields() const;

    QComboBox* FormatBox() const { return m_format; }
    QCheckBox* MipmapsBox() const { return m_mipmaps; }
    QComboBox* FilterBox() const { return m_filter; }

  signals:
    void Changed();

  private:
    QComboBox* m_format = nullptr;
    QCheckBox* m_mipmaps = nullptr;
    QComboBox* m_filter = nullptr;
};

}  // namespace vc::gui
