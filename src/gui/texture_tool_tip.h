#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

#include "texlist/tex_file.h"

class QWidget;

namespace vc::gui {

class TexturePreviews;

// Shows a widget's tooltip, the selected entry's detail text, with the entry's picture above it:
// alpha over a checkerboard, fitted into 128 × 128 pixels. Until the picture is decoded the text
// shows alone; a tooltip still showing for that entry then gains the picture. An entry whose
// picture cannot be made shows "No preview" above the text.
class TextureToolTip final : public QObject {
  public:
    // selected gives the entry the tooltip describes, or nullptr.
    using SelectedEntry = std::function<const TTexFile*()>;
    TextureToolTip(QWidget& widget, TexturePreviews& previews, SelectedEntry selected);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show(const TTexFile& entry);
    void PictureLoaded(const QString& key);

    QWidget& m_widget;
    TexturePreviews& m_previews;
    SelectedEntry m_selected;
    // What the tooltip showed last, where, and for which entry's images.
    QString m_key;
    QString m_shown;
    QPoint m_position;
};

}  // namespace vc::gui
