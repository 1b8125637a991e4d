// SPDX-License-Identifier: GPL-3.0-or-later
// The window's fixed layout: its controls, menus and the font the captions are fitted to.
#include "main_window.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QUndoStack>

#include "anchors.h"
#include "grid_view.h"
#include "io/number_format.h"
#include "preview_pane.h"
#include "program_cores.h"
#include "texlist/list_editing.h"
#include "texture_previews.h"
#include "texture_table_model.h"
#include "texture_tool_tip.h"
#include "window_placement.h"
#include "window_text.h"

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

}  // namespace

TForm1::TForm1(Prompts& prompts, QString settingsPath, QWidget* parent)
    : QMainWindow(parent), m_prompts(prompts), m_settingsPath(std::move(settingsPath)) {
    InitialiseResources();
    m_workspace.Cores = &ProgramCores();
    setObjectName(QStringLiteral("TForm1"));
    setFont(FittingFont(font()));
    m_undo = new QUndoStack(this);
    connect(m_undo, &QUndoStack::cleanChanged, this, &TForm1::UpdateCaption);
    CreateControls();
    CreateMenus();
    setAcceptDrops(true);
    // It opens at its designed size, its smallest; larger, the table grows and the buttons keep
    // their column at the right.
    // The menu bar takes the height the window's layout gives it at that width, which on some
    // styles is not its size hint.
    const int menuHeight = menuBar()->heightForWidth(kClientWidth);
    setMinimumSize(kClientWidth, (menuHeight > 0 ? menuHeight : menuBar()->sizeHint().height()) + kClientHeight);
    resize(minimumSize());
    layout()->activate();  // the controls stand where they belong before the window is first shown
    // Centred on the screen from the start, so that the boxes start-up shows before the window
    // (problems with command-line files) are centred over where it will open; centred again with
    // its frame once the window manager has told it, or the title bar pushes the window down.
    move(screen()->availableGeometry().center() - rect().center());
    KeepCentredOnOwner(*this);
}

TForm1::~TForm1() {
    m_undo->disconnect(this);  // the stack tells of its clean state as it goes, after the window
}

