#include "preview_pane.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
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

// The levels side by side at a zoom, their tops aligned; each pixel a square when enlarged.
QImage SideBySide(const QList<QImage>& levels, double zoom) {
    const auto scaled = [zoom](const QImage& level) {
        const QSize size(std::max(1, static_cast<int>(std::lround(level.width() * zoom))),
                         std::max(1, static_cast<int>(std::lround(level.height() * zoom))));
        return level.scaled(size, Qt::IgnoreAspectRatio, zoom >= 1 ? Qt::FastTransformation : Qt::SmoothTransformation);
    };
    QList<QImage> shown;
    QSize whole(0, 0);
    for (const QImage& level : levels) {
        shown << scaled(level);
        whole.setWidth(whole.width() + shown.back().width() + (shown.size() > 1 ? kLevelGap : 0));
        whole.setHeight(std::max(whole.height(), shown.back().height()));
    }
    QImage canvas(whole, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    int left = 0;
    for (const QImage& level : shown) {
        painter.drawImage(left, 0, level);
        left += level.width() + kLevelGap;
    }
    return canvas;
}

}  // namespace

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
    m_picture = new QLabel(m_scroll);
    m_picture->setObjectName(QStringLiteral("PreviewPicture"));
    m_picture->setAlignment(Qt::AlignCenter);
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
        m_picture->clear();
        m_picture->adjustSize();
        m_info->clear();
        return;
    }
    const TexturePreviews::Preview preview = m_previews.Find(*m_entry);
    const QString file = QString::fromStdString(std::string(FileNamePart(m_entry->TexPath)));
    const QString format = QString::fromStdString(OutputFormatText(*m_entry));
    if (!preview.Ready || preview.Picture.isNull()) {
        m_picture->setText(preview.Ready ? QStringLiteral("No preview") : QString());
        m_picture->adjustSize();
        m_info->setText(format + "\n" + file);
        return;
    }
    QList<QImage> levels{InChannels(preview.Picture, m_channels->currentIndex())};
    for (const QImage& level : preview.Lower) {
        levels << InChannels(level, m_channels->currentIndex());
    }
    m_picture->setPixmap(QPixmap::fromImage(SideBySide(levels, Zoom())));
    m_picture->adjustSize();
    const qsizetype count = levels.size();
    m_info->setText(QString::number(preview.Picture.width()) + " × " + QString::number(preview.Picture.height()) +
                    ", " + format + ", " + QString::number(count) + (count == 1 ? " level" : " levels") + "\n" + file);
}

}  // namespace vc::gui
