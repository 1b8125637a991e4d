// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCache>
#include <QImage>
#include <QList>
#include <QObject>
#include <QSet>
#include <QString>
#include <QThreadPool>

#include "texlist/tex_file.h"

namespace vc::gui {

// Pictures of textures as the dictionary will hold them: fitted into kPreviewSide × kPreviewSide
// pixels for tooltips and dialogs, or whole with their levels for the preview pane. They are
// decoded off the window's thread, one at a time, each with an intake of its own, and kept by their
// images' paths and modification times, so that an image saved again is read again, and by the
// output format and mipmaps, which change the pictures. A big image in a long list never holds up
// the window.
class TexturePreviews final : public QObject {
    Q_OBJECT

  public:
    static constexpr int kPreviewSide = 128;

    enum class Size { Fitted, WholeWithLevels };

    explicit TexturePreviews(Size size, QObject* parent = nullptr);
    // Waits for the picture being decoded, if any; pictures not yet started are dropped.
    ~TexturePreviews() override;

    struct Preview {
        bool Ready = false;
        QImage Picture;       // with its alpha, premultiplied; null when there is nothing to show
        QList<QImage> Lower;  // the levels below it, with WholeWithLevels
    };
    // The entry's picture when it is ready. Otherwise its decoding is started (once) and Loaded
    // tells when it is ready. Only the paths, HasAlpha and the output format of the entry count.
    Preview Find(const TTexFile& entry);
    // The name under which an entry's picture is kept.
    static QString KeyOf(const TTexFile& entry);

  signals:
    void Loaded(const QString& key);

  private:
    void Keep(const QString& key, const Preview& preview);

    Size m_size;
    QCache<QString, Preview> m_pictures;
    QSet<QString> m_loading;
    QThreadPool m_pool;
};

}  // namespace vc::gui
