// SPDX-License-Identifier: GPL-3.0-or-later
#include "texture_tool_tip.h"

#include <QBuffer>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

#include "texlist/entry_texts.h"
#include "texture_picture.h"
#include "texture_previews.h"

namespace vc::gui {

namespace {

// The picture as an image the tooltip's rich text carries itself.
QString ImageTag(const QImage& picture) {
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    OverCheckerboard(picture).save(&buffer, "PNG");
    return QStringLiteral("<img src=\"data:image/png;base64,%1\" width=\"%2\" height=\"%3\">")
        .arg(QString::fromLatin1(png.toBase64()))
        .arg(picture.width())
        .arg(picture.height());
}

// The picture's paragraph above the text: the picture, or "No preview" when it cannot be made.
QString PictureParagraph(const TexturePreviews::Preview& preview) {
    const QSize frame(TexturePreviews::kPreviewSide, TexturePreviews::kPreviewSide);
    const QString top =
        preview.Picture.isNull() ? QStringLiteral("<i>No preview</i>") : ImageTag(ShownPicture(preview.Picture, frame));
    return "<p style=\"margin:0\">" + top + "</p>";
}

// The detail text keeps its lines and spaces as the plain tooltip shows them; findings, long
// sentences, wrap.
QString RichText(const QString& picture, const QString& detail, const QString& findings) {
    QString text = picture + "<p style=\"margin:4px 0 0 0; white-space:pre\">" + detail.toHtmlEscaped() + "</p>";
    for (const QString& line : findings.split('\n', Qt::SkipEmptyParts)) {
        text += "<p style=\"margin:4px 0 0 0\">" + line.toHtmlEscaped() + "</p>";
    }
    return text;
}

}  // namespace

TextureToolTip::TextureToolTip(QWidget& widget, TexturePreviews& previews, EntryAt entryAt)
    : QObject(&widget), m_widget(widget), m_previews(previews), m_entryAt(std::move(entryAt)) {
    widget.installEventFilter(this);
    connect(&previews, &TexturePreviews::Loaded, this, &TextureToolTip::PictureLoaded);
}

bool TextureToolTip::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_widget || event->type() != QEvent::ToolTip) {
        return false;
    }
    m_position = static_cast<QHelpEvent*>(event)->pos();
    if (m_entryAt(m_position).Entry == nullptr) {
        return false;  // the widget's own handling: nothing to show
    }
    Show();
    return true;
}

void TextureToolTip::Show() {
    const Shown shown = m_entryAt(m_position);
    if (shown.Entry == nullptr) {
        return;
    }
    const QString detail = QString::fromStdString(DetailText(*shown.Entry, shown.Row)).replace("\r\n", "\n");
    const TexturePreviews::Preview preview = m_previews.Find(*shown.Entry);
    m_key = TexturePreviews::KeyOf(*shown.Entry);
    if (preview.Ready || !shown.Findings.isEmpty()) {
        m_shown = RichText(preview.Ready ? PictureParagraph(preview) : QString(), detail, shown.Findings);
    } else {
        m_shown = detail;
    }
    QToolTip::showText(m_widget.mapToGlobal(m_position), m_shown, &m_widget);
}

void TextureToolTip::PictureLoaded(const QString& key) {
    if (key != m_key || !QToolTip::isVisible() || QToolTip::text() != m_shown) {
        return;
    }
    if (const Shown shown = m_entryAt(m_position);
        shown.Entry != nullptr && TexturePreviews::KeyOf(*shown.Entry) == key) {
        Show();
    }
}

}  // namespace vc::gui
