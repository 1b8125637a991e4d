// SPDX-License-Identifier: GPL-3.0-or-later
#include "preview_pane.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "io/file_names.h"
#include "texlist/entry_texts.h"
#include "texture_picture.h"
#include "texture_previews.h"

namespace vc::gui {

namespace {

enum Scale { kFit = 0, kActualSize = 1, kZoom = 2 };
enum Channels { kOverCheckerboard = 0, kColour = 1, kAlpha = 2 };

constexpr int kLevelGap = 8;
constexpr double kSmallestZoom = 1.0 / 16;
constexpr double kLargestZoom = 32;

// One level as the channels choice shows it.
QImage InChannels(const QImage& level, int channels) {
    switch (channels) {
        case kColour: {
            QImage colour = level.convertToFormat(QImage::Format_RGBA8888);
            for (int y = 0; y < colour.height(); ++y) {
                uchar* row = colour.scanLine(y);
                for (int x = 0; x < colour.width(); ++x) {
                    row[4 * x + 3] = 255;  // the colour as stored, also where the texture is clear
                }
            }
            return colour;
        }
        case kAlpha:
            return AlphaAsGrey(level);
        default:
            return OverCheckerboard(level);
    }
}

// The levels side by side, their tops aligned.
QImage SideBySide(const QList<QImage>& levels) {
    QSize whole(0, 0);
    for (const QImage& level : levels) {
        whole.setWidth(whole.width() + (whole.width() > 0 ? kLevelGap : 0) + level.width());
        whole.setHeight(std::max(whole.height(), level.height()));
    }
    QImage canvas(whole, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    int left = 0;
    for (const QImage& level : levels) {
        painter.drawImage(left, 0, level);
        left += level.width() + kLevelGap;
    }
    return canvas;
}

}  // namespace

// A picture drawn at a zoom only where it shows, so that a large texture zoomed in costs no more
// than the pane it fills; each pixel a square when enlarged.
class ZoomedPicture final : public QWidget {
  public:
    using QWidget::QWidget;

    void Show(QImage picture, double zoom) {
        m_picture = std::move(picture);
        m_zoom = zoom;
        m_text.clear();
        resize(std::max(1, static_cast<int>(std::lround(m_picture.width() * zoom))),
               std::max(1, static_cast<int>(std::lround(m_picture.height() * zoom))));
        update();
    }
    void Say(const QString& text) {
        m_picture = {};
        m_text = text;
        resize(fontMetrics().size(0, text) + QSize(8, 8));
        update();
    }

  protected:
    void paintEvent(QPaintEvent* event) override {
        QPainter painter(this);
        if (m_picture.isNull()) {
            painter.drawText(rect(), Qt::AlignCenter, m_text);
            return;
        }
        painter.setRenderHint(QPainter::SmoothPixmapTransform, m_zoom < 1);
        painter.setClipRect(event->rect());
        painter.scale(m_zoom, m_zoom);
        const QRectF exposed = QRectF(event->rect()).adjusted(-1, -1, 1, 1);
        const QRectF source(exposed.topLeft() / m_zoom, exposed.size() / m_zoom);
        painter.drawImage(source, m_picture, source);
    }

  private:
    QImage m_picture;
    double m_zoom = 1;
    QString m_text;
};

PreviewPane::PreviewPane(TexturePreviews& previews, QWidget* parent) : QWidget(parent), m_previews(previews) {
    setObjectName(QStringLiteral("PreviewPane"));
    m_scale = new QComboBox(this);
    m_scale->setObjectName(QStringLiteral("PreviewScale"));
    m_scale->addItems({QStringLiteral("Fit"), QStringLiteral("1:1"), QStringLiteral("Zoom")});
    m_scale->setToolTip(QStringLiteral("The wheel zooms in and out"));
    m_channels = new QComboBox(this);
    m_channels->setObjectName(QStringLiteral("PreviewChannels"));
    m_channels->addItems(
        {QStringLiteral("Colour over checkerboard"), QStringLiteral("Colour"), QStringLiteral("Alpha")});
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("PreviewScroll"));
    m_scroll->setAlignment(Qt::AlignCenter);
    m_picture = new ZoomedPicture(m_scroll);
    m_picture->setObjectName(QStringLiteral("PreviewPicture"));
    m_scroll->setWidget(m_picture);
    m_scroll->setWidgetResizable(false);
    m_info = new QLabel(this);
    m_info->setObjectName(QStringLiteral("PreviewInfo"));
    m_info->setWordWrap(true);
    m_info->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* choices = new QHBoxLayout;
    choices->addWidget(m_scale);
    choices->addWidget(m_channels, 1);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 0, 0, 0);
    column->addLayout(choices);
    column->addWidget(m_scroll, 1);
    column->addWidget(m_info);

