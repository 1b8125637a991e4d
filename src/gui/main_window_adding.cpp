// SPDX-License-Identifier: GPL-3.0-or-later
// The window's ways of filling the list: files chosen, dropped or named at start, the folders among
// them, and dictionaries taken apart into a folder of images.
#include <QDropEvent>
#include <QMimeData>
#include <algorithm>
#include <string_view>
#include <unordered_set>

#include "archive/img_archive.h"
#include "archive_entry_dialog.h"
#include "io/error.h"
#include "io/file_io.h"
#include "main_window.h"
#include "ops/dictionary_import.h"
#include "ops/extraction_folder.h"
#include "ops/folder_contents.h"
#include "texlist/image_kinds.h"
#include "texlist/list_editing.h"
#include "texlist/texture_list.h"
#include "window_text.h"

namespace vc::gui {

namespace {

const QString kAddHeading = QStringLiteral("Some of the files caused errors and could not be added:");
const QString kImageFilter = QString::fromStdString(ImageDialogFilter(true));
const QString kOpenCaption = QStringLiteral("Open TXD");
const QString kOpenHeading =
    QStringLiteral("Some of the textures in the dictionary caused errors and could not be added:");

// The answers to a folder that holds files already.
const QString kUseThem = QStringLiteral("Use Them");
const QString kReplaceThem = QStringLiteral("Replace Them");
const QString kExtractIntoIt = QStringLiteral("Extract Into It");
const QString kAnotherFolder = QStringLiteral("Another Folder...");
const QString kCancel = QStringLiteral("Cancel");

bool IsDictionaryFile(const std::string& path) {
    return LowerAscii(FileExtension(path)) == ".txd";
}

QString FileName(const QString& path) {
    return QFileInfo(path).fileName();
}

// Names the files of the dictionary's that a folder holds already; a long list names the first few.
QString SameNamesText(const std::string& folder, const std::vector<std::string>& existing) {
    constexpr size_t kNamed = 10;
    QString text = "The folder \"" + Text(folder) + "\" already holds " + QString::number(existing.size()) +
                   (existing.size() == 1 ? " file" : " files") + " of this dictionary's textures:\r\n";
    for (size_t i = 0; i < std::min(existing.size(), kNamed); ++i) {
        text += "\r\n\t" + Text(existing[i]);
    }
    if (existing.size() > kNamed) {
        text += "\r\n\t... and " + QString::number(existing.size() - kNamed) + " more";
    }
    return text;
}

// The folder can give the dictionary's textures when it holds a file of each name extraction
// writes; only the list may be missing, and is then written.
bool HoldsEveryImage(const ExtractionFolder& folder, const ExtractionResult& extracted) {
    const std::vector<std::string> missing = folder.MissingFiles();
    return std::all_of(missing.begin(), missing.end(), [&](const std::string& name) {
        return !extracted.ListFile.empty() && name == extracted.ListFile;
    });
}

// Asks what to do with a folder that holds files already: the answer given, Cancel when the box
// was closed.
QString AskAboutFilledFolder(Prompts& prompts, const ExtractionFolder& folder, const ExtractionResult& extracted) {
    const std::vector<std::string> existing = folder.ExistingFiles();
    QStringList answers;
    QString text;
    int preset = 0;
    if (existing.empty()) {
        text = "The folder \"" + Text(folder.AbsolutePath()) +
               "\" already holds other files.\r\n\r\nExtract the dictionary's textures into it beside them, or to "
               "another folder?";
        answers = {kExtractIntoIt, kAnotherFolder, kCancel};
    } else if (HoldsEveryImage(folder, extracted)) {
        text = SameNamesText(folder.AbsolutePath(), existing) +
               "\r\n\r\nUse the files there, replace them, or extract the dictionary to another folder?";
        answers = {kUseThem, kReplaceThem, kAnotherFolder, kCancel};
    } else {
        text = SameNamesText(folder.AbsolutePath(), existing) +
               "\r\n\r\nReplace them, or extract the dictionary to another folder?";
        answers = {kReplaceThem, kAnotherFolder, kCancel};
        preset = 1;
    }
    const int answer = prompts.Choose(kOpenCaption, text, answers, preset);
    return answer >= 0 ? answers[answer] : kCancel;
}

}  // namespace

void TForm1::AddFromDialog() {
    const QStringList files =
        m_prompts.OpenFiles({.Filter = kImageFilter, .Directory = Text(m_settings.Folders.Open), .Preview = true});
    if (files.isEmpty()) {
        return;
    }
    m_settings.Folders.Open = FolderOf(files.front());
    AddOrOpenFiles(files, QStringLiteral("Adding Files"));
}

void TForm1::WMDropFiles(const QStringList& paths) {
    AddOrOpenFiles(paths, QStringLiteral("Drag & Drop Files"));
}

void TForm1::AddOrOpenFiles(const QStringList& chosen, const QString& command) {
    QString edit = command;
    bool fresh = false;  // one dictionary opened as a new list, which has nothing to save
    RunCommand(edit.replace('&', QStringLiteral("&&")), [&] {  // "&" marks a menu item's key
        std::vector<std::string> named;
        for (const QString& path : chosen) {
            named.push_back(Utf8Path(path));
        }
        const std::vector<std::string> files = ExpandFolders(named, FolderDictionaries::Included);
        const auto firstDictionary = std::find_if(files.begin(), files.end(), IsDictionaryFile);
        ListStart start = ListStart::Kept;
        if (firstDictionary != files.end()) {
            const std::optional<ListStart> asked = AskListStart(Text(*firstDictionary));
            if (!asked) {
                return;
            }
            start = *asked;
        }
        if (start == ListStart::New) {
            StartNewList();
        }
        const bool oneDictionary = files.size() == 1 && firstDictionary != files.end() && m_workspace.TexList.empty();
        std::vector<std::string> images;
        const auto addImages = [&] {
            if (!images.empty()) {
                AddImages(images, command);
                images.clear();
            }
        };
        for (const std::string& file : files) {
            if (IsDictionaryFile(file)) {
                addImages();
                fresh = OpenDictionaryIn(Text(file), ListStart::Kept) && oneDictionary;
            } else {
                images.push_back(file);
            }
        }
        addImages();
    });
    if (fresh) {
        m_undo->setClean();
    }
    RefreshTable();
}

void TForm1::AddImages(const std::vector<std::string>& files, const QString& command) {
    const size_t before = m_workspace.TexList.size();
    {
        const std::unique_ptr<Progress> progress = m_prompts.StartProgress(command);
        vc::AddFiles(m_workspace, files, m_settings.pwr2lmt, ReportReading(*progress));
    }
    // New images are written as the defaults say; lists bring their own choices.
    const std::unordered_set<std::string_view> named(files.begin(), files.end());
    std::vector<size_t> images;
    for (size_t i = before; i < m_workspace.TexList.size(); ++i) {
        if (named.contains(m_workspace.TexList[i].TexPath)) {
            images.push_back(i);
        }
    }
    SetOutputs(m_workspace.TexList, images, m_settings.NewTextures);
    AdoptVersionStamp();
    RefreshTable();
    ShowProblems(kAddHeading, command + " - Problems", m_workspace.Intake.ProblemText);
}

std::optional<TForm1::ListStart> TForm1::AskListStart(const QString& dictionary) {
    const size_t count = m_workspace.TexList.size();
    if (count == 0) {
        return ListStart::Kept;
    }
    const QStringList answers = {QStringLiteral("Add to the current list"), QStringLiteral("Start a new list"),
                                 kCancel};
    const int answer = m_prompts.Choose(
        kOpenCaption,
        "The list holds " + QString::number(count) + (count == 1 ? " texture" : " textures") +
            ".\r\n\r\nAdd the textures of \"" + FileName(dictionary) + "\" to it, or start a new list with them?",
        answers, 0);
    switch (answer) {
        case 0:
            return ListStart::Kept;
        case 1:
            return ListStart::New;
        default:
            return std::nullopt;
    }
}

void TForm1::OpenFromDialog() {
    const QString suggestion = Text(m_workspace.SuggestedTxdPath);
    const QString file = m_prompts.OpenFile(
        {.Filter = kDictionaryFilter,
         .DefaultSuffix = QStringLiteral("txd"),
         .Directory = suggestion.isEmpty() ? Text(m_settings.Folders.Save) : QFileInfo(suggestion).absolutePath()});
    if (!file.isEmpty()) {
        OpenDictionary(file);
    }
}

void TForm1::OpenFromArchive() {
    const QString archive = m_prompts.OpenFile({.Title = QStringLiteral("Open TXD from Archive"),
                                                .Filter = kArchiveFilter,
                                                .Directory = Text(m_settings.Folders.Save)});
    if (archive.isEmpty()) {
        return;
    }
    const QString entry = PickArchiveEntry(archive, ".txd", "Open TXD from " + FileName(archive));
    if (!entry.isEmpty()) {
        OpenDictionary(entry);
    }
}

QString TForm1::PickArchiveEntry(const QString& archive, std::string_view extension, const QString& title) {
    QStringList names;
    QString opened;
    QString damage;  // where the archive is cut short, and its bad entries of the kind
    RunCommand([&] {
        const ImgArchive img = ImgArchive::Open(Utf8Path(archive));
        opened = Text(img.ImgPath());
        if (!img.Directory().Damage.empty()) {
            damage += "\r\n- " + Text(img.Directory().Damage);
        }
        for (const ImgEntry& entry : img.Directory().Entries) {
            if (LowerAscii(FileExtension(entry.Name)) != extension) {
                continue;
            }
            if (entry.Problem.empty()) {
                names << Text(entry.Name);
            } else {
                damage += "\r\n- \"" + Text(entry.Name) + "\": " + Text(entry.Problem);
            }
        }
    });
    if (opened.isEmpty()) {
        return {};  // the error box told why
    }
    if (!damage.isEmpty()) {
        m_prompts.ShowMessage(MessageKind::Warning, title,
                              FileName(archive) + " is damaged; " +
                                  (names.isEmpty() ? QStringLiteral("nothing in it can be opened:")
                                                   : QStringLiteral("what follows cannot be opened:")) +
                                  damage);
        if (names.isEmpty()) {
            return {};
        }
    }
    if (names.isEmpty()) {
        m_prompts.ShowMessage(MessageKind::Information, title,
                              FileName(archive) + " holds no " + Text(std::string(extension)) + " file.");
        return {};
    }
    ArchiveEntryDialog dialog(title, names, this);
    if (m_prompts.RunDialog(dialog) != QDialog::Accepted || dialog.Chosen().isEmpty()) {
        return {};
    }
    return opened + ":" + dialog.Chosen();
}

void TForm1::OpenDictionary(const QString& path) {
    bool fresh = false;
    RunCommand(kOpenCaption, [&] {
        if (const std::optional<ListStart> start = AskListStart(path)) {
            const bool newList = m_workspace.TexList.empty() || start == ListStart::New;
            fresh = OpenDictionaryIn(path, *start) && newList;  // a cancelled opening throws past this
        }
    });
    // A new list as the dictionary holds it has nothing to save.
    if (fresh) {
        m_undo->setClean();
    }
    RefreshTable();
}

bool TForm1::OpenDictionaryIn(const QString& path, ListStart start) {
    const QString dictionary = QFileInfo(path).absoluteFilePath();
    std::string target = DefaultExtractionFolder(Utf8Path(dictionary));
    bool picked = false;
    for (;;) {
        std::optional<ExtractionFolder> folder;
        ExtractionResult extracted;
        try {
            folder.emplace(target);
            const std::unique_ptr<Progress> progress = m_prompts.StartProgress(kOpenCaption);
            extracted = ExtractTxdFile(
                Utf8Path(dictionary), *folder,
                [&](size_t done, size_t total, std::string_view name) {
                    progress->Report(done, total, "Extracting " + Text(std::string(name)));
                },
                m_workspace.Jobs, m_workspace.Cores);
        } catch (const Error& error) {
            // A folder beside the dictionary that cannot be written (a game disc, a read-only
            // share) leaves the user to choose one; a folder the user chose is reported.
            if (picked || error.Kind() != ErrorKind::Write) {
                throw;
            }
            target = PickExtractionFolder(dictionary);
            if (target.empty()) {
                return false;
            }
            picked = true;
            continue;
        }
        if (folder->WasFilled()) {
            const QString chosen = AskAboutFilledFolder(m_prompts, *folder, extracted);
            if (chosen == kCancel) {
                return false;
            }
            if (chosen == kAnotherFolder) {
                target = PickExtractionFolder(dictionary);
                if (target.empty()) {
                    return false;
                }
                picked = true;
                continue;
            }
            if (chosen == kUseThem) {
                folder->KeepExisting();
            }
        }
        if (start == ListStart::New) {
            StartNewList();
        }
        m_workspace.Intake.ProblemText.clear();
        {
            const std::unique_ptr<Progress> progress = m_prompts.StartProgress(kOpenCaption);
            ImportExtractedDictionary(m_workspace, Utf8Path(dictionary), *folder, extracted, m_settings.pwr2lmt,
                                      ReportReading(*progress));
        }
        AdoptVersionStamp();
        std::vector<std::string> names;
        std::vector<std::string> imagePaths;
        for (const ExtractedTexture& texture : extracted.Textures) {
            names.push_back(texture.Name);
            imagePaths.push_back(texture.ImageFile.empty()
                                     ? std::string()
                                     : FromFsPath(ToFsPath(folder->AbsolutePath()) / ToFsPath(texture.ImageFile)));
        }
        // Where the dictionary broke off and what could not be read, the problem box tells.
        Verdict judgement = extracted.Judgement;
        std::erase_if(judgement.Findings,
                      [](const Finding& finding) { return finding.Rule == "damaged" || finding.Rule == "unreadable"; });
        m_findings.Take(judgement, names, imagePaths, m_workspace.TexList);
        RefreshTable();
        ShowProblems(kOpenHeading, QStringLiteral("Opening TXD - Problems"), m_workspace.Intake.ProblemText);
        if (const QString findings = FailingFindingsText(judgement, names); !findings.isEmpty()) {
            m_prompts.ShowMessage(MessageKind::Warning, QStringLiteral("Opening TXD - Findings"), findings);
        }
        return true;
    }
}

std::string TForm1::PickExtractionFolder(const QString& dictionary) {
    const QString folder =
        m_prompts.ChooseFolder({.Title = "Choose a Folder for the Textures of " + FileName(dictionary),
                                .Directory = Text(m_settings.Folders.Save)});
    return folder.isEmpty() ? std::string() : Utf8Path(folder);
}

void TForm1::StartNewList() {
    ClearList(m_workspace.TexList);
    m_workspace.SuggestedTxdPath.clear();
    m_workspace.VersionStamp.reset();
    m_workspace.Target.reset();
    m_findings.Clear();
    ShowKeptVersionStamp();
}

void TForm1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) {
        event->acceptProposedAction();
    }
}

void TForm1::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    event->acceptProposedAction();
    WMDropFiles(paths);
}

}  // namespace vc::gui