void TForm1::CreateControls() {
    auto* client = new QWidget(this);
    client->setMinimumSize(kClientWidth, kClientHeight - kStatusHeight);
    client->resize(client->minimumSize());
    setCentralWidget(client);

    m_model = new TextureTableModel(m_workspace.TexList, m_findings, this);
    // The table shares its place with the preview pane, which is hidden until the View menu shows it.
    auto* split = new QSplitter(client);
    split->setObjectName(QStringLiteral("TableSplit"));
    split->setGeometry(0, 0, kTableWidth, kTableHeight);
    split->setChildrenCollapsible(false);
    Table = new GridView(split);
    Table->setObjectName(QStringLiteral("Table"));
    Table->setGeometry(split->rect());  // where the splitter puts it once shown
    Table->setModel(m_model);
    Table->setSelectionBehavior(QAbstractItemView::SelectRows);
    Table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setWordWrap(false);
    Table->setTextElideMode(Qt::ElideRight);  // a name too long for its column ends in "…"
    Table->verticalHeader()->hide();
    Table->verticalHeader()->setDefaultSectionSize(15);
    Table->horizontalHeader()->setFixedHeight(17);
    Table->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    Table->horizontalHeader()->setHighlightSections(false);
    // A click on a column's header sorts by it, as the Sort menu does.
    Table->horizontalHeader()->setSectionsClickable(true);
    connect(Table->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int column) {
        constexpr SortKey kColumnKeys[] = {SortKey::Name, SortKey::AlphaName, SortKey::Size, SortKey::Format};
        SortBy(static_cast<int>(kColumnKeys[column]));
    });
    Table->setTabKeyNavigation(false);  // Tab goes on to the buttons
    const int widths[] = {120, 120, 82, 69};
    for (int column = 0; column < 4; ++column) {
        Table->setColumnWidth(column, widths[column]);
    }
    Table->setEnabled(false);
    connect(Table->selectionModel(), &QItemSelectionModel::currentRowChanged, this, &TForm1::TableClick);
    connect(Table, &QTableView::clicked, this, &TForm1::TableClick);
    connect(Table->selectionModel(), &QItemSelectionModel::selectionChanged, this, &TForm1::ShowDetails);
    m_previews = new TexturePreviews(TexturePreviews::Size::Fitted, this);
    m_wholePictures = new TexturePreviews(TexturePreviews::Size::WholeWithLevels, this);
    m_previewPane = new PreviewPane(*m_wholePictures, split);
    m_previewPane->hide();
    // The row under the pointer, else the selected one.
    new TextureToolTip(*Table, *m_previews, [this](QPoint position) -> TextureToolTip::Shown {
        const int pointed = Table->indexAt(Table->viewport()->mapFrom(Table, position)).row();
        const auto index = static_cast<size_t>(pointed >= 0 ? pointed : m_selectedRow - 1);
        if (index >= m_workspace.TexList.size()) {
            return {};
        }
        const TTexFile& entry = m_workspace.TexList[index];
        return {&entry, index + 1, m_findings.TextFor(entry)};
    });

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
    auto* anchors = new Anchors(*client);
    anchors->Anchor(split, Qt::LeftEdge | Qt::TopEdge | Qt::RightEdge | Qt::BottomEdge);
    for (const int top : {136, 208}) {
        auto* rule = new QFrame(client);
        rule->setFrameShape(QFrame::HLine);
        rule->setFrameShadow(QFrame::Sunken);
        rule->setGeometry(424, top, 73, 2);
        anchors->Anchor(rule, Qt::TopEdge | Qt::RightEdge);
    }
    Button4 = CreateButton("Button4", "Clear Alpha", "Clear alpha channel of selected texture", 144);
    BitBtn1 = CreateButton("BitBtn1", "DFF Check", "Lists which textures are used by a dff model file", 176);
    Button5 = CreateButton("Button5", "Reset TXD", "Delete all textures in list", 216);
    Button6 = CreateButton("Button6", "Build TXD", "Create new .txd file from textures in list", 248);
    QFont bold = Button6->font();
    bold.setBold(true);
    Button6->setFont(bold);
    for (QWidget* button : std::initializer_list<QWidget*>{Button1, Button2, Button3, BtnUp, BtnDown, Button4, BitBtn1,
                                                           Button5, Button6}) {
        anchors->Anchor(button, Qt::TopEdge | Qt::RightEdge);
    }

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
    m_versionPanel = new QLabel(status);
    m_versionPanel->setObjectName(QStringLiteral("VersionPanel"));
    m_versionPanel->hide();
    status->addWidget(m_countPanel);
    status->addWidget(m_detailPanel, 1);
    status->addPermanentWidget(m_versionPanel);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    // Wider than it was designed, the last column takes the room its texts may need.
    Table->horizontalHeader()->setStretchLastSection(Table->width() > kTableWidth);
}