    connect(m_scale, &QComboBox::currentIndexChanged, this, [this](int scale) {
        if (scale == kActualSize) {
            m_zoom = 1;
        }
        Redraw();
    });
    connect(m_channels, &QComboBox::currentIndexChanged, this, &PreviewPane::Redraw);
    connect(&m_previews, &TexturePreviews::Loaded, this, [this](const QString& key) {
        if (m_entry && TexturePreviews::KeyOf(*m_entry) == key) {
            Redraw();
        }
    });
}

void PreviewPane::ShowEntry(const TTexFile* entry) {
    m_entry = entry != nullptr ? std::optional(*entry) : std::nullopt;
    if (isVisible()) {
        Redraw();
    }
}

double PreviewPane::Zoom() const {
    if (m_scale->currentIndex() != kFit || !m_entry) {
        return m_zoom;
    }
    const TexturePreviews::Preview preview = m_previews.Find(*m_entry);
    if (preview.Picture.isNull()) {
        return 1;
    }
    int width = preview.Picture.width();
    for (const QImage& level : preview.Lower) {
        width += kLevelGap + level.width();
    }
    const QSize room = m_scroll->viewport()->size() - QSize(4, 4);
    const double fit = std::min(static_cast<double>(room.width()) / width,
                                static_cast<double>(room.height()) / preview.Picture.height());
    // Enlarged a whole number of times, so that every pixel is a square of one size.
    return fit >= 1 ? std::floor(fit) : std::max(kSmallestZoom, fit);
}

void PreviewPane::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y() / 120;
    if (steps == 0 || !m_entry) {
        return;
    }
    // From what is shown now, a step at a time: each doubles or halves it.
    m_zoom = std::clamp(Zoom() * std::pow(2.0, steps), kSmallestZoom, kLargestZoom);
    const QSignalBlocker quiet(m_scale);
    m_scale->setCurrentIndex(m_zoom == 1 ? kActualSize : kZoom);
    Redraw();
    event->accept();
}

void PreviewPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_scale->currentIndex() == kFit) {
        Redraw();
    }
}

void PreviewPane::Redraw() {
    if (!m_entry) {
        m_picture->Say(QString());
        m_info->clear();
        return;
    }
    const TexturePreviews::Preview preview = m_previews.Find(*m_entry);
    const QString file = QString::fromStdString(std::string(FileNamePart(m_entry->TexPath)));
    const QString format = QString::fromStdString(OutputFormatText(*m_entry));
    if (!preview.Ready || preview.Picture.isNull()) {
        m_picture->Say(preview.Ready ? QStringLiteral("No preview") : QString());
        m_info->setText(format + "\n" + file);
        return;
    }
    // The levels in the channels chosen are made once for each texture and choice; a new zoom
    // only draws them anew.
    const QString shown = TexturePreviews::KeyOf(*m_entry) + '\n' + QString::number(m_channels->currentIndex());
    if (shown != m_shownKey) {
        QList<QImage> levels{InChannels(preview.Picture, m_channels->currentIndex())};
        for (const QImage& level : preview.Lower) {
            levels << InChannels(level, m_channels->currentIndex());
        }
        m_levels = SideBySide(levels);
        m_shownKey = shown;
    }
    m_picture->Show(m_levels, Zoom());
    const qsizetype count = 1 + preview.Lower.size();
    m_info->setText(QString::number(preview.Picture.width()) + " × " + QString::number(preview.Picture.height()) +
                    ", " + format + ", " + QString::number(count) + (count == 1 ? " level" : " levels") + "\n" + file);
}

}  // namespace vc::gui
