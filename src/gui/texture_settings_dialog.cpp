// SPDX-License-Identifier: GPL-3.0-or-later
#include "texture_settings_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QStringList>
#include <QValidator>
#include <algorithm>
#include <array>

#include "app_info.h"
#include "etched_group_box.h"
#include "io/error.h"
#include "io/file_names.h"
#include "io/path_shortening.h"
#include "output_choices.h"
#include "rw/txd_format.h"
#include "texlist/image_kinds.h"
#include "texture_picture.h"
#include "texture_previews.h"
#include "window_placement.h"
#include "window_text.h"

namespace vc::gui {

namespace {

constexpr int kTypedNameLimit = 31;
constexpr int kPathWidth = 165;
// The previews stand right of the two groups, as high as they are.
constexpr int kPreviewLeft = 233;
constexpr int kPreviewSide = 105;
constexpr int kDialogWidth = kPreviewLeft + kPreviewSide + 8;
// The output group stands below the image groups, across the whole dialog, and the buttons below it.
constexpr int kOutputTop = 232;
constexpr int kOutputHeight = 64;
constexpr int kButtonTop = kOutputTop + kOutputHeight + 8;
const QString kNoAlpha = QStringLiteral("No alpha selected");
const QString kNoPreview = QStringLiteral("No preview");
const QString kImageFilter = QString::fromStdString(ImageDialogFilter(false));
const char* const DepthNames[2] = {"24bit", "8bit paletted"};

QString ImageLine(const char* prefix, const TImageInfo& info) {
    return QString::fromLatin1(prefix) + QString::number(info.Width) + " × " + QString::number(info.Height) + "; " +
           QString::fromLatin1(DepthNames[info.Depth == 8 ? 1 : 0]);
}

// Typing stops at 31 characters and a paste keeps as much of the pasted text as fits; a longer name
// the dialog sets itself stays whole and can still be shortened, but not lengthened.
class TypedLengthValidator final : public QValidator {
  public:
    explicit TypedLengthValidator(QLineEdit* edit) : QValidator(edit) {
        connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_current = text; });
    }
    State validate(QString& input, int& cursor) const override {
        if (input.size() <= kTypedNameLimit || input.size() <= m_current.size()) {
            return Acceptable;
        }
        // The inserted text ends at the cursor; what follows the cursor was there before, and so was
        // the text before the insertion point, where the input first differs from the text before.
        const qsizetype kept = m_current.size() - (input.size() - cursor);
        qsizetype start = 0;
        while (start < kept && input[start] == m_current[start]) {
            ++start;
        }
        const qsizetype inserted = cursor - start;
        const qsizetype room = kTypedNameLimit - (input.size() - inserted);
        if (room <= 0) {
            return Invalid;
        }
        input.remove(start + room, inserted - room);
        cursor = static_cast<int>(start + room);
        return Acceptable;
    }

  private:
    QString m_current;
};

// Puts a name into an edit past the typing limit: a longer name stays whole and can then be
// shortened, but not lengthened.
void SetName(QLineEdit* edit, const QString& name) {
    const QValidator* validator = edit->validator();
    edit->setValidator(nullptr);
    edit->setText(name);
    edit->setValidator(validator);
}

}  // namespace

