// SPDX-License-Identifier: GPL-3.0-or-later
#include "dialog_prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QPixmap>
#include <QProgressDialog>
#include <QScreen>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>

#include "io/cancellation.h"
#include "message_window.h"
#include "ops/texture_preview.h"
#include "texture_picture.h"
#include "window_placement.h"
#include "window_text.h"

namespace vc::gui {

namespace {

constexpr int kPreviewSide = 160;

QFileDialog::Options CommonOptions() {
    return QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog;
}

// Sizes such as "12.1 KiB" are shown whole.
void FitSizeColumn(QFileDialog& dialog) {
    if (auto* details = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
        details->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    }
}

// Room kept free on the screen for a dialog's frame and title bar, which the window system adds.
constexpr QSize kFrameAllowance(8, 48);

// The dialog no larger than its screen has room for, frame and title bar included, as far as its
// smallest size allows: at a large scale factor a file dialog's own size may not fit.
void FitToScreen(QDialog& dialog) {
    const QSize room = dialog.screen()->availableGeometry().size() - kFrameAllowance;
    const QSize smallest = dialog.minimumSizeHint();
    if (smallest.width() > room.width() || smallest.height() > room.height()) {
        // Smaller than its layout would have it: the lists give up some of their room.
        dialog.layout()->setSizeConstraint(QLayout::SetNoConstraint);
        for (QWidget* child : dialog.findChildren<QWidget*>()) {
            child->setMinimumHeight(0);
        }
    }
    const QSize wanted = dialog.testAttribute(Qt::WA_Resized) ? dialog.size() : dialog.sizeHint();
    dialog.setMinimumSize(smallest.boundedTo(room));
    dialog.resize(wanted.boundedTo(room));
}

void Configure(QFileDialog& dialog, const FileDialogOptions& options) {
    if (!options.Title.isEmpty()) {
        dialog.setWindowTitle(options.Title);
    }
    if (!options.Filter.isEmpty()) {
        dialog.setNameFilters(QtNameFilters(options.Filter).split(";;"));
    }
    dialog.setDefaultSuffix(options.DefaultSuffix);
    dialog.setOptions(CommonOptions());
    if (!options.Directory.isEmpty()) {
        dialog.setDirectory(options.Directory);
    }
    if (!options.SelectedFile.isEmpty()) {
        dialog.selectFile(options.SelectedFile);
    }
    FitSizeColumn(dialog);
    FitToScreen(dialog);
    KeepCentredOnOwner(dialog);
}

// The picture as a texture made from the file would look, for every kind intake reads (DDS and TGA
// too); Qt's own reading for an image no texture could be made from.
QPixmap PreviewOf(const QString& path) {
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        return {};
    }
    TTexFile entry;
    entry.TexPath = Utf8Path(path);
    const QSize box(kPreviewSide, kPreviewSide);
    if (const std::optional<DecodedTexture> texture = PreviewTexture(entry)) {
        return QPixmap::fromImage(OverCheckerboard(ShownPicture(FittedPicture(*texture, box), box)));
    }
    const QPixmap picture(path);
    return picture.isNull() ? QPixmap() : picture.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

// A picture of the current image file beside the file list, starting with the preselected file.
// The dialog grows by the picture's width, so that the list keeps its room.
void AddPreview(QFileDialog& dialog, const QString& preselected) {
    auto* layout = qobject_cast<QGridLayout*>(dialog.layout());
    if (layout == nullptr) {
        return;
    }
    const int listWidth = dialog.width();
    auto* preview = new QLabel(&dialog);
    preview->setObjectName(QStringLiteral("preview"));
    preview->setFixedSize(kPreviewSide, kPreviewSide);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    preview->setPixmap(PreviewOf(preselected));
    layout->addWidget(preview, 1, layout->columnCount(), 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview,
                     [preview](const QString& path) { preview->setPixmap(PreviewOf(path)); });
    // The list keeps the width it has without the picture, as far as the screen allows (a few
    // pixels are left for the window's frame).
    const int screenWidth = dialog.screen()->availableGeometry().width() - 8;
    dialog.resize(std::min(listWidth + kPreviewSide + layout->horizontalSpacing(), screenWidth), dialog.height());
}

}  // namespace

QString QtNameFilters(const QString& filter) {
    const QStringList parts = filter.split('|');
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString patterns = parts[i + 1].split(';', Qt::SkipEmptyParts).replaceInStrings(" ", "").join(' ');
        QString text = parts[i];
        const qsizetype open = text.lastIndexOf(" (");
        if (open >= 0 && text.endsWith(')')) {
            text.truncate(open);
        }
        filters << text + " (" + patterns + ")";
    }
    return filters.join(";;");
}

