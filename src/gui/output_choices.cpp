// SPDX-License-Identifier: GPL-3.0-or-later
#include "output_choices.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QStringList>
#include <algorithm>
#include <array>

#include "rw/txd_format.h"

namespace vc::gui {

namespace {

const QString kGlobalFilter = QStringLiteral("As set in Options");
const QString kKeepEach = QStringLiteral("Keep each");
// The data of the choices that name no format or flag word.
constexpr int kAsImage = -1;
constexpr int kGlobal = -2;
constexpr int kKeep = -3;  // several textures keep what each has

// The filters a texture may choose for itself, each wrapping both ways.
struct FilterChoice {
    const char* Caption;
    TextureFilter Filter;
};
constexpr std::array<FilterChoice, 6> kFilterChoices = {{
    {"Nearest", TextureFilter::Nearest},
    {"Linear", TextureFilter::Linear},
    {"Mip nearest", TextureFilter::MipNearest},
    {"Mip linear", TextureFilter::MipLinear},
    {"Linear mip nearest", TextureFilter::LinearMipNearest},
    {"Trilinear", TextureFilter::LinearMipLinear},
}};

QString FlagText(uint32_t flag) {
    return QString::fromStdString(WordText(flag));
}

QString FilterCaption(uint32_t flag) {
    const auto choice = std::find_if(kFilterChoices.begin(), kFilterChoices.end(), [&](const FilterChoice& c) {
        return static_cast<uint32_t>(c.Filter) == (flag & 0xFF);
    });
    return choice != kFilterChoices.end() ? QString::fromLatin1(choice->Caption).toLower() : FlagText(flag);
}

// Which filter a mipmapped texture gets from each flag word of the Options menu.
QString FilterHelp() {
    QStringList forms;
    for (const uint32_t flag : kTextureFlags) {
        forms << FlagText(flag) + " as " + FlagText(MipmapFlag(flag)) + " (" + FilterCaption(MipmapFlag(flag)) + ")";
    }
    return kGlobalFilter + ": the flag word chosen in the Options menu. A texture with mipmaps gets its mipmap form: " +
           forms.join(", ") + ".\nThe other choices set their filter with wrap addressing both ways.";
}

QComboBox* CreateChoice(QGroupBox* group, const QString& caption, int left, int width) {
    auto* label = new QLabel(caption, group);
    label->move(left, 17);
    label->adjustSize();
    auto* choice = new QComboBox(group);
    choice->setGeometry(left, 32, width, 22);
    label->setBuddy(choice);
    return choice;
}

}  // namespace

OutputChoices::OutputChoices(QGroupBox* group) : QObject(group) {
    m_format = CreateChoice(group, QStringLiteral("&Format:"), 8, 90);
    m_format->setObjectName(QStringLiteral("cbxFormat"));
    m_format->addItem(QStringLiteral("As image"), kAsImage);
    for (size_t i = 0; i < OutputFormats().size(); ++i) {
        m_format->addItem(QString::fromStdString(OutputFormatName(OutputFormats()[i])), static_cast<int>(i));
    }
    m_format->setToolTip(
        QStringLiteral("As image: 8-bit images stay paletted, others become 8888 with alpha or 888 without,\n"
                       "and DDS files keep their own format."));
    m_mipmaps = new QCheckBox(QStringLiteral("&Mipmaps"), group);
    m_mipmaps->setObjectName(QStringLiteral("cbxMipmaps"));
    m_mipmaps->setGeometry(106, 34, 72, 17);
    m_mipmaps->setToolTip(QStringLiteral("A full chain of smaller levels down to 1 × 1"));
    m_filter = CreateChoice(group, QStringLiteral("F&ilter:"), 184, 138);
    m_filter->setObjectName(QStringLiteral("cbxFilter"));
    m_filter->addItem(kGlobalFilter, kGlobal);
    for (const FilterChoice& choice : kFilterChoices) {
        m_filter->addItem(QString::fromLatin1(choice.Caption),
                          FilterAddressing(choice.Filter, TextureAddressing::Wrap, TextureAddressing::Wrap));
    }
    m_filter->setToolTip(FilterHelp());
    connect(m_format, &QComboBox::currentIndexChanged, this, &OutputChoices::Changed);
    connect(m_mipmaps, &QCheckBox::toggled, this, &OutputChoices::Changed);
    connect(m_filter, &QComboBox::currentIndexChanged, this, &OutputChoices::Changed);
}

void OutputChoices::Show(const TextureOutput& output) {
    Show(std::vector<TextureOutput>{output});
}

void OutputChoices::Show(const std::vector<TextureOutput>& outputs) {
    const TextureOutput& first = outputs.front();
    const auto same = [&](auto field) {
        return std::all_of(outputs.begin(), outputs.end(),
                           [&](const TextureOutput& o) { return o.*field == first.*field; });
    };
    if (same(&TextureOutput::Format)) {
        const std::vector<TextureFormat>& formats = OutputFormats();
        const auto listed = std::find(formats.begin(), formats.end(), first.Format);
        m_format->setCurrentIndex(
            m_format->findData(listed != formats.end() ? static_cast<int>(listed - formats.begin()) : kAsImage));
    } else {
        m_format->insertItem(0, kKeepEach, kKeep);
        m_format->setCurrentIndex(0);
    }
    if (same(&TextureOutput::Mipmaps)) {
        m_mipmaps->setChecked(first.Mipmaps);
    } else {
        m_mipmaps->setTristate(true);
        m_mipmaps->setCheckState(Qt::PartiallyChecked);
    }
    if (!same(&TextureOutput::Flags)) {
        m_filter->insertItem(0, kKeepEach, kKeep);
        m_filter->setCurrentIndex(0);
        return;
    }
    int filter = first.Flags ? m_filter->findData(*first.Flags) : m_filter->findData(kGlobal);
    if (filter < 0) {
        // A flag word of the texture's own that no choice gives, such as clamped addressing from a
        // game's dictionary.
        m_filter->addItem("Own (" + FlagText(*first.Flags) + ")", *first.Flags);
        filter = m_filter->count() - 1;
    }
    m_filter->setCurrentIndex(filter);
}

TextureOutput OutputChoices::Chosen() const {
    const int format = m_format->currentData().toInt();
    const QVariant filter = m_filter->currentData();
    const bool ownFlags = filter.typeId() == QMetaType::UInt;
    return {.Format = format >= 0 ? std::optional(OutputFormats()[static_cast<size_t>(format)]) : std::nullopt,
            .Mipmaps = m_mipmaps->checkState() == Qt::Checked,
            .Flags = ownFlags ? std::optional(filter.toUInt()) : std::nullopt};
}

OutputFields OutputChoices::ChosenFields() const {
    return {.Format = m_format->currentData().toInt() != kKeep,
            .Mipmaps = m_mipmaps->checkState() != Qt::PartiallyChecked,
            .Flags = m_filter->currentData() != QVariant(kKeep)};
}

}  // namespace vc::gui