TForm2::TForm2(Prompts& prompts, ReadImage readImage, TexturePreviews& previews, QWidget* parent)
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_prompts(prompts),
      m_readImage(std::move(readImage)),
      m_previews(previews) {
    KeepCentredOnOwner(*this);
    setObjectName(QStringLiteral("TForm2"));
    if (parent != nullptr) {
        setFont(parent->font());
    }
    setFixedSize(kDialogWidth, kButtonTop + 25 + 8);

    GroupBox1 = new EtchedGroupBox(QStringLiteral(" Texture Settings "), this);
    GroupBox1->setGeometry(8, 8, 217, 105);
    edtTex = CreateNameEdit(GroupBox1);
    edtTex->setObjectName(QStringLiteral("edtTex"));
    btnTex = CreateFileButton(GroupBox1);
    btnTex->setObjectName(QStringLiteral("btnTex"));
    lblTex = CreateLineLabel(GroupBox1);
    lblTex->setObjectName(QStringLiteral("lblTex"));

    GroupBox2 = new EtchedGroupBox(QStringLiteral(" Alpha Settings "), this);
    GroupBox2->setGeometry(8, 120, 217, 105);
    cbxAlpha = new QCheckBox(QStringLiteral("Has Alpha"), GroupBox2);
    cbxAlpha->setObjectName(QStringLiteral("cbxAlpha"));
    cbxAlpha->setGeometry(136, 12, 73, 17);
    cbxAlpha->setLayoutDirection(Qt::RightToLeft);
    edtAlpha = CreateNameEdit(GroupBox2);
    edtAlpha->setObjectName(QStringLiteral("edtAlpha"));
    BtnAlpha = CreateFileButton(GroupBox2);
    BtnAlpha->setObjectName(QStringLiteral("BtnAlpha"));
    lblAlpha = CreateLineLabel(GroupBox2);
    lblAlpha->setObjectName(QStringLiteral("lblAlpha"));

    Button1 = new QPushButton(QStringLiteral("&Cancel"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, kButtonTop, 65, 25);
    Button3 = new QPushButton(QStringLiteral("&Reset"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(80, kButtonTop, 65, 25);
    Button2 = new QPushButton(QIcon(QStringLiteral(":/icons/change.png")), QStringLiteral("&Apply"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(152, kButtonTop, 73, 25);
    QFont bold = Button2->font();
    bold.setBold(true);
    Button2->setFont(bold);
    Button2->setDefault(true);
    Button2->setEnabled(false);

    CreateOutputGroup();

    m_texPreview = CreatePreview(QStringLiteral("TexPreview"), 8);
    m_alphaPreview = CreatePreview(QStringLiteral("AlphaPreview"), 120);
    connect(&m_previews, &TexturePreviews::Loaded, this, [this](const QString& key) {
        if (key == m_previewKey) {
            ShowPreview();
        }
    });

    setTabOrder(edtTex, btnTex);
    setTabOrder(btnTex, cbxAlpha);
    setTabOrder(cbxAlpha, edtAlpha);
    setTabOrder(edtAlpha, BtnAlpha);
    setTabOrder(BtnAlpha, m_output->FormatBox());
    setTabOrder(m_output->FormatBox(), m_output->MipmapsBox());
    setTabOrder(m_output->MipmapsBox(), m_output->FilterBox());
    setTabOrder(m_output->FilterBox(), Button1);
    setTabOrder(Button1, Button3);
    setTabOrder(Button3, Button2);

    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TForm2::Button3Click);
    connect(Button2, &QPushButton::clicked, this, &TForm2::Button2Click);
    connect(btnTex, &QPushButton::clicked, this, &TForm2::btnTexClick);
    connect(BtnAlpha, &QPushButton::clicked, this, &TForm2::BtnAlphaClick);
    connect(cbxAlpha, &QCheckBox::clicked, this, &TForm2::cbxAlphaClick);
    connect(edtTex, &QLineEdit::textChanged, this, &TForm2::edtChange);
    connect(edtAlpha, &QLineEdit::textChanged, this, &TForm2::edtChange);
    connect(m_output, &OutputChoices::Changed, this, &TForm2::edtChange);
    connect(m_output->FormatBox(), &QComboBox::currentIndexChanged, this, &TForm2::ShowPreview);
}

void TForm2::CreateOutputGroup() {
    GroupBox3 = new EtchedGroupBox(QStringLiteral(" Output Settings "), this);
    GroupBox3->setGeometry(8, kOutputTop, kDialogWidth - 16, kOutputHeight);
    m_output = new OutputChoices(GroupBox3);
}

QLineEdit* TForm2::CreateNameEdit(QGroupBox* group) {
    // Only as wide as its text: in the alpha group "Has Alpha" sits on the same line to the right.
    auto* label = new QLabel(QStringLiteral("Name:"), group);
    label->move(8, 17);
    label->adjustSize();
    auto* edit = new QLineEdit(group);
    edit->setGeometry(8, 32, 201, 21);
    edit->setValidator(new TypedLengthValidator(edit));
    label->setBuddy(edit);
    return edit;
}

QPushButton* TForm2::CreateFileButton(QGroupBox* group) {
    auto* button = new QPushButton(group);
    button->setGeometry(8, 56, 201, 25);
    button->setIcon(QIcon(QStringLiteral(":/icons/add.png")));
    button->setToolTip(QStringLiteral("Change Bitmap Source File"));
    return button;
}

QLabel* TForm2::CreatePreview(const QString& name, int top) {
    auto* preview = new QLabel(this);
    preview->setObjectName(name);
    preview->setGeometry(kPreviewLeft, top, kPreviewSide, kPreviewSide);
    preview->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    preview->setAlignment(Qt::AlignCenter);
    return preview;
}

QLabel* TForm2::CreateLineLabel(QGroupBox* group) {
    auto* label = new QLabel(group);
    label->setGeometry(8, 86, 201, 13);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void TForm2::LoadEntry(const TTexFile& entry) {
    TexName = entry.TexName;
    TexPath = entry.TexPath;
    TexInfo = entry.TexInfo;
    HasAlpha = entry.HasAlpha;
    AlphaName = entry.AlphaName;
    AlphaPath = entry.AlphaPath;
    AlphaInfo = entry.AlphaInfo;
    Format = entry.Output.Format;
    Mipmaps = entry.Output.Mipmaps;
    Flags = entry.Output.Flags;
}

void TForm2::StoreEntry(TTexFile& entry) const {
    // The alpha flag and mask name kept from a dictionary belong to the images they came with; other
    // images or another alpha name give the texture its own again.
    const bool alphaChanged = TexPath != entry.TexPath || HasAlpha != entry.HasAlpha ||
                              (HasAlpha && (AlphaPath != entry.AlphaPath || AlphaName != entry.AlphaName));
    if (alphaChanged) {
        entry.Output.AlphaFlag.reset();
        entry.Output.MaskName.reset();
    }
    entry.TexName = TexName;
    entry.TexPath = TexPath;
    entry.TexInfo = TexInfo;
    entry.HasAlpha = HasAlpha;
    if (HasAlpha) {
        entry.AlphaName = AlphaName;
        entry.AlphaPath = AlphaPath;
        entry.AlphaInfo = AlphaInfo;
    } else {
        entry.AlphaName.clear();
        entry.AlphaPath.clear();
    }
    entry.Output.Format = Format;
    entry.Output.Mipmaps = Mipmaps;
    entry.Output.Flags = Flags;
}

QString TForm2::Shortened(const std::string& path) const {
    const QFontMetrics metrics(btnTex->font());
    return Text(ShortenPath(path, kPathWidth, [&](std::string_view text) {
        return metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }));
}

void TForm2::Say(const QString& text) {
    m_prompts.ShowMessage(MessageKind::Plain, kApplicationTitle, text);
}

void TForm2::Button3Click() {
    NewTexInfo = TexInfo;
    NewAlphaInfo = AlphaInfo;
    SetName(edtTex, Text(TexName));
    btnTex->setText(Shortened(TexPath));
    lblTex->setText(ImageLine("Selected texture: ", TexInfo));
    SetName(edtAlpha, Text(AlphaName));
    BtnAlpha->setText(Shortened(AlphaPath));
    cbxAlpha->setChecked(HasAlpha);
    NewTexPath = TexPath;
    NewAlphaPath = AlphaPath;
    m_output->Show({.Format = Format, .Mipmaps = Mipmaps, .Flags = Flags});
    cbxAlphaClick();
    Button2->setEnabled(false);
}

void TForm2::cbxAlphaClick() {
    const bool checked = cbxAlpha->isChecked();
    edtAlpha->setEnabled(checked);
    BtnAlpha->setEnabled(checked);
    lblAlpha->setEnabled(checked);
    if (NewAlphaPath.empty()) {
        lblAlpha->setText(kNoAlpha);
        BtnAlpha->setText(kNoAlpha);
    } else if (checked) {
        lblAlpha->setText(ImageLine("Selected alpha: ", NewAlphaInfo));
        BtnAlpha->setText(Shortened(NewAlphaPath));
    }
    Button2->setEnabled(true);
    ShowPreview();
}

void TForm2::edtChange() {
    Button2->setEnabled(true);
}

void TForm2::PickImage(const ImagePicker& picker) {
    // With the platform's own separators, as the window shows every other path.
    const QString chosen = QDir::toNativeSeparators(
        m_prompts.OpenFile({.Filter = kImageFilter, .SelectedFile = Text(picker.Path), .Preview = true}));
    if (chosen.isEmpty()) {
        return;
    }
    TImageInfo read;
    try {
        if (const std::optional<std::string> reasons = m_readImage(chosen.toStdString(), picker.Slot, read)) {
            Say("This image file has an unsupported format!\r\n" + Text(*reasons));
            return;
        }
    } catch (const Error& error) {
        m_prompts.ShowMessage(MessageKind::Error, kApplicationTitle, QString::fromUtf8(error.what()));
        return;
    }
    picker.Path = chosen.toStdString();
    picker.Info = read;
    picker.Line->setText(ImageLine(picker.LinePrefix, read));
    picker.Button->setText(Shortened(picker.Path));
    if (TrimText(picker.Name->text().toStdString()).empty()) {
        SetName(picker.Name, Text(std::string(FileNameWithoutExtension(picker.Path))));
    }
    Button2->setEnabled(true);
    ShowPreview();
}

void TForm2::ShowPreview() {
    const bool alphaPicked = cbxAlpha->isChecked() && !NewAlphaPath.empty();
    TTexFile images;
    images.TexPath = NewTexPath;
    images.AlphaPath = NewAlphaPath;
    images.Output.Format = m_output->Chosen().Format;
    // An alpha image that does not fit would leave the texture out of the dictionary; the colour
    // image is still worth seeing on its own.
    images.HasAlpha = alphaPicked && CheckAlphaFit(NewTexInfo, NewAlphaInfo) == AlphaFit::Fits;
    m_previewKey = TexturePreviews::KeyOf(images);
    const TexturePreviews::Preview preview = m_previews.Find(images);
    m_texPreview->clear();
    m_alphaPreview->clear();
    if (!preview.Ready) {
        return;  // shown when Loaded says it is ready
    }
    if (preview.Picture.isNull()) {
        m_texPreview->setText(kNoPreview);
        m_alphaPreview->setText(alphaPicked ? kNoPreview : QString());
        return;
    }
    const QImage picture = ShownPicture(preview.Picture, m_texPreview->contentsRect().size());
    m_texPreview->setPixmap(QPixmap::fromImage(OverCheckerboard(picture)));
    if (images.HasAlpha) {
        m_alphaPreview->setPixmap(QPixmap::fromImage(AlphaAsGrey(picture)));
    } else if (alphaPicked) {
        m_alphaPreview->setText(kNoPreview);
    }
}

void TForm2::btnTexClick() {
    PickImage({0, NewTexPath, NewTexInfo, lblTex, "Selected texture: ", btnTex, edtTex});
}

void TForm2::BtnAlphaClick() {
    PickImage({1, NewAlphaPath, NewAlphaInfo, lblAlpha, "Selected alpha: ", BtnAlpha, edtAlpha});
}

void TForm2::Button2Click() {
    const std::string texName(TrimText(edtTex->text().toStdString()));
    if (texName.empty()) {
        Say(QStringLiteral("Texture name is empty!"));
        edtTex->setFocus();
        return;
    }
    const bool alpha = cbxAlpha->isChecked();
    const std::string alphaName(TrimText(edtAlpha->text().toStdString()));
    if (alpha) {
        if (alphaName.empty()) {
            Say(QStringLiteral("Alpha name is empty!"));
            edtAlpha->setFocus();
            return;
        }
        if (alphaName == texName) {
            Say(QStringLiteral("Texture and alpha name can't be identical!"));
            edtAlpha->setFocus();
            return;
        }
        if (NewAlphaPath.empty()) {
            Say(QStringLiteral("No alpha texture selected!"));
            BtnAlphaClick();
            return;
        }
        switch (CheckAlphaFit(NewTexInfo, NewAlphaInfo)) {
            case AlphaFit::OtherSize:
                Say(QStringLiteral("Both image files must have the same dimensions!"));
                return;
            case AlphaFit::DeeperThanColour:
                Say(QStringLiteral("The alpha image can't have more bits per pixel than the texture image!"));
                return;
            case AlphaFit::Fits:
                break;
        }
    }
    TexName = texName;
    TexPath = NewTexPath;
    TexInfo = NewTexInfo;
    HasAlpha = alpha;
    if (alpha) {
        AlphaName = alphaName;
        AlphaPath = NewAlphaPath;
        AlphaInfo = NewAlphaInfo;
    }
    const TextureOutput chosen = m_output->Chosen();
    Format = chosen.Format;
    Mipmaps = chosen.Mipmaps;
    Flags = chosen.Flags;
    accept();
}

}  // namespace vc::gui
