// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <optional>

#include "texlist/tex_file.h"

class QComboBox;
class QLabel;
class QScrollArea;

namespace vc::gui {
class ZoomedPicture;
}

namespace vc::gui {

class TexturePreviews;

// The current texture large, as the dictionary will hold it in its output format: fitted to the
// pane, at 1:1 or zoomed with the wheel (each pixel a square when enlarged, so that pixel art stays
// sharp), as colour over a checkerboard, colour alone or alpha alone; its mipmap levels side by
// side when it has them; its size, format, levels and file below.
class PreviewPane final : public QWidget {
    Q_OBJECT

  public:
    // previews decodes whole pictures with their levels.
    PreviewPane(TexturePreviews& previews, QWidget* parent);

    // The entry to show, or none.
    void ShowEntry(const TTexFile* entry);
    // The zoom the picture is shown at: 1 for 1:1.
    double Zoom() const;

  protected:
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    void Redraw();

    TexturePreviews& m_previews;
    std::optional<TTexFile> m_entry;
    QComboBox* m_scale = nullptr;
    QComboBox* m_channels = nullptr;
    QScrollArea* m_scroll = nullptr;
    ZoomedPicture* m_picture = nullptr;
    QImage m_levels;     // in the channels chosen, side by side, at 1:1
    QString m_shownKey;  // of the texture and channels m_levels shows
    QLabel* m_info = nullptr;
    double m_zoom = 1;  // while the scale box says "Zoom"
};

}  // namespace vc::gui
