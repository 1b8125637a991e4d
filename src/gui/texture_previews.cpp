#include "texture_previews.h"

#include <QDateTime>
#include <QFileInfo>
#include <exception>

#include "ops/texture_preview.h"
#include "texture_picture.h"

namespace vc::gui {

namespace {

// About 64 KiB each at most: the cache stays within a few megabytes however long the list is.
constexpr int kKeptPictures = 256;

QString FileKey(const std::string& path) {
    const QString name = QString::fromStdString(path);
    return name + '|' + QString::number(QFileInfo(name).lastModified().toMSecsSinceEpoch());
}

// Never throws: a picture that cannot be made is simply not shown.
QImage PictureOf(const TTexFile& entry) {
    try {
        const std::optional<DecodedTexture> texture = PreviewTexture(entry);
        const int side = TexturePreviews::kPreviewSide;
        return texture ? FittedPicture(*texture, QSize(side, side)) : QImage();
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace

TexturePreviews::TexturePreviews(QObject* parent) : QObject(parent), m_pictures(kKeptPictures), m_pool(this) {
    // One picture at a time: a big image's buffers are not multiplied, and the other cores stay free.
    m_pool.setMaxThreadCount(1);
}

TexturePreviews::~TexturePreviews() {
    m_pool.clear();
    m_pool.waitForDone();
}

QString TexturePreviews::KeyOf(const TTexFile& entry) {
    QString key = entry.HasAlpha ? FileKey(entry.TexPath) + '\n' + FileKey(entry.AlphaPath) : FileKey(entry.TexPath);
    if (entry.Output.Format) {
        key += '\n' + QString::fromStdString(OutputFormatName(entry.Output.Format));
    }
    return key;
}

TexturePreviews::Preview TexturePreviews::Find(const TTexFile& entry) {
    const QString key = KeyOf(entry);
    if (const QImage* picture = m_pictures.object(key)) {
        return {true, *picture};
    }
    if (!m_loading.contains(key)) {
        m_loading.insert(key);
        TTexFile images;
        images.TexPath = entry.TexPath;
        images.AlphaPath = entry.AlphaPath;
        images.HasAlpha = entry.HasAlpha;
        images.Output.Format = entry.Output.Format;
        m_pool.start([this, key, images] {
            const QImage picture = PictureOf(images);
            // The destructor waits for this task, so this object is still there to keep the picture,
            // which it does on the window's thread.
            QMetaObject::invokeMethod(
                this, [this, key, picture] { Keep(key, picture); }, Qt::QueuedConnection);
        });
    }
    return {};
}

void TexturePreviews::Keep(const QString& key, const QImage& picture) {
    m_loading.remove(key);
    m_pictures.insert(key, new QImage(picture));
    emit Loaded(key);
}

}  // namespace vc::gui
