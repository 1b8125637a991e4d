// SPDX-License-Identifier: GPL-3.0-or-later
// The window's commands: start and close, the table's refresh, the flows of adding, building,
// changing and checking, and the handlers of the menu items and buttons.
#include "main_window.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>

#include "app_info.h"
#include "archive/archive_address.h"
#include "archive/img_writer.h"
#include "busy_window.h"
#include "dff_check_window.h"
#include "io/atomic_file.h"
#include "io/byte_writer.h"
#include "io/cancellation.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "io/local_date_time.h"
#include "io/number_format.h"
#include "io/path_shortening.h"
#include "io/temporary_file.h"
#include "licence_window.h"
#include "ops/build_report.h"
#include "ops/dff_check.h"
#include "ops/dictionary_import.h"
#include "ops/extraction_folder.h"
#include "ops/folder_contents.h"
#include "ops/list_import.h"
#include "ops/txd_builder.h"
#include "output_dialog.h"
#include "platform_registration.h"
#include "preview_pane.h"
#include "rw/chunk_log.h"
#include "rw/txd_format.h"
#include "rw/version_stamp.h"
#include "texlist/entry_texts.h"
#include "texlist/image_kinds.h"
#include "texlist/list_editing.h"
#include "texlist/problem_summary.h"
#include "texlist/texture_list_file.h"
#include "texture_settings_dialog.h"
#include "texture_table_model.h"
#include "window_placement.h"
#include "window_text.h"

