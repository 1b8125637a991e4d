// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <cstddef>
#include <memory>

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
    Question,     // question icon, Yes and No
};

// Shows how far a long command has come; it disappears when destroyed.
class Progress {
  public:
    virtual ~Progress() = default;
    // done of total items finished; item names the one being processed now. Throws Cancelled once
    // the user has cancelled (the box's Cancel button, Escape or its close box).
    virtual void Report(size_t done, size_t total, const QString& item) = 0;
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
    // Asks a question that Yes or No answers; true for Yes.
    virtual bool Ask(const QString& caption, const QString& text) = 0;
    // Asks a question that one of the answers replies to, a button each, preset the one numbered
    // preset; the number of the answer chosen, or -1 when the box was closed or Escape pressed.
    virtual int Choose(const QString& caption, const QString& text, const QStringList& answers, int preset) = 0;
    // The chosen folder; empty when cancelled.
    virtual QString ChooseFolder(const FileDialogOptions& options) = 0;
    // Hands an address to the desktop (web page, mail, a file for its viewer); the result is ignored.
    virtual void OpenUrl(const QUrl& url) = 0;
    // Shows one of the program's own dialogs modally; returns its result (QDialog::Accepted or
    // QDialog::Rejected).
    virtual int RunDialog(QDialog& dialog) = 0;
    // Progress for a command that may run long; shown only once it has run about half a second.
    virtual std::unique_ptr<Progress> StartProgress(const QString& title) = 0;
};

}  // namespace vc::gui
