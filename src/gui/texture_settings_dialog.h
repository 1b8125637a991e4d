// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "prompts.h"
#include "texlist/tex_file.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace vc::gui {

class OutputChoices;
class TexturePreviews;

// Runs image intake on a picked file without pixels: nothing when accepted, with its size and depth
// in info, else the reasons, a line each. slot 0 is the colour image, 1 the alpha image. Throws an
// Error when the file cannot be read.
using ReadImage = std::function<std::optional<std::string>(const std::string& path, size_t slot, TImageInfo& info)>;

// The texture settings dialog: changes one entry's name, colour image, alpha and output (format,
// mipmaps, filter) on a copy, which the caller writes back only when the dialog closes with Accepted
// after a successful Apply. Beside the settings it shows the picked images as the dictionary will
// hold them in the chosen format: the texture with its alpha over a checkerboard, and the alpha in
// grey.
class TForm2 final : public QDialog {
    Q_OBJECT

  public:
    TForm2(Prompts& prompts, ReadImage readImage, TexturePreviews& previews, QWidget* parent = nullptr);

    // Puts the entry's values into the copy; Reset then shows them.
    void LoadEntry(const TTexFile& entry);
    // Writes the copy back into the entry as Change does after Apply. Of the entry's output only the
    // three choices the dialog offers are written; the fields kept from a dictionary stay as they are.
    void StoreEntry(TTexFile& entry) const;

    // The entry copy and the images picked since the last Reset.
    std::string TexName;
    std::string AlphaName;
    std::string TexPath;
    std::string AlphaPath;
    std::string NewTexPath;
    std::string NewAlphaPath;
    TImageInfo TexInfo;
    TImageInfo AlphaInfo;
    TImageInfo NewTexInfo;
    TImageInfo NewAlphaInfo;
    bool HasAlpha = false;
    std::optional<TextureFormat> Format;  // empty: as the image is
    bool Mipmaps = false;
    std::optional<uint32_t> Flags;  // empty: the flag word set in the Options menu

  public slots:
    void Button3Click();
    void Button2Click();
    void btnTexClick();
    void BtnAlphaClick();
    void cbxAlphaClick();
    void edtChange();

  private:
    QLineEdit* CreateNameEdit(QGroupBox* group);
    QPushButton* CreateFileButton(QGroupBox* group);
    QLabel* CreateLineLabel(QGroupBox* group);
    void CreateOutputGroup();
    QLabel* CreatePreview(const QString& name, int top);
    QString Shortened(const std::string& path) const;
    // The fields and controls that picking a colour or an alpha image fills.
    struct ImagePicker {
        size_t Slot;
        std::string& Path;
        TImageInfo& Info;
        QLabel* Line;
        const char* LinePrefix;
        QPushButton* Button;
        QLineEdit* Name;
    };
    // Shows the picker and runs intake on the choice; a refused image changes nothing.
    void PickImage(const ImagePicker& picker);
    void Say(const QString& text);
    // Shows the pictures of the images picked now, once they are decoded.
    void ShowPreview();

    Prompts& m_prompts;
    ReadImage m_readImage;
    TexturePreviews& m_previews;
    QString m_previewKey;  // of the images the preview is to show
    QLabel* m_texPreview = nullptr;
    QLabel* m_alphaPreview = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QGroupBox* GroupBox3 = nullptr;
    OutputChoices* m_output = nullptr;
    QLineEdit* edtTex = nullptr;
    QPushButton* btnTex = nullptr;
    QLabel* lblTex = nullptr;
    QLineEdit* edtAlpha = nullptr;
    QPushButton* BtnAlpha = nullptr;
    QLabel* lblAlpha = nullptr;
    QCheckBox* cbxAlpha = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
};

}  // namespace vc::gui
