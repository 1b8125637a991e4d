#include "texture_tool_tip.h"

#include <QBuffer>
#include <QHelpEvent>
#include <QToolTip>
#include <QWidget>

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

// The detail text keeps its lines and spaces as the plain tooltip shows them.
QString RichText(const TexturePreviews::Preview& preview, const QString& detail) {
    const QString top = preview.Picture.isNull() ? QStringLiteral("<i>No preview</i>") : ImageTag(preview.Picture);
    return "<p style=\"margin:0\">" + top + "</p><p style=\"margin:4px 0 0 0; white-space:pre\">" +
           detail.toHtmlEscaped() + "</p>";
}

}  // namespace

TextureToolTip::TextureToolTip(QWidget& widget, TexturePreviews& previews, SelectedEntry selected)
    : QObject(&widget), m_widget(widget), m_previews(previews), m_selected(std::move(selected)) {
    widget.installEventFilter(this);
    connect(&previews, &TexturePreviews::Loaded, this, &TextureToolTip::PictureLoaded);
}

bool TextureToolTip::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_widget || event->type() != QEvent::ToolTip) {
        return false;
    }
    const TTexFile* entry = m_selected();
    if (entry == nullptr || m_widget.toolTip().isEmpty()) {
        return false;  // the widget's own handling: nothing to show
    }
    m_position = static_cast<QHelpEvent*>(event)->globalPos();
    Show(*entry);
    return true;
}

void TextureToolTip::Show(const TTexFile& entry) {
    const TexturePreviews::Preview preview = m_previews.Find(entry);
    m_key = TexturePreviews::KeyOf(entry);
    m_shown = preview.Ready ? RichText(preview, m_widget.toolTip()) : m_widget.toolTip();
    QToolTip::showText(m_position, m_shown, &m_widget);
}

void TextureToolTip::PictureLoaded(const QString& key) {
    if (key != m_key || !QToolTip::isVisible() || QToolTip::text() != m_shown) {
        return;
    }
    if (const TTexFile* entry = m_selected(); entry != nullptr && TexturePreviews::KeyOf(*entry) == key) {
        Show(*entry);
    }
}

}  // namespace vc::gui
