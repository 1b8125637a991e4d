// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QMainWindow>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "entry_findings.h"
#include "list_edit_command.h"
#include "ops/settings.h"
#include "ops/workspace.h"
#include "prompts.h"

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QPushButton;
class QTableView;
class QUndoStack;

namespace vc::gui {

class PreviewPane;
class TexturePreviews;
class TextureTableModel;

// The main window: the texture table, the menu, the column of buttons and the status bar. It
// owns the run's workspace and settings; every command that changes the list ends by refreshing
// the table and the enabling of the commands. Its fixed layout is built in main_window_layout.cpp,
// its commands live in main_window_commands.cpp.
class TForm1 final : public QMainWindow {
    Q_OBJECT

  public:
    TForm1(Prompts& prompts, QString settingsPath, QWidget* parent = nullptr);
    ~TForm1() override;

    // Start-up before the window is shown: caption, registration, settings, empty list, then the
    // files named on the command line.
    void FormCreate(const QStringList& arguments);

    void RefreshTable();
    void ShowDetails();
    void AddFromDialog();
    // Files dropped on the window.
    void WMDropFiles(const QStringList& paths);
    // Takes a dictionary apart into the folder beside it named after it and adds its textures to
    // the list or starts a new list with them. A folder that holds files already, or one that
    // cannot be written, gives the choice of another.
    void OpenDictionary(const QString& path);
    void OpenFromDialog();
    // Opens a dictionary inside a game's archive, chosen from the archive's list of them.
    void OpenFromArchive();
    void BuildTxd();
    // Change: the texture settings of the current entry, or the output choices of several.
    void ChangeTexture();
    void ChangeOutputs(const std::vector<size_t>& selected);
    void RunDFFCheck();
    void ImportTextureList();
    void ExportTextureList();

    const Workspace& CurrentWorkspace() const { return m_workspace; }
    const Settings& CurrentSettings() const { return m_settings; }
    // The current table row, counted from 1.
    int SelectedRow() const { return m_selectedRow; }
    // Makes a row the current one and the only one selected.
    void SelectRow(int row);
    // The entries of the selected rows, in order; the current one when no row is selected.
    std::vector<size_t> SelectedIndices() const;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private slots:
    void ResetTXD1Click();
    void OpenTXD1Click();
    void Button5Click();
    void BuildTXD1Click();
    void Button6Click();
    void ImportList1Click();
    void ExportList1Click();
    void Exit1Click();
    void Add1Click();
    void Button1Click();
    void Change1Click();
    void Button2Click();
    void TableDblClick();
    void DFFCheck1Click();
    void BitBtn1Click();
    void Delete1Click();
    void Button3Click();
    void Button4Click();
    void RemoveAlphas1Click();
    void ByName1Click();
    void ByPath1Click();
    void BySize1Click();
    void ByFormat1Click();
    void Ascending1Click();
    void Descending1Click();
    void BtnUpClick();
    void BtnDownClick();
    void pwr2lmtClick();
    void NewTextureDefaultsClick();
    void PreviewPane1Click(bool shown);
    void verid0Click();
    void verid1Click();
    void verid2Click();
    void uflag0Click();
    void uflag1Click();
    void uflag2Click();
    void ImageFormats1Click();
    void VisitHomepage1Click();
    void SendEmail1Click();
    void About1Click();
    void Licences1Click();
    void TableClick();

  private:
    void CreateControls();
    void CreateMenus();
    QPushButton* CreateButton(const char* name, const QString& caption, const QString& hint, int top, int left = 424,
                              int width = 73);
    QAction* CreateAction(QMenu* menu, const char* name, const QString& caption,
                          const QKeySequence& shortcut = QKeySequence());
    void MarkOptions();
    void ChooseVersion(uint8_t index);
    // A game sets the platform and stamp, and marks its stamp among the versions.
    void ChooseGame(Game game);
    // Takes the version stamp and game of the dictionary or list just opened: those of the menu's
    // are marked there, any other stamp is kept for this list's builds and shown in the status line.
    void AdoptVersionStamp();
    void ShowKeptVersionStamp();
    // Whether the textures of a dictionary about to be opened join the list or start a new one.
    enum class ListStart { Kept, New };

