#include "dialog_prompts.h"

#include <QDesktopServices>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPixmap>
#include <QProgressDialog>
#include <QVBoxLayout>

namespace vc::gui {

namespace {

constexpr int kPreviewSide = 160;

QFileDialog::Options CommonOptions() {
    return QFileDialog::ReadOnly | QFileDialog::DontUseNativeDialog;
}

void Configure(QFileDialog& dialog, const FileDialogOptions& options) {
    if (!options.Title.isEmpty()) {
        dialog.setWindowTitle(options.Title);
    }
    dialog.setNameFilters(QtNameFilters(options.Filter).split(";;"));
    dialog.setDefaultSuffix(options.DefaultSuffix);
    dialog.setOptions(CommonOptions());
    if (!options.Directory.isEmpty()) {
        dialog.setDirectory(options.Directory);
    }
    if (!options.SelectedFile.isEmpty()) {
        dialog.selectFile(options.SelectedFile);
    }
}

// A picture of the current image file beside the file list.
void AddPreview(QFileDialog& dialog) {
    auto* layout = qobject_cast<QGridLayout*>(dialog.layout());
    if (layout == nullptr) {
        return;
    }
    auto* preview = new QLabel(&dialog);
    preview->setFixedSize(kPreviewSide, kPreviewSide);
    preview->setAlignment(Qt::AlignCenter);
    preview->setFrameShape(QFrame::StyledPanel);
    layout->addWidget(preview, 1, layout->columnCount(), 1, 1);
    QObject::connect(&dialog, &QFileDialog::currentChanged, preview, [preview](const QString& path) {
        const QPixmap picture(path);
        preview->setPixmap(picture.isNull() ? QPixmap()
                                            : picture.scaled(kPreviewSide, kPreviewSide, Qt::KeepAspectRatio,
                                                             Qt::SmoothTransformation));
    });
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
        AddPreview(dialog);
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

std::unique_ptr<QMessageBox> CreateMessageBox(MessageKind kind, const QString& caption, const QString& text,
                                              QWidget* parent) {
    auto box = std::make_unique<QMessageBox>(parent);
    box->setWindowTitle(caption);
    box->setTextFormat(Qt::PlainText);
    box->setText(DisplayText(text));
    box->setStandardButtons(QMessageBox::Ok);
    switch (kind) {
        case MessageKind::Plain:
            box->setIcon(QMessageBox::NoIcon);
            break;
        case MessageKind::Information:
            box->setIcon(QMessageBox::Information);
            break;
        case MessageKind::Warning:
            box->setIcon(QMessageBox::Warning);
            break;
        case MessageKind::Error:
            box->setIcon(QMessageBox::Critical);
            break;
    }
    return box;
}

void DialogPrompts::ShowMessage(MessageKind kind, const QString& caption, const QString& text) {
    CreateMessageBox(kind, caption, text, m_parent)->exec();
}

namespace {

// A modal progress box without a cancel button: the command's result must not depend on it.
class ProgressBox final : public Progress {
  public:
    ProgressBox(const QString& title, QWidget* parent) : m_dialog(parent) {
        m_dialog.setWindowTitle(title);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setCancelButton(nullptr);
        m_dialog.setMinimumDuration(500);
        m_dialog.setAutoClose(false);
        m_dialog.setAutoReset(false);
    }
    void Report(size_t done, size_t total, const QString& item) override {
        m_dialog.setMaximum(static_cast<int>(total));
        m_dialog.setLabelText(item);
        m_dialog.setValue(static_cast<int>(done));  // lets the window repaint while it is shown
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