QString DisplayText(const QString& text) {
    QString display = text;
    display.replace("\r\n", "\n");
    display.replace('\t', QString(8, QChar(0x00A0)));
    return display;
}

// Runs an open dialog for one or several existing files; empty when cancelled.
QStringList ChooseExistingFiles(const FileDialogOptions& options, QFileDialog::FileMode mode, QWidget* parent) {
    QFileDialog dialog(parent);
    Configure(dialog, options);
    dialog.setFileMode(mode);
    if (options.Preview) {
        AddPreview(dialog, options.SelectedFile);
        FitToScreen(dialog);
    }
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

QStringList DialogPrompts::OpenFiles(const FileDialogOptions& options) {
    return ChooseExistingFiles(options, QFileDialog::ExistingFiles, m_parent);
}

QString DialogPrompts::OpenFile(const FileDialogOptions& options) {
    return ChooseExistingFiles(options, QFileDialog::ExistingFile, m_parent).value(0);
}

QString DialogPrompts::SaveFile(const FileDialogOptions& options) {
    QFileDialog dialog(m_parent);
    Configure(dialog, options);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !options.ConfirmOverwrite);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

std::unique_ptr<QDialog> CreateMessageBox(MessageKind kind, const QString& caption, const QString& text,
                                          QWidget* parent) {
    return std::make_unique<MessageWindow>(kind, caption, DisplayText(text), parent);
}

void DialogPrompts::ShowMessage(MessageKind kind, const QString& caption, const QString& text) {
    CreateMessageBox(kind, caption, text, m_parent)->exec();
}

bool DialogPrompts::Ask(const QString& caption, const QString& text) {
    return CreateMessageBox(MessageKind::Question, caption, text, m_parent)->exec() == QDialog::Accepted;
}

int DialogPrompts::Choose(const QString& caption, const QString& text, const QStringList& answers, int preset) {
    MessageWindow box(caption, DisplayText(text), answers, preset, m_parent);
    const int result = box.exec();
    return result >= MessageWindow::kFirstAnswer ? result - MessageWindow::kFirstAnswer : -1;
}

QString DialogPrompts::ChooseFolder(const FileDialogOptions& options) {
    QFileDialog dialog(m_parent);
    Configure(dialog, options);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles().value(0) : QString();
}

namespace {

// A modal progress box whose Cancel button, Escape and close box cancel the command.
class ProgressBox final : public Progress {
  public:
    ProgressBox(const QString& title, QWidget* parent) : m_dialog(parent) {
        m_dialog.setWindowTitle(title);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
    }
    void Report(size_t done, size_t total, const QString& item) override {
        m_dialog.setMaximum(static_cast<int>(total));
        m_dialog.setLabelText(item);
        m_dialog.setValue(static_cast<int>(done));  // lets the window repaint while it is shown
        if (m_dialog.wasCanceled()) {
            throw Cancelled();
        }
    }

  private:
    QProgressDialog m_dialog;
};

}  // namespace

std::unique_ptr<Progress> DialogPrompts::StartProgress(const QString& title) {
    return std::make_unique<ProgressBox>(title, m_parent);
}

void DialogPrompts::OpenUrl(const QUrl& url) {
    QDesktopServices::openUrl(url);
}

}  // namespace vc::gui
