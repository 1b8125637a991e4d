// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QWidget>
#include <memory>

#include "prompts.h"

namespace vc::gui {

// The prompts as the user sees them: Qt's file dialogs and message boxes, the desktop services.
class DialogPrompts final : public Prompts {
  public:
    // Dialogs and boxes are modal over the parent.
    void SetParent(QWidget* parent) { m_parent = parent; }

    QStringList OpenFiles(const FileDialogOptions& options) override;
    QString OpenFile(const FileDialogOptions& options) override;
    QString SaveFile(const FileDialogOptions& options) override;
    void ShowMessage(MessageKind kind, const QString& caption, const QString& text) override;
    bool Ask(const QString& caption, const QString& text) override;
    int Choose(const QString& caption, const QString& text, const QStringList& answers, int preset) override;
    QString ChooseFolder(const FileDialogOptions& options) override;
    void OpenUrl(const QUrl& url) override;
    int RunDialog(QDialog& dialog) override { return dialog.exec(); }
    std::unique_ptr<Progress> StartProgress(const QString& title) override;

  private:
    QWidget* m_parent = nullptr;
};

// The box ShowMessage shows: caption, icon for the kind, the text as DisplayText gives it, OK.
std::unique_ptr<QDialog> CreateMessageBox(MessageKind kind, const QString& caption, const QString& text,
                                          QWidget* parent);

// "Text|*.a; *.b|..." as Qt writes filters: "Text (*.a *.b);;...".
QString QtNameFilters(const QString& filter);

// Message texts keep CR LF line breaks and TAB indents; a box shows LF and visible indents.
QString DisplayText(const QString& text);

}  // namespace vc::gui
