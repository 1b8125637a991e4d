// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QPoint>
#include <QString>
#include <functional>

#include "texlist/tex_file.h"

class QWidget;

namespace vc::gui {

class TexturePreviews;

// Shows the tooltip of a table of entries: the detail text of the entry under the pointer (the
// selected one where the pointer rests on no row) with the entry's picture above it, alpha over a
// checkerboard, fitted into 128 × 128 pixels. Until the picture is decoded the text shows alone; a
// tooltip still showing for that entry then gains the picture. An entry whose picture cannot be
// made shows "No preview" above the text. Findings on the entry follow the text.
class TextureToolTip final : public QObject {
  public:
    struct Shown {
        const TTexFile* Entry = nullptr;
        size_t Row = 0;    // counted from 1
        QString Findings;  // what the game will not take, below the details
    };
    // The entry to describe for a pointer at a position in the widget; no entry for none.
    using EntryAt = std::function<Shown(QPoint position)>;
    TextureToolTip(QWidget& widget, TexturePreviews& previews, EntryAt entryAt);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void Show();
    void PictureLoaded(const QString& key);

    QWidget& m_widget;
    TexturePreviews& m_previews;
    EntryAt m_entryAt;
    // What the tooltip showed last, where, and for which entry's images.
    QString m_key;
    QString m_shown;
    QPoint m_position;  // in the widget
};

}  // namespace vc::gui
