#include "main_window.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include <QAction>
#include <QActionGroup>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLocale>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>

#include "app_info.h"
#include "dff/chunk_log.h"
#include "dff/dff_check.h"
#include "dff_check_window.h"
#include "io/atomic_file.h"
#include "io/error.h"
#include "io/file_io.h"
#include "io/file_names.h"
#include "io/path_shortening.h"
#include "listfile/texture_list_file.h"
#include "workspace/list_import.h"
#include "platform_registration.h"
#include "texlist/entry_texts.h"
#include "texlist/list_editing.h"
#include "texture_settings_dialog.h"
#include "texture_table_model.h"
#include "txd/build_report.h"
#include "txd/txd_builder.h"

// The button glyphs live in this static library's resources, which must be registered by hand.
static void InitialiseResources() {
    Q_INIT_RESOURCE(resources);
}

namespace vc::gui {

namespace {

constexpr int kClientWidth = 502;
constexpr int kClientHeight = 304;
constexpr int kStatusHeight = 19;
constexpr int kTableWidth = 417;
constexpr int kTableHeight = 281;
constexpr int kCountPanelWidth = 70;
constexpr int kHalfPathWidth = 185;
constexpr int kFullPathWidth = 370;

const QString kAddHeading = QStringLiteral("Some of the files caused errors and could not be added:");
const QString kImportHeading = QStringLiteral("Some of the files in the list caused errors and could not be added:");
const QString kImageFilter = QStringLiteral(
    "All Supported Files|*.bmp; *.jpg; *.jpe; *.jpeg; *.txt|8bit or 24bit Bitmaps (*.bmp)|*.bmp|"
    "JPEG Images (*.jpg; *.jpe; *.jpeg)|*.jpg; *.jpe; *.jpeg|Texture Lists (*.txt)|*.txt");
const QString kDictionaryFilter = QStringLiteral("Texture Dictionaries (*.txd)|*.txd");
const QString kListFilter = QStringLiteral("TXD Texture Lists (*.txt)|*.txt|All Files (*.*)|*.*");
const QString kImageFormatsText = QStringLiteral(
    "The following image formats are supported by Vellumcraft:\r\n\r\n\tBMP 8 bit system palette\r\n"
    "\tBMP 8 bit optimized palette\r\n\tBMP 8 bit greyscale\r\n\r\n\tBMP 24 bit\r\n\r\n\tJPEG 24 bit\r\n\r\n"
    "Image height and width must be divisible by 4, a power of 2\r\n(if option enabled) and at least 4×4 px.");

// The captions that must fit their controls, with the width each control gives its text.
struct FittedText {
    const char* Text;
    int Width;
};
constexpr FittedText kFittedTexts[] = {
    {"Clear Alpha", 73 - 12}, {"DFF Check", 73 - 12}, {"Reset TXD", 73 - 12},   {"Texture Name", 120 - 8},
    {"Alpha Name", 120 - 8},  {"Dimensions", 82 - 8}, {"Format (Out)", 69 - 8}, {"8bit paletted", 69 - 6},
};

// The platform's UI font at the largest pixel size, up to 12, at which every caption fits.
QFont FittingFont(QFont font) {
    for (int size = 12; size > 8; --size) {
        font.setPixelSize(size);
        QFont bold = font;
        bold.setBold(true);
        const QFontMetrics metrics(font);
        const bool fits = std::all_of(std::begin(kFittedTexts), std::end(kFittedTexts), [&](const FittedText& text) {
            return metrics.horizontalAdvance(QString::fromLatin1(text.Text)) <= text.Width;
        });
        if (fits && QFontMetrics(bold).horizontalAdvance(QStringLiteral("Build TXD")) <= 73 - 12) {
            return font;
        }
    }
    font.setPixelSize(8);
    return font;
}

std::string Utf8(const QString& text) {
    return text.toStdString();
}
QString Text(const std::string& utf8) {
    return QString::fromStdString(utf8);
}

// Everything before the last separator of a chosen file: the folder the dialog opens next time.
std::string FolderOf(const QString& file) {
    return Utf8(QFileInfo(file).absolutePath());
}

NumberFormat LocaleNumberFormat() {
    const QLocale locale;
    return {Utf8(locale.groupSeparator()), Utf8(locale.decimalPoint())};
}

}  // namespace

TForm1::TForm1(Prompts& prompts, QString settingsPath, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_settingsPath(std::move(settingsPath)) {
    InitialiseResources();
    setObjectName(QStringLiteral("TForm1"));
    setFont(FittingFont(font()));
    CreateControls();
    CreateMenus();
    setAcceptDrops(true);
    adjustSize();
    setFixedSize(kClientWidth, menuBar()->sizeHint().height() + kClientHeight);
}

TForm1::~TForm1() = default;

void TForm1::CreateControls() {
    auto* client = new QWidget(this);
    client->setFixedSize(kClientWidth, kClientHeight - kStatusHeight);
    setCentralWidget(client);

    m_model = new TextureTableModel(m_workspace.TexList, this);
    Table = new QTableView(client);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setGeometry(0, 0, kTableWidth, kTableHeight);
    Table->setModel(m_model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::SingleSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setWordWrap(false);
    Table->setTextElideMode(Qt::ElideNone);  // a narrow column cuts its text, as a grid does
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setDefaultSectionSize(15);
    Table->horizontalHeader()->setFixedHeight(17);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Table->horizontalHeader()->setHighlightSections(false);
    const int widths[] = {120, 120, 82, 69};
    for (int column = 0; column < 4; ++column) {
        Table->setColumnWidth(column, widths[column]);
    }
    Table->setEnabled(false);
    connect(Table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TForm1::TableClick);
    connect(Table, &QTableView::clicked, this, &TForm1::TableClick);

    Button1 = CreateButton("Button1", "Add", "Add texture(s) to list", 8);
    Button1->setIcon(QIcon(QStringLiteral(":/icons/add.png")));
    Button2 = CreateButton("Button2", "Change", "Change settings for selected texture", 40);
    Button2->setIcon(QIcon(QStringLiteral(":/icons/change.png")));
    Button3 = CreateButton("Button3", "Delete", "Delete selected texture", 72);
    Button3->setIcon(QIcon(QStringLiteral(":/icons/delete.png")));
    BtnUp = CreateButton("BtnUp", "", "Move selected texture up", 104, 424, 33);
    BtnUp->setIcon(QIcon(QStringLiteral(":/icons/up.png")));
    BtnDown = CreateButton("BtnDown", "", "Move selected texture down", 104, 464, 33);
    BtnDown->setIcon(QIcon(QStringLiteral(":/icons/down.png")));
    for (const int top : {136, 208}) {
        auto* rule = new QFrame(client);
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        rule->setGeometry(424, top, 73, 2);
    }
    Button4 = CreateButton("Button4", "Clear Alpha", "Clear alpha channel of selected texture", 144);
    BitBtn1 = CreateButton("BitBtn1", "DFF Check", "Lists which textures are used by a dff model file", 176);
    Button5 = CreateButton("Button5", "Reset TXD", "Delete all textures in list", 216);
    Button6 = CreateButton("Button6", "Build TXD", "Create new .txd file from textures in list", 248);
    QFont bold = Button6->font();
    bold.setBold(true);
    Button6->setFont(bold);

    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TForm1::Button2Click);
    connect(BitBtn1, &QPushButton::clicked, this, &TForm1::BitBtn1Click);
    connect(Table, &QTableView::doubleClicked, this, &TForm1::TableDblClick);
    connect(Button3, &QPushButton::clicked, this, &TForm1::Button3Click);
    connect(BtnUp, &QPushButton::clicked, this, &TForm1::BtnUpClick);
    connect(BtnDown, &QPushButton::clicked, this, &TForm1::BtnDownClick);
    connect(Button4, &QPushButton::clicked, this, &TForm1::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TForm1::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TForm1::Button6Click);
    setTabOrder(Table, Button1);
    QWidget* previous = Button1;
    for (QWidget* next :
         std::initializer_list<QWidget*>{Button2, Button3, BtnUp, BtnDown, Button4, BitBtn1, Button5, Button6}) {
        setTabOrder(previous, next);
        previous = next;
    }

    QStatusBar* status = statusBar();
    status->setObjectName(QStringLiteral("status"));
    status->setFixedHeight(kStatusHeight);
    status->setSizeGripEnabled(false);
    m_countPanel = new QLabel(status);
    m_countPanel->setObjectName(QStringLiteral("CountPanel"));
    m_countPanel->setFixedWidth(kCountPanelWidth);
    m_countPanel->setAlignment(Qt::AlignCenter);
    m_detailPanel = new QLabel(status);
    m_detailPanel->setObjectName(QStringLiteral("DetailPanel"));
    status->addWidget(m_countPanel);
    status->addWidget(m_detailPanel, 1);
}

QPushButton* TForm1::CreateButton(const char* name, const QString& caption, const QString& hint, int top, int left,
                                  int width) {
    auto* button = new QPushButton(caption, centralWidget());
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setGeometry(left, top, width, 25);
    button->setAutoDefault(false);
    return button;
}

QAction* TForm1::CreateAction(QMenu* menu, const char* name, const QString& caption, const QKeySequence& shortcut) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    return action;
}

void TForm1::CreateMenus() {
    QMenu* file = menuBar()->addMenu(QStringLiteral("&File"));
    connect(CreateAction(file, "ResetTXD1", "&Reset TXD", QKeySequence("Ctrl+R")), &QAction::triggered, this,
            &TForm1::ResetTXD1Click);
    BuildTXD1 = CreateAction(file, "BuildTXD1", "&Build TXD", QKeySequence("Ctrl+B"));
    connect(BuildTXD1, &QAction::triggered, this, &TForm1::BuildTXD1Click);
    file->addSeparator();
    connect(CreateAction(file, "DFFCheck1", "&DFF Check...", QKeySequence("Ctrl+C")), &QAction::triggered, this,
            &TForm1::DFFCheck1Click);
    file->addSeparator();
    connect(CreateAction(file, "ImportList1", "&Import List..."), &QAction::triggered, this, &TForm1::ImportList1Click);
    ExportList1 = CreateAction(file, "ExportList1", "&Export List...");
    connect(ExportList1, &QAction::triggered, this, &TForm1::ExportList1Click);
    file->addSeparator();
    connect(CreateAction(file, "Exit1", "&Exit", QKeySequence("Ctrl+X")), &QAction::triggered, this,
            &TForm1::Exit1Click);

    QMenu* edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    connect(CreateAction(edit, "Add1", "&Add", QKeySequence(Qt::Key_Insert)), &QAction::triggered, this,
            &TForm1::Add1Click);
    Change1 = CreateAction(edit, "Change1", "&Change", QKeySequence(Qt::Key_F2));
    connect(Change1, &QAction::triggered, this, &TForm1::Change1Click);
    Delete1 = CreateAction(edit, "Delete1", "&Delete", QKeySequence(Qt::Key_Delete));
    connect(Delete1, &QAction::triggered, this, &TForm1::Delete1Click);
    edit->addSeparator();
    RemoveAlphas1 = CreateAction(edit, "RemoveAlphas1", "&Remove Alphas");
    connect(RemoveAlphas1, &QAction::triggered, this, &TForm1::RemoveAlphas1Click);
    edit->addSeparator();
    QMenu* sort = edit->addMenu(QStringLiteral("&Sort"));
    SortKeys[0] = CreateAction(sort, "ByName1", "By &Name");
    SortKeys[1] = CreateAction(sort, "ByPath1", "By &Path");
    SortKeys[2] = CreateAction(sort, "BySize1", "By Size");
    SortKeys[3] = CreateAction(sort, "ByFormat1", "By &Format");
    connect(SortKeys[0], &QAction::triggered, this, &TForm1::ByName1Click);
    connect(SortKeys[1], &QAction::triggered, this, &TForm1::ByPath1Click);
    connect(SortKeys[2], &QAction::triggered, this, &TForm1::BySize1Click);
    connect(SortKeys[3], &QAction::triggered, this, &TForm1::ByFormat1Click);
    sort->addSeparator();
    auto* direction = new QActionGroup(this);
    QAction* ascending = CreateAction(sort, "Ascending1", "Ascending");
    QAction* descending = CreateAction(sort, "Descending1", "Descending");
    for (QAction* action : {ascending, descending}) {
        action->setCheckable(true);
        direction->addAction(action);
    }
    ascending->setChecked(true);
    connect(ascending, &QAction::triggered, this, &TForm1::Ascending1Click);
    connect(descending, &QAction::triggered, this, &TForm1::Descending1Click);
    edit->addSeparator();
    QMenu* options = edit->addMenu(QStringLiteral("&Options"));
    pwr2lmt = CreateAction(options, "pwr2lmt", "Dimensions Limited to 2^x");
    pwr2lmt->setCheckable(true);
    pwr2lmt->setChecked(true);
    connect(pwr2lmt, &QAction::triggered, this, &TForm1::pwr2lmtClick);
    options->addSeparator();
    QMenu* version = options->addMenu(QStringLiteral("RW Version ID"));
    QMenu* flag = options->addMenu(QStringLiteral("Unknown Flag"));
    auto* versions = new QActionGroup(this);
    auto* flags = new QActionGroup(this);
    const char* const versionNames[] = {"verid0", "verid1", "verid2"};
    const char* const versionCaptions[] = {"0x0800", "0x0C02", "0x1003"};
    const char* const flagNames[] = {"uflag0", "uflag1", "uflag2"};
    const char* const flagCaptions[] = {"0x1101", "0x1102", "0x1106"};
    for (int i = 0; i < 3; ++i) {
        verid[i] = CreateAction(version, versionNames[i], versionCaptions[i]);
        uflag[i] = CreateAction(flag, flagNames[i], flagCaptions[i]);
        verid[i]->setCheckable(true);
        uflag[i]->setCheckable(true);
        versions->addAction(verid[i]);
        flags->addAction(uflag[i]);
    }
    connect(verid[0], &QAction::triggered, this, &TForm1::verid0Click);
    connect(verid[1], &QAction::triggered, this, &TForm1::verid1Click);
    connect(verid[2], &QAction::triggered, this, &TForm1::verid2Click);
    connect(uflag[0], &QAction::triggered, this, &TForm1::uflag0Click);
    connect(uflag[1], &QAction::triggered, this, &TForm1::uflag1Click);
    connect(uflag[2], &QAction::triggered, this, &TForm1::uflag2Click);
    MarkOptions();

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(CreateAction(help, "ImageFormats1", "&Image Formats", QKeySequence(Qt::Key_F1)), &QAction::triggered, this,
            &TForm1::ImageFormats1Click);
    help->addSeparator();
    connect(CreateAction(help, "VisitHomepage1", "&Visit Homepage"), &QAction::triggered, this,
            &TForm1::VisitHomepage1Click);
    connect(CreateAction(help, "SendEmail1", "&Send Email"), &QAction::triggered, this, &TForm1::SendEmail1Click);
    help->addSeparator();
    connect(CreateAction(help, "About1", "&About..."), &QAction::triggered, this, &TForm1::About1Click);
}

void TForm1::MarkOptions() {
    pwr2lmt->setChecked(m_settings.pwr2lmt);
    verid[m_settings.VersionIndex]->setChecked(true);
    uflag[m_settings.FlagIndex]->setChecked(true);
}

void TForm1::FormCreate(const QStringList& arguments) {
    setWindowTitle(kWindowCaption);
    RegisterApplicationPath();
    RunCommand([&] { m_settings = LoadSettings(Utf8(m_settingsPath)); });
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
    AddFiles(existing, QStringLiteral("Adding Files (Parameter) - Problems"));
}

void TForm1::RefreshTable() {
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
        Table->setToolTip(QString());
        m_selectedRow = 1;
    }
    // The selection stays on its row number, inside the rows that exist.
    SelectRow(std::clamp(m_selectedRow, 1, std::max<int>(1, static_cast<int>(count))));
}