    // Adds files chosen, named at start or dropped as one command: images and lists in a progress
    // box titled with the command, their problems in a box captioned after it; dictionaries among
    // them are opened, folders give the files inside them. An error ends the batch; cancelling
    // takes all of it back.
    void AddOrOpenFiles(const QStringList& chosen, const QString& command);
    // The parts of such a command.
    void AddImages(const std::vector<std::string>& files, const QString& command);
    // When the list holds textures, asks whether the dictionary's join them; empty when cancelled.
    std::optional<ListStart> AskListStart(const QString& dictionary);
    // False when the user cancelled.
    bool OpenDictionaryIn(const QString& dictionary, ListStart start);
    // "ARCHIVE:NAME" for the entry of the kind (".txd", ".dff") the user picks in the archive;
    // empty when cancelled or the archive holds none.
    QString PickArchiveEntry(const QString& archive, std::string_view extension, const QString& title);
    // The folder the user picks for a dictionary's textures; empty when cancelled.
    std::string PickExtractionFolder(const QString& dictionary);
    // Empties the list, which then comes from no dictionary.
    void StartNewList();
    // A warning box of problem blocks under their heading, when there are any.
    void ShowProblems(const QString& heading, const QString& caption, std::string_view problems);
    void ShowError(const QString& text);
    // Runs one command; an error of the platform ends it with the standard error box.
    void RunCommand(const std::function<void()>& command);
    // The same for a command that may edit the list: what it changed becomes one step of the undo
    // stack, named by edit.
    void RunCommand(const QString& edit, const std::function<void()>& command);
    ListState CurrentState() const;
    // Shows a state that the undo stack went back or forth to; where the list came from too when
    // origin is set.
    void ApplyState(const ListState& state, bool origin);
    // The caption names the list's dictionary, and marks changes since it was opened or saved.
    void UpdateCaption();
    // Asks before changes that were not saved are discarded; true to go on.
    bool MayDiscardChanges();
    void SortBy(int key);
    void MoveSelected(int step);
    void FormClose();
    QString Shortened(const std::string& path, int width) const;
    void EnableKeepingFocus(QWidget* control, bool enabled);

    Prompts& m_prompts;
    QString m_settingsPath;
    Workspace m_workspace;
    Settings m_settings;
    EntryFindings m_findings;  // of the last build or opening
    bool m_ascending = true;
    bool m_busy = false;  // a command runs
    int m_selectedRow = 1;
    std::vector<size_t> m_rowsToSelect;  // a command's rows to select besides the current one
    int m_paneGrowth = 0;                // what showing the preview pane added to the window's width

    QUndoStack* m_undo = nullptr;
    TextureTableModel* m_model = nullptr;
    TexturePreviews* m_previews = nullptr;
    TexturePreviews* m_wholePictures = nullptr;  // the preview pane's
    PreviewPane* m_previewPane = nullptr;
    QTableView* Table = nullptr;
    QLabel* m_countPanel = nullptr;
    QLabel* m_detailPanel = nullptr;
    QLabel* m_versionPanel = nullptr;  // shown only while a stamp outside the menu is kept
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* BtnUp = nullptr;
    QPushButton* BtnDown = nullptr;
    QPushButton* Button4 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* Button5 = nullptr;
    QPushButton* Button6 = nullptr;
    QAction* BuildTXD1 = nullptr;
    QAction* ExportList1 = nullptr;
    QAction* Change1 = nullptr;
    QAction* Delete1 = nullptr;
    QAction* RemoveAlphas1 = nullptr;
    QAction* SortKeys[4] = {};
    QAction* pwr2lmt = nullptr;
    QMenu* m_versionMenu = nullptr;
    QAction* verid[4] = {};  // the last one for San Andreas, whose stamp the table lacks
    QAction* gameItems[3] = {};
    QAction* uflag[3] = {};
};

}  // namespace vc::gui
