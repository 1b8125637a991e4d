// SPDX-License-Identifier: GPL-3.0-or-later
#include "dff_check_window.h"

#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cmath>

#include "anchors.h"
#include "window_placement.h"

namespace vc::gui {

namespace {

constexpr int kItemHeight = 16;
constexpr QSize kDesignedSize(305, 261);
constexpr int kDesignedRows = 8;       // the rows the designed size shows
constexpr int kMostOpeningRows = 25;   // a long list opens showing this many
constexpr int kTitleBarButtons = 120;  // room the window manager takes beside the caption
constexpr int kAlphaColumn = 152;
constexpr int kGap = 4;  // blank space between a cut texture name and the alpha name

// WCAG's relative luminance of a colour.
double Luminance(const QColor& colour) {
    const auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.redF()) + 0.7152 * linear(colour.greenF()) + 0.0722 * linear(colour.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a);
    const double lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The result's colour, darkened on a light background or lightened on a dark one until its text
// has the contrast WCAG asks of normal text.
QColor ColourFor(ResultColour result, const QColor& background) {
    constexpr double kReadable = 4.5;
    const Rgb rgb = ColourOf(result);
    QColor colour(rgb.Red, rgb.Green, rgb.Blue);
    const bool darken = Luminance(background) > 0.5;
    for (int step = 0; step < 20 && Contrast(colour, background) < kReadable; ++step) {
        colour = darken ? colour.darker(110) : colour.lighter(115);
    }
    return colour;
}

// lbxDrawItem: draws a row as two columns, the texture name and the alpha name at its column, each
// green when present and red when missing.
class DffRowDelegate final : public QStyledItemDelegate {
  public:
    DffRowDelegate(const std::vector<TDFFTex>& textures, QObject* parent)
        : QStyledItemDelegate(parent), m_textures(textures) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const bool selected = option.state & QStyle::State_Selected;
        painter->fillRect(option.rect, selected ? option.palette.highlight() : option.palette.base());
        const TDFFTex& texture = m_textures[static_cast<size_t>(index.row())];
        // Found or missing is told by a mark too, not by the colour alone.
        const auto shown = [&](bool found, const std::string& name) {
            return (found ? QStringLiteral("\u2713 ") : QStringLiteral("\u2717 ")) + QString::fromStdString(name);
        };
        const QColor base = option.palette.color(QPalette::Base);
        const auto colourOf = [&](bool found) {
            return ColourFor(found ? ResultColour::Green : ResultColour::Red, base);
        };
        const QRect rect = option.rect;
        // A long texture name is cut where the alpha name begins, and the alpha name at the row's end.
        const QRect texColumn =
            texture.HasAlpha
                ? rect.adjusted(2, 0, 0, 0)
                      .intersected(QRect(rect.left() + 2, rect.top(), kAlphaColumn - 2 - kGap, rect.height()))
                : rect.adjusted(2, 0, 0, 0);
        painter->save();
        painter->setPen(colourOf(texture.TexFound));
        painter->setClipRect(texColumn);
        painter->drawText(texColumn, Qt::AlignLeft | Qt::AlignVCenter, shown(texture.TexFound, texture.TexName));
        if (texture.HasAlpha) {
            const QRect alphaColumn = rect.adjusted(kAlphaColumn, 0, 0, 0);
            painter->setPen(colourOf(texture.AlphaFound));
            painter->setClipRect(alphaColumn);
            painter->drawText(alphaColumn, Qt::AlignLeft | Qt::AlignVCenter,
                              shown(texture.AlphaFound, texture.AlphaName));
        }
        painter->restore();
    }
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
        return {option.rect.width(), kItemHeight};
    }

  private:
    const std::vector<TDFFTex>& m_textures;
};

QLabel* CreateLabel(QWidget* parent, const char* name, const QString& text, int left, int top, bool bold) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    label->adjustSize();
    return label;
}

}  // namespace

QSize TForm3::OpeningSize() const {
    // Wide enough for the caption, which names the model; tall enough for a longer list; never
    // larger than most of the screen.
    const QRect screen = this->screen()->availableGeometry();
    const int captionWidth = fontMetrics().horizontalAdvance(windowTitle()) + kTitleBarButtons;
    const int rows = std::min(static_cast<int>(m_result.DFFTexList.size()), kMostOpeningRows);
    const QSize wanted(std::max(kDesignedSize.width(), captionWidth),
                       kDesignedSize.height() + std::max(0, rows - kDesignedRows) * kItemHeight);
    return wanted.boundedTo(screen.size() * 9 / 10).expandedTo(kDesignedSize);
}

TForm3::TForm3(DffCheckResult result, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint), m_result(std::move(result)) {
    KeepCentredOnOwner(*this);
    setObjectName(QStringLiteral("TForm3"));
    if (parent != nullptr) {
        setFont(parent->font());
    }
    resize(kDesignedSize);
    setMinimumSize(kDesignedSize);
    setWindowTitle(QString::fromStdString(m_result.Caption));

    QLabel* intro = CreateLabel(this, "Label4",
                                "The list below shows all textures used by the selected dff model file. Those marked "
                                "red are still missing in your TXD texture list.",
                                8, 8, false);
    intro->setWordWrap(true);
    intro->setGeometry(8, 8, 289, 41);
    CreateLabel(this, "Label3", "Result:", 8, 56, false);
    lblResult = CreateLabel(this, "lblResult", QString::fromStdString(m_result.Summary.Text), 48, 56, true);
    QPalette palette = lblResult->palette();
    palette.setColor(QPalette::WindowText, ColourFor(m_result.Summary.Colour, palette.color(QPalette::Window)));
    lblResult->setPalette(palette);
    CreateLabel(this, "Label1", "Texture Name:", 3, 80, true);
    CreateLabel(this, "Label2", "Alpha Name:", 156, 80, true);

    lbx = new QListWidget(this);
    lbx->setObjectName(QStringLiteral("lbx"));
    lbx->setGeometry(0, 96, 305, 129);
    lbx->setUniformItemSizes(true);
    // Rows are cut at the list's width: there is nothing to scroll to.
    lbx->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    lbx->setItemDelegate(new DffRowDelegate(m_result.DFFTexList, lbx));
    for (const TDFFTex& texture : m_result.DFFTexList) {
        lbx->addItem(QString::fromStdString(ItemText(texture)));
    }

    Button2 = new QPushButton(QStringLiteral("&Close"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(40, 232, 89, 25);
    Button2->setToolTip(QStringLiteral("Close this window"));
    Button2->setDefault(true);
    Button1 = new QPushButton(QStringLiteral("&Add Textures"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(176, 232, 89, 25);
    Button1->setToolTip(QStringLiteral("Close window and add texture(s) to list"));
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    lbx->setFocus();

    auto* anchors = new Anchors(*this);
    anchors->Anchor(intro, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge);
    anchors->Anchor(lbx, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    anchors->Anchor(Button2, Qt::LeftEdge | Qt::BottomEdge);
    anchors->Anchor(Button1, Qt::RightEdge | Qt::BottomEdge);
    resize(OpeningSize());
}

}  // namespace vc::gui