namespace vc::gui {

namespace {

constexpr int kHalfPathWidth = 185;
constexpr int kFullPathWidth = 370;

const QString kImportHeading = QStringLiteral("Some of the files in the list caused errors and could not be added:");
const QString kListFilter = QStringLiteral("TXD Texture Lists (*.txt)|*.txt|All Files (*.*)|*.*");
const QString kImageFormatsList = QStringLiteral(
    "The following image formats are supported by Vellumcraft:\r\n\r\n\tBMP 8 bit system palette\r\n"
    "\tBMP 8 bit optimized palette\r\n\tBMP 8 bit greyscale\r\n\r\n\tBMP 24 bit\r\n\tBMP 32 bit with an alpha mask\r\n"
    "\r\n\tJPEG 24 bit\r\n\r\n\tPNG paletted, grey, RGB and RGBA, 16 bit channels, interlaced\r\n\r\n"
    "\tTGA colour-mapped, true-colour and grey, uncompressed and RLE,\r\n\t8, 15, 16, 24 and 32 bit\r\n\r\n"
    "\tDDS DXT1, DXT3, DXT5, 8888, 888, 565, 1555, 4444, 555, L8, P8,\r\n"
    "\twith or without mipmaps; written as stored\r\n\r\n"
    "An image's own alpha channel becomes the texture's alpha unless an\r\nalpha image is set; "
    "its mask is named after the texture with \"a\" appended.\r\n\r\n");
const QString kImageLimits = QStringLiteral(
    "Image height and width must be divisible by 4, a power of 2\r\n(if option enabled) and at least 4×4 px.");

// The formats read, the formats written (named as the texture settings offer them) and the limits.
QString ImageFormatsText() {
    QStringList written;
    for (const TextureFormat format : OutputFormats()) {
        written << Text(OutputFormatName(format));
    }
    return kImageFormatsList +
           "A texture is written as its image is or in a format set in its texture settings:\r\n\t" +
           written.join(", ") + ",\r\neach with or without mipmaps.\r\n\r\n" + kImageLimits;
}

NumberFormat LocaleNumberFormat() {
    const QLocale locale;
    return {Utf8(locale.groupSeparator()), Utf8(locale.decimalPoint())};
}

}  // namespace

void TForm1::FormCreate(const QStringList& arguments) {
    setWindowTitle(kWindowCaption);
    RegisterApplicationPath();
    RunCommand([&] { m_settings = LoadSettings(Utf8(m_settingsPath)); });
    RestoreSize(*this, m_settings.MainWindow);
    MarkOptions();
    ClearList(m_workspace.TexList);
    RefreshTable();
    m_workspace.Intake.ProblemText.clear();
    QStringList existing;
    for (const QString& argument : arguments) {
        // Named relative to the folder the program started in; the list keeps where they are.
        if (IsExistingFile(Utf8(argument))) {
            existing << QFileInfo(argument).absoluteFilePath();
        }
    }
    AddOrOpenFiles(existing, QStringLiteral("Adding Files (Parameter)"));
}

void TForm1::RefreshTable() {
    UpdateCaption();
    const std::vector<size_t> alsoSelected = std::exchange(m_rowsToSelect, {});
    const size_t count = m_workspace.TexList.size();
    const bool any = count > 0;
    m_model->Refresh();
    for (QWidget* control : std::initializer_list<QWidget*>{Table, Button2, Button3, Button6}) {
        control->setEnabled(any);
    }
    for (QAction* action : {Change1, Delete1, BuildTXD1, ExportList1, RemoveAlphas1}) {
        action->setEnabled(any);
    }
    for (QAction* action : SortKeys) {
        action->setEnabled(any);
    }
    m_countPanel->setText(QString::number(count) + " Textures");
    if (!any) {
        Button4->setEnabled(false);
        BtnUp->setEnabled(false);
        BtnDown->setEnabled(false);
        m_detailPanel->clear();
        m_previewPane->ShowEntry(nullptr);
        Table->setToolTip(QString());
        m_selectedRow = 1;
        return;  // the blank row under the headers is never selected
    }
    // The selection stays on its row number, inside the rows that exist.
    SelectRow(std::clamp(m_selectedRow, 1, static_cast<int>(count)));
    // One selection of runs of rows, so that the table and the details hear of it once.
    QItemSelection rows;
    for (size_t i = 0; i < alsoSelected.size() && alsoSelected[i] < count;) {
        size_t last = i;
        while (last + 1 < alsoSelected.size() && alsoSelected[last + 1] == alsoSelected[last] + 1 &&
               alsoSelected[last + 1] < count) {
            ++last;
        }
        rows.select(m_model->index(static_cast<int>(alsoSelected[i]), 0),
                    m_model->index(static_cast<int>(alsoSelected[last]), 0));
        i = last + 1;
    }
    if (!rows.isEmpty()) {
        Table->selectionModel()->select(rows, QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
    ShowDetails();
}

void TForm1::SelectRow(int row) {
    m_selectedRow = row;
    Table->selectionModel()->setCurrentIndex(m_model->index(row - 1, 0),
                                             QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    ShowDetails();
}

std::vector<size_t> TForm1::SelectedIndices() const {
    std::vector<size_t> indices;
    for (const QModelIndex& index : Table->selectionModel()->selectedRows()) {
        if (static_cast<size_t>(index.row()) < m_workspace.TexList.size()) {
            indices.push_back(static_cast<size_t>(index.row()));
        }
    }
    std::sort(indices.begin(), indices.end());
    if (indices.empty() && !m_workspace.TexList.empty()) {
        indices.push_back(static_cast<size_t>(m_selectedRow - 1));
    }
    return indices;
}

void TForm1::TableClick() {
    const int row = Table->currentIndex().row() + 1;
    if (row >= 1) {
        m_selectedRow = row;
    }
    ShowDetails();
}

void TForm1::ShowDetails() {
    const TextureList& list = m_workspace.TexList;
    if (list.empty()) {
        m_detailPanel->clear();
        m_previewPane->ShowEntry(nullptr);
        return;
    }
    if (m_selectedRow < 1 || static_cast<size_t>(m_selectedRow) > list.size()) {
        return;  // between an edit and the refresh that selects again
    }
    const int row = m_selectedRow;
    const TTexFile& entry = list[static_cast<size_t>(row - 1)];
    QString detail = "Tex. " + QString::number(row) + ": ";
    if (entry.HasAlpha) {
        detail += Shortened(entry.TexPath, kHalfPathWidth) + "; " + Shortened(entry.AlphaPath, kHalfPathWidth);
    } else if (UsesImageAlpha(entry)) {
        detail += Shortened(entry.TexPath, kFullPathWidth - kHalfPathWidth / 2) + "; its own alpha";
    } else {
        detail += Shortened(entry.TexPath, kFullPathWidth);
    }
    m_detailPanel->setText(detail);
    m_previewPane->ShowEntry(&entry);
    Table->setToolTip(Text(DetailText(entry, static_cast<size_t>(row))).replace("\r\n", "\n"));
    const std::vector<size_t> selected = SelectedIndices();
    EnableKeepingFocus(Button4, std::any_of(selected.begin(), selected.end(),
                                            [&](size_t i) { return list[i].HasAlpha || UsesImageAlpha(list[i]); }));
    EnableKeepingFocus(BtnUp, selected.front() > 0);
    EnableKeepingFocus(BtnDown, selected.back() + 1 < list.size());
}

void TForm1::EnableKeepingFocus(QWidget* control, bool enabled) {
    // A control that loses its enabling hands the focus to the table, not to the next button, where
    // Space or Enter would start something else.
    if (!enabled && control->hasFocus() && Table->isEnabled()) {
        Table->setFocus(Qt::OtherFocusReason);
    }
    control->setEnabled(enabled);
}

QString TForm1::Shortened(const std::string& path, int width) const {
    const QFontMetrics metrics(font());
    return Text(ShortenPath(path, width, [&](std::string_view text) {
        return metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }));
}

void TForm1::RunCommand(const std::function<void()>& command) {
    RunCommand(QString(), command);
}

void TForm1::RunCommand(const QString& edit, const std::function<void()>& command) {
    // One command at a time: input for the window waits, and what arrives anyway is dropped.
    if (m_busy) {
        return;
    }
    TextureList before = m_workspace.TexList;
    const ListState stateBefore = CurrentState();
    const Settings settingsBefore = m_settings;
    {
        m_busy = true;
        // However the command ends.
        const struct Idle {
            bool& Busy;
            ~Idle() { Busy = false; }
        } idle{m_busy};
        const BusyWindow busy(*this);
        try {
            command();
        } catch (const Cancelled&) {
            // A cancelled command leaves the list as it found it, and where it came from.
            m_workspace.TexList = before;
            m_workspace.SuggestedTxdPath = stateBefore.SuggestedTxdPath;
            m_workspace.VersionStamp = stateBefore.VersionStamp;
            m_workspace.Target = stateBefore.Target;
            // And the options as they were before a dictionary or list it opened set its stamp.
            m_settings.VersionIndex = settingsBefore.VersionIndex;
            m_settings.TargetGame = settingsBefore.TargetGame;
            MarkOptions();
            ShowKeptVersionStamp();
        } catch (const std::exception& error) {
            ShowError(QString::fromUtf8(error.what()));
        }
    }
    // Pushed once the window takes commands again, so that Undo is enabled as the stack says.
    if (edit.isEmpty()) {
        return;
    }
    ListChange change = ChangeBetween(std::move(before), m_workspace.TexList);
    const ListState stateAfter = CurrentState();
    if (change.Empty() && stateAfter.SuggestedTxdPath == stateBefore.SuggestedTxdPath &&
        stateAfter.VersionStamp == stateBefore.VersionStamp && stateAfter.Target == stateBefore.Target) {
        return;
    }
    m_undo->push(new ListEditCommand(edit, m_workspace.TexList, std::move(change), stateBefore, stateAfter,
                                     [this](const ListState& state, bool origin) { ApplyState(state, origin); }));
}

ListState TForm1::CurrentState() const {
    return {m_workspace.SuggestedTxdPath, m_workspace.VersionStamp, m_workspace.Target, m_selectedRow};
}

void TForm1::ApplyState(const ListState& state, bool origin) {
    if (origin) {
        m_workspace.SuggestedTxdPath = state.SuggestedTxdPath;
        m_workspace.VersionStamp = state.VersionStamp;
        m_workspace.Target = state.Target;
        AdoptVersionStamp();
    }
    m_selectedRow = state.SelectedRow;
    RefreshTable();
}

void TForm1::UpdateCaption() {
    QString caption = kWindowCaption;
    // A new list that is empty again has nothing to name or to save.
    if (m_workspace.TexList.empty() && m_workspace.SuggestedTxdPath.empty()) {
        setWindowTitle(caption);
        return;
    }
    if (!m_workspace.SuggestedTxdPath.empty()) {
        caption += " - " + Text(std::string(FileNamePart(m_workspace.SuggestedTxdPath)));
    }
    if (!m_undo->isClean()) {
        caption += " *";
    }
    setWindowTitle(caption);
}

bool TForm1::MayDiscardChanges() {
    return m_undo->isClean() || m_workspace.TexList.empty() ||
           m_prompts.Ask(kApplicationTitle, QStringLiteral("Discard the changes to the list?"));
}

void TForm1::ShowError(const QString& text) {
    m_prompts.ShowMessage(MessageKind::Error, kApplicationTitle, text);
}

void TForm1::ShowProblems(const QString& heading, const QString& caption, std::string_view problems) {
    if (!problems.empty()) {
        const std::string summary = ProblemSummary(problems);
        m_prompts.ShowMessage(
            MessageKind::Warning, caption,
            (summary.empty() ? QString() : Text(summary) + "\r\n\r\n") + heading + Text(std::string(problems)));
    }
}

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Add is the window's default button: Enter presses it unless a button has the focus, which
    // takes Enter itself.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && qobject_cast<QPushButton*>(focusWidget()) == nullptr) {
        Button1->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TForm1::BuildTxd() {
    // Entries left out of the build leave their blocks behind the problems reported before it.
    const size_t problemsBefore = m_workspace.Intake.ProblemText.size();
    bool assembled = false;
    RunCommand([&] {
        // The dictionary waits on disk while the user chooses where it goes, in the folder the Save
        // dialog opens where it can, so that saving there is a rename.
        const std::string likelyFolder = m_workspace.SuggestedTxdPath.empty()
                                             ? m_settings.Folders.Save
                                             : FolderOf(Text(m_workspace.SuggestedTxdPath));
        TemporaryFile dictionary(FromFsPath(ToFsPath(ScratchFolder(likelyFolder)) / ".vellumcraft-build-XXXXXX"));
        const BuildResult result = [&] {
            const std::unique_ptr<Progress> progress = m_prompts.StartProgress(QStringLiteral("Build TXD"));
            TxdOptions options = m_settings.DictionaryOptions();
            options.KeptStamp = m_workspace.VersionStamp;
            return BuildTxdInto(dictionary, m_workspace, options,
                                [&](size_t done, size_t total, std::string_view name) {
                                    progress->Report(done, total, "Assembling " + Text(std::string(name)));
                                });
        }();
        assembled = true;
        std::vector<std::string> imagePaths;
        for (const size_t entry : result.Entries) {
            imagePaths.push_back(m_workspace.TexList[entry].TexPath);
        }
        m_findings.Take(result.Judgement, result.Names, imagePaths, m_workspace.TexList);
        if (result.Written == 0) {
            return;
        }
        // A dictionary opened from an archive may go back into it; else it is saved beside it.
        const std::optional<ArchiveAddress> archived = ArchiveAddressOf(m_workspace.SuggestedTxdPath);
        std::string written;
        if (archived &&
            m_prompts.Ask(QStringLiteral("Build TXD"), "Put " + Text(archived->Entry) + " back into " +
                                                           Text(std::string(FileNamePart(archived->Archive))) + "?")) {
            ByteWriter bytes;
            dictionary.CopyTo(bytes);
            PutImgEntries(archived->Archive, {{archived->Entry, bytes.Take()}});
            written = archived->Entry;
        } else {
            const std::string suggestion =
                archived ? FromFsPath(ToFsPath(archived->Archive).parent_path() / ToFsPath(archived->Entry))
                         : m_workspace.SuggestedTxdPath;
            const QString file = m_prompts.SaveFile({.Filter = kDictionaryFilter,
                                                     .DefaultSuffix = QStringLiteral("txd"),
                                                     .Directory = Text(m_settings.Folders.Save),
                                                     .SelectedFile = Text(suggestion),
                                                     .ConfirmOverwrite = true});
            if (file.isEmpty()) {
                return;
            }
            // The suggestion is the Build dialog's file name: the user's choice stands until the next.
            m_workspace.SuggestedTxdPath = Utf8Path(file);
            PutInPlace(dictionary, Utf8Path(file));
            written = std::string(FileNamePart(Utf8(file)));
        }
        m_undo->setClean();
        const QString report =
            Text(BuildResultText(result.Written, result.Total, written, result.Size, LocaleNumberFormat()));
        const QString findings = FailingFindingsText(result.Judgement, result.Names);
        m_prompts.ShowMessage(findings.isEmpty() ? MessageKind::Information : MessageKind::Warning,
                              QStringLiteral("Build TXD - Result"),
                              findings.isEmpty() ? report : report + "\r\n\r\n" + findings);
    });
    RefreshTable();
    if (assembled) {
        ShowProblems(Text(std::string(kBuildProblemsHeading)), QStringLiteral("Build TXD - Problems"),
                     std::string_view(m_workspace.Intake.ProblemText).substr(problemsBefore));
    }
}

void TForm1::ChangeTexture() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    const std::vector<size_t> selected = SelectedIndices();
    if (selected.size() > 1) {
        ChangeOutputs(selected);
        return;
    }
    const int row = m_selectedRow;
    // Images chosen for an entry taken from a dictionary may be what its own were: of its kept size,
    // 4-bit for PAL4.
    const IntakeRules rules = EntryRules(m_workspace.TexList[static_cast<size_t>(row - 1)].Output, m_settings.pwr2lmt);
    TForm2 dialog(
        m_prompts,
        [this, rules](const std::string& path, size_t slot, TImageInfo& info) {
            // The reasons are told at once; the next batch's report does not hold them.
            std::string& problems = m_workspace.Intake.ProblemText;
            const size_t before = problems.size();
            if (m_workspace.Intake.ReadImageFile(path, slot, false, rules, info)) {
                return std::optional<std::string>();
            }
            std::optional<std::string> reasons = RefusalReasons(std::string_view(problems).substr(before));
            problems.resize(before);
            return reasons;
        },
        *m_previews, this);
    dialog.setWindowTitle("Change Texture " + QString::number(row));
    dialog.LoadEntry(m_workspace.TexList[static_cast<size_t>(row - 1)]);
    dialog.Button3Click();
    if (m_prompts.RunDialog(dialog) == QDialog::Accepted) {
        RunCommand(QStringLiteral("Change"),
                   [&] { dialog.StoreEntry(m_workspace.TexList[static_cast<size_t>(row - 1)]); });
    }
    RefreshTable();
}

void TForm1::ChangeOutputs(const std::vector<size_t>& selected) {
    std::vector<TextureOutput> outputs;
    for (const size_t index : selected) {
        outputs.push_back(m_workspace.TexList[index].Output);
    }
    OutputDialog dialog("Change " + QString::number(selected.size()) + " Textures", outputs, this);
    if (m_prompts.RunDialog(dialog) == QDialog::Accepted) {
        RunCommand(QStringLiteral("Change"), [&] {
            m_rowsToSelect = selected;
            SetOutputs(m_workspace.TexList, selected, dialog.Chosen(), dialog.ChosenFields());
        });
    } else {
        m_rowsToSelect = selected;
    }
    RefreshTable();
}

void TForm1::RunDFFCheck() {
    QString model = m_prompts.OpenFile({.Filter = QStringLiteral("Model Files (*.dff)|*.dff|") + kArchiveFilter,
                                        .DefaultSuffix = QStringLiteral("dff"),
                                        .Directory = Text(m_settings.Folders.OpenDff)});
    if (model.isEmpty()) {
        return;
    }
    m_settings.Folders.OpenDff = FolderOf(model);
    // A model inside a game's archive is chosen from the archive's list of them.
    if (IsImgArchivePath(Utf8(model))) {
        model = PickArchiveEntry(model, ".dff", "DFF Check in " + QFileInfo(model).fileName());
        if (model.isEmpty()) {
            return;
        }
    }
    std::optional<ChunkLogRequest> log;
    if (m_settings.dfflog) {
        // The log lives where the settings file does.
        log = ChunkLogRequest{Utf8Path(QFileInfo(m_settingsPath).absolutePath() + "/dfflog.txt"),
                              LocalDateTimeText(std::chrono::system_clock::now()), LocaleNumberFormat()};
    }
    std::optional<DffCheckResult> result;
    RunCommand([&] { result = RunDffCheck(Utf8Path(model), m_workspace.TexList, log); });
    if (log && result) {
        m_prompts.OpenUrl(QUrl::fromLocalFile(Text(log->Path)));
    }
    if (!result) {
        return;
    }
    if (!result->CutShortNote.empty()) {
        m_prompts.ShowMessage(MessageKind::Warning, QStringLiteral("DFF Check"), Text(result->CutShortNote));
    }
    TForm3 window(std::move(*result), this);
    const QSize opening = window.size();
    RestoreSize(window, m_settings.DffWindow);
    const int answer = m_prompts.RunDialog(window);
    m_settings.DffWindow = KeptSize(window, opening);
    if (answer == QDialog::Accepted) {
        AddFromDialog();
    }
}

void TForm1::ImportTextureList() {
    const QString file = m_prompts.OpenFile({.Title = QStringLiteral("Import Texture List"),
                                             .Filter = kListFilter,
                                             .DefaultSuffix = QStringLiteral("txt"),
                                             .Directory = Text(m_settings.Folders.OpenList)});
    if (file.isEmpty()) {
        return;
    }
    m_settings.Folders.OpenList = FolderOf(file);
    m_workspace.Intake.ProblemText.clear();
    bool completed = false;
    const bool fresh = m_workspace.TexList.empty();
    RunCommand(QStringLiteral("Import List"), [&] {
        const std::unique_ptr<Progress> progress = m_prompts.StartProgress(QStringLiteral("Import Texture List"));
        vc::ImportTextureList(m_workspace, Utf8Path(file), m_settings.pwr2lmt, ReportReading(*progress));
        AdoptVersionStamp();
        completed = true;
    });
    // A new list as the file holds it has nothing to save.
    if (completed && fresh) {
        m_undo->setClean();
    }
    RefreshTable();
    if (completed) {
        ShowProblems(kImportHeading, QStringLiteral("Importing List - Problems"), m_workspace.Intake.ProblemText);
    }
}

void TForm1::ExportTextureList() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    const QString file = m_prompts.SaveFile({.Title = QStringLiteral("Export Texture List"),
                                             .Filter = kListFilter,
                                             .DefaultSuffix = QStringLiteral("txt"),
                                             .Directory = Text(m_settings.Folders.SaveList),
                                             .ConfirmOverwrite = true});
    if (file.isEmpty()) {
        return;
    }
    m_settings.Folders.SaveList = FolderOf(file);
    RunCommand([&] {
        vc::ExportTextureList(m_workspace.TexList, Utf8Path(file), m_workspace.VersionStamp, m_workspace.Target);
        m_undo->setClean();
    });
}

void TForm1::SortBy(int key) {
    if (m_workspace.TexList.size() <= 1) {
        return;
    }
    RunCommand(QStringLiteral("Sort"), [&] { SortList(m_workspace.TexList, static_cast<SortKey>(key), m_ascending); });
    RefreshTable();
}

void TForm1::MoveSelected(int step) {
    if (m_workspace.TexList.empty()) {
        return;
    }
    RunCommand(QStringLiteral("Move"), [&] {
        const std::vector<size_t> selected = SelectedIndices();
        const auto current = std::find(selected.begin(), selected.end(), static_cast<size_t>(m_selectedRow - 1));
        m_rowsToSelect = MoveTextures(m_workspace.TexList, selected, step);
        m_selectedRow = static_cast<int>(m_rowsToSelect[static_cast<size_t>(current - selected.begin())]) + 1;
    });
    RefreshTable();
}

void TForm1::closeEvent(QCloseEvent* event) {
    // A command that runs is cancelled in its own progress box, not by closing the window under it.
    if (m_busy || !MayDiscardChanges()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

void TForm1::FormClose() {
    if (!m_workspace.SuggestedTxdPath.empty()) {
        m_settings.Folders.Save = FolderOf(Text(m_workspace.SuggestedTxdPath));
    }
    m_settings.MainWindow = KeptSize(*this, minimumSize());
    RunCommand([&] { SaveSettings(Utf8(m_settingsPath), m_settings); });
}

// "&Reset TXD" (Ctrl+R)
void TForm1::ResetTXD1Click() {
    Button5Click();
}
// "Reset TXD"
void TForm1::Button5Click() {
    if (!MayDiscardChanges()) {
        return;
    }
    StartNewList();
    m_undo->clear();
    RefreshTable();
}
// "&Open TXD..." (Ctrl+O)
void TForm1::OpenTXD1Click() {
    OpenFromDialog();
}
// "&Build TXD" (Ctrl+B)
void TForm1::BuildTXD1Click() {
    BuildTxd();
}
// "Build TXD"
void TForm1::Button6Click() {
    BuildTxd();
}
// "&Import List..."
void TForm1::ImportList1Click() {
    ImportTextureList();
}
// "&Export List..."
void TForm1::ExportList1Click() {
    ExportTextureList();
}
// "&Exit" (Ctrl+X)
void TForm1::Exit1Click() {
    close();
}
// "&Add" (Ins)
void TForm1::Add1Click() {
    AddFromDialog();
}
// "Add", and Enter where no button has the focus
void TForm1::Button1Click() {
    AddFromDialog();
}
// "&Change" (F2)
void TForm1::Change1Click() {
    ChangeTexture();
}
// "Change"
void TForm1::Button2Click() {
    ChangeTexture();
}
// a double click in the table
void TForm1::TableDblClick() {
    ChangeTexture();
}
// "&DFF Check..." (Ctrl+C)
void TForm1::DFFCheck1Click() {
    RunDFFCheck();
}
// "DFF Check"
void TForm1::BitBtn1Click() {
    RunDFFCheck();
}
// "&Delete" (Del)
void TForm1::Delete1Click() {
    Button3Click();
}
// "Delete"
void TForm1::Button3Click() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    RunCommand(QStringLiteral("Delete"),
               [&] { m_selectedRow = static_cast<int>(DeleteTextures(m_workspace.TexList, SelectedIndices())) + 1; });
    RefreshTable();
}
// "Clear Alpha"
void TForm1::Button4Click() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    RunCommand(QStringLiteral("Clear Alpha"), [&] {
        m_rowsToSelect = SelectedIndices();
        ClearAlphas(m_workspace.TexList, m_rowsToSelect);
    });
    RefreshTable();
}
// "&Remove Alphas"
void TForm1::RemoveAlphas1Click() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    RunCommand(QStringLiteral("Remove Alphas"), [&] { RemoveAlphas(m_workspace.TexList); });
    RefreshTable();
}
// "By &Name"
void TForm1::ByName1Click() {
    SortBy(0);
}
// "By &Path"
void TForm1::ByPath1Click() {
    SortBy(1);
}
// "By Size"
void TForm1::BySize1Click() {
    SortBy(2);
}
// "By &Format"
void TForm1::ByFormat1Click() {
    SortBy(3);
}
// "Ascending"
void TForm1::Ascending1Click() {
    m_ascending = true;
}
// "Descending"
void TForm1::Descending1Click() {
    m_ascending = false;
}
// the up arrow button
void TForm1::BtnUpClick() {
    MoveSelected(-1);
}
// the down arrow button
void TForm1::BtnDownClick() {
    MoveSelected(+1);
}
// "Dimensions Limited to 2^x"
void TForm1::pwr2lmtClick() {
    m_settings.pwr2lmt = pwr2lmt->isChecked();
}
// "&Preview Pane" (F3)
void TForm1::PreviewPane1Click(bool shown) {
    constexpr int kPaneWidth = 320;
    auto* split = static_cast<QSplitter*>(m_previewPane->parentWidget());
    const int tableWidth = Table->width();
    const int besideTable = kPaneWidth + split->handleWidth();
    // The window grows by the pane, as far as the screen has room, and shrinks by what it grew, so
    // that the table keeps its width; where the screen has no room the pane takes it from the table.
    if (!isMaximized() && !isFullScreen()) {
        const QRect screen = this->screen()->availableGeometry();
        const QRect frame = frameGeometry();
        if (shown) {
            const int room = std::max(0, screen.width() - frame.width());
            m_paneGrowth = std::min(besideTable, room);
            resize(width() + m_paneGrowth, height());
            // Kept on the screen: the buttons' column at the right edge must stay in reach.
            const int overhang = frameGeometry().right() - screen.right();
            if (overhang > 0) {
                move(x() - overhang, y());
            }
        } else {
            resize(std::max(minimumWidth(), width() - m_paneGrowth), height());
            m_paneGrowth = 0;
        }
    }
    m_previewPane->setVisible(shown);
    if (shown) {
        split->setSizes({std::max(tableWidth - (besideTable - m_paneGrowth), 0), kPaneWidth});
        ShowDetails();
    }
}

// "Defaults for New Textures..."
void TForm1::NewTextureDefaultsClick() {
    OutputDialog dialog(QStringLiteral("Defaults for New Textures"), {m_settings.NewTextures}, this);
    if (m_prompts.RunDialog(dialog) == QDialog::Accepted) {
        m_settings.NewTextures = dialog.Chosen();
    }
}
// "0x0800"
void TForm1::verid0Click() {
    ChooseVersion(0);
}
// "0x0C02"
void TForm1::verid1Click() {
    ChooseVersion(1);
}
// "0x1003"
void TForm1::verid2Click() {
    ChooseVersion(2);
}

// A stamp the user chooses wins over the one the list came with, and over any game.
void TForm1::ChooseVersion(uint8_t index) {
    m_settings.VersionIndex = index;
    m_settings.TargetGame.reset();
    m_workspace.VersionStamp.reset();
    m_workspace.Target.reset();
    MarkOptions();
    ShowKeptVersionStamp();
}

void TForm1::ChooseGame(Game game) {
    m_settings.TargetGame = game;
    m_settings.VersionIndex =
        static_cast<uint8_t>(VersionIndexOf(TargetOf(game).Stamp).value_or(m_settings.VersionIndex));
    m_workspace.VersionStamp.reset();
    m_workspace.Target.reset();
    MarkOptions();
    ShowKeptVersionStamp();
}

void TForm1::AdoptVersionStamp() {
    const std::optional<uint32_t> stamp = m_workspace.VersionStamp;
    // A list that names neither leaves the options as the user set them.
    if (stamp || m_workspace.Target) {
        m_settings.TargetGame = m_workspace.Target;
        if (const std::optional<size_t> index = stamp ? VersionIndexOf(*stamp) : std::nullopt) {
            m_settings.VersionIndex = static_cast<uint8_t>(*index);
        }
        MarkOptions();
    }
    ShowKeptVersionStamp();
}

void TForm1::ShowKeptVersionStamp() {
    const std::optional<uint32_t> stamp = m_workspace.VersionStamp;
    const std::optional<Game> game = m_settings.TargetGame;
    const bool outsideMenu = stamp && !VersionIndexOf(*stamp) && !(game && TargetOf(*game).Stamp == *stamp);
    m_versionPanel->setVisible(outsideMenu);
    if (outsideMenu) {
        const QString version = Text(VersionText(DecodeVersionStamp(*stamp)));
        m_versionPanel->setText("RW " + Text(HexText(*stamp, 8)) + " (" + version + ")");
        m_versionPanel->setToolTip("RW Version ID " + Text(HexText(*stamp, 8)) + " (RenderWare " + version +
                                   "), the stamp this list came with, is kept for its builds.\nChoosing one "
                                   "under Edit › Options › RW Version ID replaces it.");
    }
}
// "0x1101"
void TForm1::uflag0Click() {
    m_settings.FlagIndex = 0;
}
// "0x1102"
void TForm1::uflag1Click() {
    m_settings.FlagIndex = 1;
}
// "0x1106"
void TForm1::uflag2Click() {
    m_settings.FlagIndex = 2;
}
// "&Image Formats" (F1)
void TForm1::ImageFormats1Click() {
    m_prompts.ShowMessage(MessageKind::Plain, kApplicationTitle, ImageFormatsText());
}
// "&Visit Homepage"
void TForm1::VisitHomepage1Click() {
    m_prompts.OpenUrl(QUrl(kHomepage));
}
// "&Send Email"
void TForm1::SendEmail1Click() {
    m_prompts.OpenUrl(QUrl("mailto:" + kMailAddress + "?subject=" + kWindowCaption));
}
// "&About..."
void TForm1::About1Click() {
    m_prompts.ShowMessage(MessageKind::Plain, kApplicationTitle,
                          "Vellumcraft\r\n" + kAboutVersionLine + "\r\n" + kReleaseDate + "\r\n\r\n" + kMaker + "\r\n" +
                              kMailAddress + "\r\n" + kHomepage);
}
// "&Licences..."
void TForm1::Licences1Click() {
    LicenceWindow window(this);
    m_prompts.RunDialog(window);
}

}  // namespace vc::gui
