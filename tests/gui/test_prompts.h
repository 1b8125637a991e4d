#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <vector>

#include "prompts.h"

namespace vc::gui::test {

// Answers the window's dialogs from queues the test fills, and records every box and address.
// An empty queue answers like a cancelled dialog.
class TestPrompts final : public Prompts {
  public:
    struct Message {
        MessageKind Kind;
        QString Caption;
        QString Text;
    };

    QStringList OpenFiles(const FileDialogOptions& options) override {
        Dialogs.push_back(options);
        return Take(NextOpenFiles, QStringList());
    }
    QString OpenFile(const FileDialogOptions& options) override {
        Dialogs.push_back(options);
        return Take(NextOpenFile, QString());
    }
    QString SaveFile(const FileDialogOptions& options) override {
        Dialogs.push_back(options);
        if (WhileSaveFileAsked) {
            WhileSaveFileAsked();
        }
        return Take(NextSaveFile, QString());
    }
    void ShowMessage(MessageKind kind, const QString& caption, const QString& text) override {
        Messages.push_back({kind, caption, text});
    }
    // Recorded as a message of the kind Question; an empty queue answers No.
    bool Ask(const QString& caption, const QString& text) override {
        Messages.push_back({MessageKind::Question, caption, text});
        return Take(NextAnswers, false);
    }
    void OpenUrl(const QUrl& url) override { Urls.push_back(url); }
    // The next queued action plays the user's part in the dialog; without one it is cancelled.
    int RunDialog(QDialog& dialog) override {
        Dialogs.push_back({.Title = dialog.windowTitle()});
        return NextDialogActions.empty() ? QDialog::Rejected : Take(NextDialogActions, DialogAction())(dialog);
    }

    // Records what a command reported, one line per report: "title: done/total item".
    std::unique_ptr<Progress> StartProgress(const QString& title) override {
        class Recorder final : public Progress {
          public:
            Recorder(QStringList& reports, QString title) : m_reports(reports), m_title(std::move(title)) {}
            void Report(size_t done, size_t total, const QString& item) override {
                m_reports << m_title + ": " + QString::number(done) + "/" + QString::number(total) + " " + item;
            }

          private:
            QStringList& m_reports;
            QString m_title;
        };
        return std::make_unique<Recorder>(ProgressReports, title);
    }

    std::deque<QStringList> NextOpenFiles;
    std::deque<QString> NextOpenFile;
    std::deque<QString> NextSaveFile;
    // Looks at what the command has done so far while the Save dialog waits for its answer.
    std::function<void()> WhileSaveFileAsked;
    std::deque<bool> NextAnswers;
    using DialogAction = std::function<int(QDialog&)>;
    std::deque<DialogAction> NextDialogActions;
    std::vector<FileDialogOptions> Dialogs;
    std::vector<Message> Messages;
    std::vector<QUrl> Urls;
    QStringList ProgressReports;

  private:
    template <typename T>
    static T Take(std::deque<T>& queue, T cancelled) {
        if (queue.empty()) {
            return cancelled;
        }
        T answer = queue.front();
        queue.pop_front();
        return answer;
    }
};

}  // namespace vc::gui::test
