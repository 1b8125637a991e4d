// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <vector>

#include "io/cancellation.h"
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
    // Recorded as a message of the kind Question whose text ends with the answers, each on a line
    // of its own after "> " ("> " before the preset one); an empty queue closes the box.
    int Choose(const QString& caption, const QString& text, const QStringList& answers, int preset) override {
        QString shown = text;
        for (int i = 0; i < answers.size(); ++i) {
            shown += (i == preset ? "\n> [" : "\n> ") + answers[i] + (i == preset ? "]" : "");
        }
        Messages.push_back({MessageKind::Question, caption, shown});
        const QString answer = Take(NextChoices, QString());
        return static_cast<int>(answers.indexOf(answer));
    }
    QString ChooseFolder(const FileDialogOptions& options) override {
        Dialogs.push_back(options);
        return Take(NextFolders, QString());
    }
    void OpenUrl(const QUrl& url) override { Urls.push_back(url); }
    // The next queued action plays the user's part in the dialog; without one it is cancelled.
    int RunDialog(QDialog& dialog) override {
        Dialogs.push_back({.Title = dialog.windowTitle()});
        return NextDialogActions.empty() ? QDialog::Rejected : Take(NextDialogActions, DialogAction())(dialog);
    }

    // Records what a command reported, one line per report: "title: done/total item". WhileReporting
    // plays the user's part while the box shows; the report CancelAtReport counts (all commands'
    // reports together, from 0) is cancelled as the box's Cancel button would.
    std::unique_ptr<Progress> StartProgress(const QString& title) override {
        class Recorder final : public Progress {
          public:
            Recorder(TestPrompts& prompts, QString title) : m_prompts(prompts), m_title(std::move(title)) {}
            void Report(size_t done, size_t total, const QString& item) override {
                const auto count = static_cast<size_t>(m_prompts.ProgressReports.size());
                m_prompts.ProgressReports
                    << m_title + ": " + QString::number(done) + "/" + QString::number(total) + " " + item;
                if (m_prompts.WhileReporting) {
                    m_prompts.WhileReporting();
                }
                if (m_prompts.CancelAtReport == count) {
                    throw Cancelled();
                }
            }

          private:
            TestPrompts& m_prompts;
            QString m_title;
        };
        return std::make_unique<Recorder>(*this, title);
    }

    std::deque<QStringList> NextOpenFiles;
    std::deque<QString> NextOpenFile;
    std::deque<QString> NextSaveFile;
    // Looks at what the command has done so far while the Save dialog waits for its answer.
    std::function<void()> WhileSaveFileAsked;
    std::deque<bool> NextAnswers;
    // The answers Choose gives, by their texts; one the question does not offer closes the box.
    std::deque<QString> NextChoices;
    std::deque<QString> NextFolders;
    using DialogAction = std::function<int(QDialog&)>;
    std::deque<DialogAction> NextDialogActions;
    std::vector<FileDialogOptions> Dialogs;
    std::vector<Message> Messages;
    std::vector<QUrl> Urls;
    QStringList ProgressReports;
    std::function<void()> WhileReporting;
    std::optional<size_t> CancelAtReport;

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
