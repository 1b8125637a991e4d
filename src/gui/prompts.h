#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QUrl>

namespace vc::gui {

// How a file dialog is set up. Filter is in the "Text|pattern|Text|pattern" form.
struct FileDialogOptions {
    QString Title;  // empty: the system's title
    QString Filter;
    QString DefaultSuffix;
    QString Directory;     // starting folder; empty: the platform's default
    QString SelectedFile;  // a suggested file name
    bool ConfirmOverwrite = false;
    bool Preview = false;  // show a picture of the chosen image
};

enum class MessageKind {
    Plain,        // caption and OK only
    Information,  // information icon
    Warning,      // exclamation icon: problem reports
    Error,        // error icon: a failure of the platform
};

// Every question the window asks and every box it shows goes through this, so that tests can
// answer the dialogs and read the boxes.
class Prompts {
  public:
    virtual ~Prompts() = default;

    // The chosen files; empty when cancelled.
    virtual QStringList OpenFiles(const FileDialogOptions& options) = 0;
    // The chosen file; empty when cancelled.
    virtual QString OpenFile(const FileDialogOptions& options) = 0;
    virtual QString SaveFile(const FileDialogOptions& options) = 0;
    virtual void ShowMessage(MessageKind kind, const QString& caption, const QString& text) = 0;
    // Hands an address to the desktop (web page, mail, a file for its viewer); the result is ignored.
    virtual void OpenUrl(const QUrl& url) = 0;
    // Shows one of the program's own dialogs modally; returns its result (QDialog::Accepted or
    // QDialog::Rejected).
    virtual int RunDialog(QDialog& dialog) = 0;
};

}  // namespace vc::gui