QPushButton* TForm1::CreateButton(const char* name, const QString& caption, const QString& hint, int top, int left,
                                  int width) {
    auto* button = new QPushButton(caption, centralWidget());
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setGeometry(left, top, width, 25);
    button->setAutoDefault(true);  // Enter presses the button that has the focus
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
    connect(CreateAction(file, "OpenTXD1", "&Open TXD...", QKeySequence("Ctrl+O")), &QAction::triggered, this,
            &TForm1::OpenTXD1Click);
    connect(CreateAction(file, "OpenFromArchive1", "Open TXD from &Archive..."), &QAction::triggered, this,
            &TForm1::OpenFromArchive);
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
    QAction* undo = m_undo->createUndoAction(this, QStringLiteral("&Undo"));
    undo->setObjectName(QStringLiteral("Undo1"));
    undo->setShortcut(QKeySequence::Undo);
    QAction* redo = m_undo->createRedoAction(this, QStringLiteral("&Redo"));
    redo->setObjectName(QStringLiteral("Redo1"));
    redo->setShortcuts({QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    for (QAction* action : {undo, redo}) {
        action->setShortcutContext(Qt::WindowShortcut);
        edit->addAction(action);
    }
    edit->addSeparator();
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
    connect(CreateAction(options, "NewTextureDefaults", "Defaults for New Textures..."), &QAction::triggered, this,
            &TForm1::NewTextureDefaultsClick);
    options->addSeparator();
    QMenu* games = options->addMenu(QStringLiteral("Target Game"));
    QMenu* version = options->addMenu(QStringLiteral("RW Version ID"));
    QMenu* flag = options->addMenu(QStringLiteral("Unknown Flag"));
    // Radio items that may all be clear: no game is marked for a stamp of no game's.
    auto* gameGroup = new QActionGroup(this);
    gameGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
    for (const GameTarget& target : kGameTargets) {
        const auto index = static_cast<size_t>(target.Id);
        gameItems[index] =
            CreateAction(games, ("game" + std::to_string(index)).c_str(), Text(std::string(target.Name)));
        gameItems[index]->setCheckable(true);
        gameGroup->addAction(gameItems[index]);
        connect(gameItems[index], &QAction::triggered, this, [this, id = target.Id] { ChooseGame(id); });
    }
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
    // The stamp of a game the table has none for, in the menu only while that game is the target
    // (taken out rather than hidden: a hidden action is disabled, and the end of a busy command
    // would keep it so).
    m_versionMenu = version;
    verid[3] = CreateAction(version, "verid3", Text(HexText(TargetOf(Game::SanAndreas).Stamp >> 16, 4)));
    version->removeAction(verid[3]);
    verid[3]->setCheckable(true);
    versions->addAction(verid[3]);
    connect(verid[3], &QAction::triggered, this, [this] { ChooseGame(Game::SanAndreas); });
    MarkOptions();

    QMenu* view = menuBar()->addMenu(QStringLiteral("&View"));
    QAction* pane = CreateAction(view, "PreviewPane1", "&Preview Pane", QKeySequence(Qt::Key_F3));
    pane->setCheckable(true);
    connect(pane, &QAction::toggled, this, &TForm1::PreviewPane1Click);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    connect(CreateAction(help, "ImageFormats1", "&Image Formats", QKeySequence(Qt::Key_F1)), &QAction::triggered, this,
            &TForm1::ImageFormats1Click);
    help->addSeparator();
    connect(CreateAction(help, "VisitHomepage1", "&Visit Homepage"), &QAction::triggered, this,
            &TForm1::VisitHomepage1Click);
    connect(CreateAction(help, "SendEmail1", "&Send Email"), &QAction::triggered, this, &TForm1::SendEmail1Click);
    help->addSeparator();
    connect(CreateAction(help, "About1", "&About..."), &QAction::triggered, this, &TForm1::About1Click);
    connect(CreateAction(help, "Licences1", "&Licences..."), &QAction::triggered, this, &TForm1::Licences1Click);
}

void TForm1::MarkOptions() {
    pwr2lmt->setChecked(m_settings.pwr2lmt);
    const std::optional<Game> chosen = m_settings.TargetGame;
    const bool stampOutsideTable = chosen && !VersionIndexOf(TargetOf(*chosen).Stamp);
    if (stampOutsideTable != m_versionMenu->actions().contains(verid[3])) {
        if (stampOutsideTable) {
            m_versionMenu->addAction(verid[3]);
        } else {
            m_versionMenu->removeAction(verid[3]);
        }
    }
    verid[stampOutsideTable ? 3 : m_settings.VersionIndex]->setChecked(true);
    uflag[m_settings.FlagIndex]->setChecked(true);
    // The game chosen, else the one whose stamp is chosen.
    const uint32_t stamp = VersionStamp(m_settings.VersionIndex);
    for (const GameTarget& target : kGameTargets) {
        gameItems[static_cast<size_t>(target.Id)]->setChecked(
            chosen ? target.Id == *chosen : target.Platform == TxdPlatform::Direct3D8 && target.Stamp == stamp);
    }
}

}  // namespace vc::gui