void TForm1::SelectRow(int row) {
    m_selectedRow = row;
    Table->setCurrentIndex(m_model->index(row - 1, 0));
    Table->selectRow(row - 1);
    ShowDetails();
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
        return;
    }
    const int row = m_selectedRow;
    const TTexFile& entry = list[static_cast<size_t>(row - 1)];
    QString detail = "Tex. " + QString::number(row) + ": ";
    if (entry.HasAlpha) {
        detail += Shortened(entry.TexPath, kHalfPathWidth) + "; " + Shortened(entry.AlphaPath, kHalfPathWidth);
    } else {
        detail += Shortened(entry.TexPath, kFullPathWidth);
    }
    m_detailPanel->setText(detail);
    Table->setToolTip(Text(DetailText(entry, static_cast<size_t>(row))).replace("\r\n", "\n"));
    Button4->setEnabled(entry.HasAlpha);
    BtnUp->setEnabled(row > 1);
    BtnDown->setEnabled(row < static_cast<int>(list.size()));
}

QString TForm1::Shortened(const std::string& path, int width) const {
    const QFontMetrics metrics(font());
    return Text(ShortenPath(path, width, [&](std::string_view text) {
        return metrics.horizontalAdvance(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    }));
}

template <typename Command>
void TForm1::RunCommand(Command command) {
    try {
        command();
    } catch (const Error& error) {
        ShowError(QString::fromUtf8(error.what()));
    } catch (const std::exception& error) {
        ShowError(QString::fromUtf8(error.what()));
    }
}

void TForm1::ShowError(const QString& text) {
    m_prompts.ShowMessage(MessageKind::Error, kApplicationTitle, text);
}

void TForm1::ShowProblems(const QString& heading, const QString& caption) {
    const std::string& problems = m_workspace.Intake.ProblemText;
    if (!problems.empty()) {
        m_prompts.ShowMessage(MessageKind::Warning, caption, heading + Text(problems));
    }
}

void TForm1::AddFiles(const QStringList& paths, const QString& caption) {
    m_workspace.Intake.ProblemText.clear();
    bool completed = false;
    RunCommand([&] {
        for (const QString& path : paths) {
            AddFile(m_workspace, Utf8(path), m_settings.pwr2lmt);
        }
        completed = true;
    });
    if (!m_workspace.SuggestedTxdPath.empty()) {
        m_saveFileName = Text(m_workspace.SuggestedTxdPath);
    }
    RefreshTable();
    if (completed) {
        ShowProblems(kAddHeading, caption);
    }
}

void TForm1::AddFromDialog() {
    const QStringList files =
        m_prompts.OpenFiles({.Filter = kImageFilter, .Directory = Text(m_settings.Folders.Open), .Preview = true});
    if (files.isEmpty()) {
        return;
    }
    m_settings.Folders.Open = FolderOf(files.front());
    AddFiles(files, QStringLiteral("Adding Files - Problems"));
}

void TForm1::WMDropFiles(const QStringList& paths) {
    AddFiles(paths, QStringLiteral("Drag & Drop Files - Problems"));
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

void TForm1::keyPressEvent(QKeyEvent* event) {
    // Add is the window's default button: Enter triggers it unless a button has the focus.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && qobject_cast<QPushButton*>(focusWidget()) == nullptr) {
        Button1->click();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TForm1::BuildTxd() {
    RunCommand([&] {
        const BuildResult result = [&] {
            const std::unique_ptr<Progress> progress = m_prompts.StartProgress(QStringLiteral("Build TXD"));
            return vc::BuildTxd(m_workspace, m_settings.DictionaryOptions(),
                                [&](size_t done, size_t total, std::string_view name) {
                                    progress->Report(done, total, "Assembling " + Text(std::string(name)));
                                });
        }();
        if (result.Written == 0) {
            return;
        }
        const QString file = m_prompts.SaveFile({.Filter = kDictionaryFilter,
                                                 .DefaultSuffix = QStringLiteral("txd"),
                                                 .Directory = Text(m_settings.Folders.Save),
                                                 .SelectedFile = m_saveFileName,
                                                 .ConfirmOverwrite = true});
        if (file.isEmpty()) {
            return;
        }
        m_saveFileName = file;
        WriteFileAtomically(Utf8(file), result.Bytes);
        m_prompts.ShowMessage(MessageKind::Information, QStringLiteral("Build TXD - Result"),
                              Text(BuildResultText(result.Written, result.Total, FileNamePart(Utf8(file)), result.Size,
                                                   LocaleNumberFormat())));
    });
    RefreshTable();
}

void TForm1::ChangeTexture() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    const int row = m_selectedRow;
    TForm2 dialog(
        m_prompts,
        [this](const std::string& path, size_t slot, TImageInfo& info) {
            return m_workspace.Intake.ReadImageFile(path, slot, false, m_settings.pwr2lmt, info);
        },
        this);
    dialog.setWindowTitle("Change Texture " + QString::number(row));
    dialog.LoadEntry(m_workspace.TexList[static_cast<size_t>(row - 1)]);
    dialog.Button3Click();
    if (m_prompts.RunDialog(dialog) == QDialog::Accepted) {
        dialog.StoreEntry(m_workspace.TexList[static_cast<size_t>(row - 1)]);
    }
    RefreshTable();
}

void TForm1::RunDFFCheck() {
    const QString model = m_prompts.OpenFile({.Filter = QStringLiteral("Model Files (*.dff)|*.dff"),
                                              .DefaultSuffix = QStringLiteral("dff"),
                                              .Directory = Text(m_settings.Folders.OpenDff)});
    if (model.isEmpty()) {
        return;
    }
    m_settings.Folders.OpenDff = FolderOf(model);
    std::optional<ChunkLogRequest> log;
    if (m_settings.dfflog) {
        // The log lives where the settings file does.
        log = ChunkLogRequest{Utf8(QFileInfo(m_settingsPath).absolutePath() + "/dfflog.txt"),
                              LocalDateTimeText(std::chrono::system_clock::now()), LocaleNumberFormat()};
    }
    std::optional<DffCheckResult> result;
    RunCommand([&] { result = RunDffCheck(Utf8(model), m_workspace.TexList, log); });
    if (log && result) {
        m_prompts.OpenUrl(QUrl::fromLocalFile(Text(log->Path)));
    }
    if (!result) {
        return;
    }
    TForm3 window(std::move(*result), this);
    if (m_prompts.RunDialog(window) == QDialog::Accepted) {
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
    RunCommand([&] {
        const std::unique_ptr<Progress> progress = m_prompts.StartProgress(QStringLiteral("Import Texture List"));
        vc::ImportTextureList(m_workspace, Utf8(file), m_settings.pwr2lmt,
                              [&](size_t done, size_t total, std::string_view path) {
                                  progress->Report(done, total, "Reading " + Text(std::string(FileNamePart(path))));
                              });
        m_saveFileName = Text(m_workspace.SuggestedTxdPath);
        completed = true;
    });
    RefreshTable();
    if (completed) {
        ShowProblems(kImportHeading, QStringLiteral("Importing List - Problems"));
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
    RunCommand([&] { vc::ExportTextureList(m_workspace.TexList, Utf8(file)); });
}

void TForm1::SortBy(int key) {
    if (m_workspace.TexList.size() <= 1) {
        return;
    }
    SortList(m_workspace.TexList, static_cast<SortKey>(key), m_ascending);
    RefreshTable();
}

void TForm1::MoveSelected(int step) {
    if (m_workspace.TexList.empty()) {
        return;
    }
    const size_t selected = MoveTexture(m_workspace.TexList, static_cast<size_t>(m_selectedRow - 1), step);
    m_selectedRow = static_cast<int>(selected) + 1;
    RefreshTable();
}

void TForm1::closeEvent(QCloseEvent* event) {
    FormClose();
    event->accept();
}

void TForm1::FormClose() {
    if (!m_saveFileName.isEmpty()) {
        m_settings.Folders.Save = FolderOf(m_saveFileName);
    }
    RunCommand([&] { SaveSettings(Utf8(m_settingsPath), m_settings); });
}

void TForm1::ResetTXD1Click() {
    Button5Click();
}
void TForm1::Button5Click() {
    ClearList(m_workspace.TexList);
    RefreshTable();
}
void TForm1::BuildTXD1Click() {
    BuildTxd();
}
void TForm1::Button6Click() {
    BuildTxd();
}
void TForm1::ImportList1Click() {
    ImportTextureList();
}
void TForm1::ExportList1Click() {
    ExportTextureList();
}
void TForm1::Exit1Click() {
    close();
}
void TForm1::Add1Click() {
    AddFromDialog();
}
void TForm1::Button1Click() {
    AddFromDialog();
}
void TForm1::Change1Click() {
    ChangeTexture();
}
void TForm1::Button2Click() {
    ChangeTexture();
}
void TForm1::TableDblClick() {
    ChangeTexture();
}
void TForm1::DFFCheck1Click() {
    RunDFFCheck();
}
void TForm1::BitBtn1Click() {
    RunDFFCheck();
}
void TForm1::Delete1Click() {
    Button3Click();
}
void TForm1::Button3Click() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    DeleteTexture(m_workspace.TexList, static_cast<size_t>(m_selectedRow - 1));
    RefreshTable();
}
void TForm1::Button4Click() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    ClearAlpha(m_workspace.TexList, static_cast<size_t>(m_selectedRow - 1));
    RefreshTable();
}
void TForm1::RemoveAlphas1Click() {
    if (m_workspace.TexList.empty()) {
        return;
    }
    RemoveAlphas(m_workspace.TexList);
    RefreshTable();
}
void TForm1::ByName1Click() {
    SortBy(0);
}
void TForm1::ByPath1Click() {
    SortBy(1);
}
void TForm1::BySize1Click() {
    SortBy(2);
}
void TForm1::ByFormat1Click() {
    SortBy(3);
}
void TForm1::Ascending1Click() {
    m_ascending = true;
}
void TForm1::Descending1Click() {
    m_ascending = false;
}
void TForm1::BtnUpClick() {
    MoveSelected(-1);
}
void TForm1::BtnDownClick() {
    MoveSelected(+1);
}
void TForm1::pwr2lmtClick() {
    m_settings.pwr2lmt = pwr2lmt->isChecked();
}
void TForm1::verid0Click() {
    m_settings.VersionIndex = 0;
}
void TForm1::verid1Click() {
    m_settings.VersionIndex = 1;
}
void TForm1::verid2Click() {
    m_settings.VersionIndex = 2;
}
void TForm1::uflag0Click() {
    m_settings.FlagIndex = 0;
}
void TForm1::uflag1Click() {
    m_settings.FlagIndex = 1;
}
void TForm1::uflag2Click() {
    m_settings.FlagIndex = 2;
}
void TForm1::ImageFormats1Click() {
    m_prompts.ShowMessage(MessageKind::Plain, kApplicationTitle, kImageFormatsText);
}
void TForm1::VisitHomepage1Click() {
    m_prompts.OpenUrl(QUrl(kHomepage));
}
void TForm1::SendEmail1Click() {
    m_prompts.OpenUrl(QUrl("mailto:" + kMailAddress + "?subject=" + kWindowCaption));
}
void TForm1::About1Click() {
    m_prompts.ShowMessage(MessageKind::Plain, kApplicationTitle,
                          "Vellumcraft\r\nVersion 1.1\r\n" + kReleaseDate + "\r\n\r\n" + kMaker + "\r\n" +
                              kMailAddress + "\r\n" + kHomepage);
}

}  // namespace vc::gui
