// SPDX-License-Identifier: GPL-3.0-or-later
#include "texture_previews.h"

#include <QDateTime>
#include <QFileInfo>
#include <algorithm>
#include <exception>

#include "ops/texture_preview.h"
#include "program_cores.h"
#include "texture_picture.h"

namespace vc::gui {

namespace {

// The pictures kept, in units of 64 KiB (a fitted picture at most): 64 MiB in all, however long
// the list is.
constexpr int kKeptUnits = 1024;
constexpr qsizetype kUnitBytes = 64 * 1024;

QString FileKey(const std::string& path) {
    const QString name = QString::fromStdString(path);
    return name + '|' + QString::number(QFileInfo(name).lastModified().toMSecsSinceEpoch());
}

// Whole and not premultiplied, so that the colour of transparent pixels can still be shown.
QImage ImageOf(const DecodedTexture& texture) {
    return QImage(texture.Rgba.data(), texture.Width, texture.Height, 4 * texture.Width, QImage::Format_RGBA8888)
        .copy();
}

// Never throws: a picture that cannot be made is simply not shown.
TexturePreviews::Preview PreviewOf(const TTexFile& entry, TexturePreviews::Size size) {
    TexturePreviews::Preview preview{.Ready = true};
    try {
        const bool whole = size == TexturePreviews::Size::WholeWithLevels;
        const std::vector<DecodedTexture> levels =
            PreviewLevels(entry, whole ? PreviewDepth::AllLevels : PreviewDepth::Picture);
        if (levels.empty()) {
            return preview;
        }
        const int side = TexturePreviews::kPreviewSide;
        preview.Picture = whole ? ImageOf(levels.front()) : FittedPicture(levels.front(), QSize(side, side));
        for (size_t level = 1; level < levels.size(); ++level) {
            preview.Lower << ImageOf(levels[level]);
        }
    } catch (const std::exception&) {
        preview = {.Ready = true};
    }
    return preview;
}

int CostOf(const TexturePreviews::Preview& preview) {
    qsizetype bytes = preview.Picture.sizeInBytes();
    for (const QImage& level : preview.Lower) {
        bytes += level.sizeInBytes();
    }
    return static_cast<int>(std::max<qsizetype>(1, bytes / kUnitBytes));
}

}  // namespace

TexturePreviews::TexturePreviews(Size size, QObject* parent)
    : QObject(parent), m_size(size), m_pictures(kKeptUnits), m_pool(this) {
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
    if (entry.Output.Mipmaps) {
        key += QStringLiteral(" with levels");
    }
    if (entry.Output.AlphaFlag == false) {
        key += QStringLiteral(" without alpha");
    }
    return key;
}

TexturePreviews::Preview TexturePreviews::Find(const TTexFile& entry) {
    const QString key = KeyOf(entry);
    if (const Preview* preview = m_pictures.object(key)) {
        return *preview;
    }
    if (!m_loading.contains(key)) {
        m_loading.insert(key);
        TTexFile images;
        images.TexPath = entry.TexPath;
        images.AlphaPath = entry.AlphaPath;
        images.HasAlpha = entry.HasAlpha;
        images.Output.Format = entry.Output.Format;
        images.Output.Mipmaps = entry.Output.Mipmaps;
        images.Output.AlphaFlag = entry.Output.AlphaFlag;
        m_pool.start([this, key, images, size = m_size] {
            const Preview preview = [&] {
                const CoreShare::Held core(&ProgramCores());
                return PreviewOf(images, size);
            }();
            // The destructor waits for this task, so this object is still there to keep the picture,
            // which it does on the window's thread.
            QMetaObject::invokeMethod(
                this, [this, key, preview] { Keep(key, preview); }, Qt::QueuedConnection);
        });
    }
    return {};
}

void TexturePreviews::Keep(const QString& key, const Preview& preview) {
    m_loading.remove(key);
    m_pictures.insert(key, new Preview(preview), CostOf(preview));
    emit Loaded(key);
}

}  // namespace vc::gui
