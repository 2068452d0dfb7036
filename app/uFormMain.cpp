#include "app/uFormMain.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include "app/pictures.h"
#include "core/texts.h"
#include "core/weblinks.h"

namespace qm {

namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

QPushButton* makeButton(QWidget* parent, const char* name, const char* caption, const QIcon& glyph, int x, int y,
                        int w, int h) {
    auto* b = new QPushButton(QString::fromUtf8(caption), parent);
    b->setObjectName(name);
    QFont f = b->font();
    f.setBold(true);
    b->setFont(f);
    b->setIcon(glyph);
    b->setAutoDefault(false);
    b->setGeometry(x, y, w, h);
    return b;
}

QAction* makeItem(QMenu* menu, const char* name, const char* caption) {
    QAction* a = menu->addAction(QString::fromUtf8(caption));
    a->setObjectName(name);
    return a;
}

QAction* makeSeparator(QMenu* menu, const char* name) {
    QAction* a = menu->addSeparator();
    a->setObjectName(name);
    return a;
}

QWidget* makePage(QTabWidget* tabs, const char* name, const char* caption) {
    auto* page = new QWidget;
    page->setObjectName(name);
    tabs->addTab(page, caption);
    return page;
}

}  // namespace

TFormMain::TFormMain(const Services& services, QWidget* parent) : QMainWindow(parent), S(services) {
    S.requireComplete();
    setObjectName("FormMain");
    setWindowTitle("Quillmere");
    QFont font("MS Sans Serif");
    font.setPixelSize(11);
    setFont(font);
    buildMenus();
    buildLayout();
    wireHandlers();
    resize(534, 412);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(width() / 2, height() / 2));
    guarded([this] { FormCreate(); });
}

TFormMain::~TFormMain() { guarded([this] { FormDestroy(); }); }

void TFormMain::buildLayout() {
    auto* central = new QWidget(this);
    central->setObjectName("ClientArea");
    auto* column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName("PageControl1");
    // The tabs are drawn as tight as the classic 8-point design, so all seven
    // captions fit beside the mod list at the window's first size.
    PageControl1->setStyleSheet("QTabBar::tab { padding: 3px 5px; }");
    PageControl1->tabBar()->setExpanding(false);
    TabSheetCache = makePage(PageControl1, "TabSheetCache", "Cache");
    TabSheetMaps = makePage(PageControl1, "TabSheetMaps", "Maps");
    TabSheetTextures = makePage(PageControl1, "TabSheetTextures", "Textures");
    TabSheetSounds = makePage(PageControl1, "TabSheetSounds", "Sounds");
    TabSheetMusic = makePage(PageControl1, "TabSheetMusic", "Music");
    TabSheetStaticMeshes = makePage(PageControl1, "TabSheetStaticMeshes", "StaticMeshes");
    TabSheetAnimations = makePage(PageControl1, "TabSheetAnimations", "Animations");
    column->addWidget(PageControl1, 1);

    cmbMod = new QComboBox;
    cmbMod->setObjectName("cmbMod");
    cmbMod->setEditable(false);
    // As wide as its longest entry, so "UT2004 (default)" shows whole.
    cmbMod->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    cmbMod->setMinimumWidth(105);
    PageControl1->setCornerWidget(cmbMod, Qt::TopRightCorner);

    lblExtractTo = new QLabel(central);
    lblExtractTo->setObjectName("lblExtractTo");
    lblExtractTo->setTextFormat(Qt::PlainText);
    lblExtractTo->setContentsMargins(2, 1, 2, 1);
    column->addWidget(lblExtractTo);
    setCentralWidget(central);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(true);
    StatusPanel = new QLabel(StatusBar1);
    StatusPanel->setObjectName("StatusPanel");
    StatusPanel->setTextFormat(Qt::PlainText);
    StatusBar1->addWidget(StatusPanel, 1);
    setStatusBar(StatusBar1);

    // The Cache page: the list on the left, the command panel on the right.
    auto* cacheRow = new QHBoxLayout(TabSheetCache);
    cacheRow->setContentsMargins(0, 0, 0, 0);
    cacheRow->setSpacing(0);
    PanelLeft = new QWidget(TabSheetCache);
    PanelLeft->setObjectName("PanelLeft");
    auto* leftFill = new QVBoxLayout(PanelLeft);
    leftFill->setContentsMargins(0, 0, 0, 0);
    ListBoxCache = new QListWidget(PanelLeft);
    ListBoxCache->setObjectName("ListBoxCache");
    ListBoxCache->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListBoxCache->setUniformItemSizes(true);
    QFont courier("Courier");
    courier.setStyleHint(QFont::TypeWriter);
    courier.setPixelSize(13);
    ListBoxCache->setFont(courier);
    ListBoxCache->setContextMenuPolicy(Qt::CustomContextMenu);
    leftFill->addWidget(ListBoxCache);
    cacheRow->addWidget(PanelLeft, 1);

    PanelRight = new QWidget(TabSheetCache);
    PanelRight->setObjectName("PanelRight");
    PanelRight->setFixedWidth(105);
    cacheRow->addWidget(PanelRight);
    ImageIcon = new QLabel(PanelRight);
    ImageIcon->setObjectName("ImageIcon");
    ImageIcon->setGeometry(40, 8, 32, 32);
    ButtonExtract = makeButton(PanelRight, "ButtonExtract", "&Extract", pictures::glyphCheck(), 8, 48, 89, 41);
    ButtonRefresh = makeButton(PanelRight, "ButtonRefresh", "&Refresh", pictures::glyphRefresh(), 6, 96, 91, 25);
    ButtonValidate = makeButton(PanelRight, "ButtonValidate", "&Validate", pictures::glyphWalk(), 8, 128, 89, 25);
    BitBtn1 = makeButton(PanelRight, "BitBtn1", "Delete", pictures::glyphCross(), 8, 184, 89, 25);
    lblCheckForUpdates = new QLabel("Check For Updates", PanelRight);
    lblCheckForUpdates->setObjectName("lblCheckForUpdates");
    lblCheckForUpdates->move(5, 238);
    lblCheckForUpdates->setStyleSheet("color: blue; text-decoration: underline;");
    lblCheckForUpdates->setCursor(Qt::PointingHandCursor);
    QFont narrow = lblCheckForUpdates->font();
    narrow.setStretch(QFont::SemiCondensed);
    lblCheckForUpdates->setFont(narrow);
    lblCheckForUpdates->adjustSize();
    lblCheckForUpdates->installEventFilter(this);
    Panel1 = new QWidget(PanelRight);
    Panel1->setObjectName("Panel1");
    // Alt+C belongs to the Cache menu and to Compress: Close takes Alt+L.
    ButtonClose = makeButton(Panel1, "ButtonClose", "C&lose", pictures::glyphDoor(), 6, 10, 91, 25);
    PanelRight->installEventFilter(this);

    // The content pages share one list and one command panel, designed on
    // the Maps page.
    auto* mapsRow = new QHBoxLayout(TabSheetMaps);
    mapsRow->setContentsMargins(0, 0, 0, 0);
    mapsRow->setSpacing(0);
    Panel4 = new QWidget(TabSheetMaps);
    Panel4->setObjectName("Panel4");
    auto* listFill = new QVBoxLayout(Panel4);
    listFill->setContentsMargins(0, 0, 0, 0);
    buildFolderList();
    listFill->addWidget(ListViewMaps);
    mapsRow->addWidget(Panel4, 1);
    PanelCompressCommand = new QWidget(TabSheetMaps);
    PanelCompressCommand->setObjectName("PanelCompressCommand");
    PanelCompressCommand->setFixedWidth(105);
    mapsRow->addWidget(PanelCompressCommand);
    ImageIcon2 = new QLabel(PanelCompressCommand);
    ImageIcon2->setObjectName("ImageIcon2");
    ImageIcon2->setGeometry(40, 8, 32, 32);
    ButtonCompress =
        makeButton(PanelCompressCommand, "ButtonCompress", "&Compress", pictures::glyphCheck(), 8, 48, 89, 41);
    ButtonRefreshMaps =
        makeButton(PanelCompressCommand, "ButtonRefreshMaps", "&Refresh", pictures::glyphRefresh(), 6, 96, 91, 25);
    Panel3 = new QWidget(PanelCompressCommand);
    Panel3->setObjectName("Panel3");
    ButtonCloseMaps = makeButton(Panel3, "ButtonCloseMaps", "C&lose", pictures::glyphDoor(), 6, 10, 91, 25);
    PanelCompressCommand->installEventFilter(this);

    // Non-visual members.
    ImageListIcons = new ImageList("ImageListIcons", this);
    for (int kind = 0; kind < 3; ++kind) ImageListIcons->images.push_back(pictures::emblem(kind));
    imlHeader = new ImageList("imlHeader", this);
    imlHeader->images = {pictures::sortMark(false), pictures::sortMark(true)};
    tmrUpdateCheck = new QTimer(this);
    tmrUpdateCheck->setObjectName("tmrUpdateCheck");
    tmrUpdateCheck->setInterval(1000);
    objApplicationEvents = new QObject(this);
    objApplicationEvents->setObjectName("objApplicationEvents");

    TabSheetCache->installEventFilter(this);
}

void TFormMain::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName("MainMenu1");
    MenuFile = bar->addMenu("&File");
    MenuFile->setObjectName("MenuFile");
    miExit = makeItem(MenuFile, "miExit", "&Exit");

    MenuCache = bar->addMenu("&Cache");
    MenuCache->setObjectName("MenuCache");
    miGo = makeItem(MenuCache, "miGo", "&Extract");
    QFont bold = miGo->font();
    bold.setBold(true);
    miGo->setFont(bold);
    MenuCache->setDefaultAction(miGo);
    miValidate = makeItem(MenuCache, "miValidate", "&Validate");
    makeSeparator(MenuCache, "N3");
    miDeleteCacheEntry = makeItem(MenuCache, "miDeleteCacheEntry", "Delete Cache Entry");

    MenuMaps = bar->addMenu("&Maps");
    MenuMaps->setObjectName("MenuMaps");
    miCompress = makeItem(MenuMaps, "miCompress", "&Compress");
    MenuMaps->menuAction()->setVisible(false);

    MenuOptions = bar->addMenu("&Options");
    MenuOptions->setObjectName("MenuOptions");
    miShowAllMessages = makeItem(MenuOptions, "miShowAllMessages", "&Show All Messages");
    miShowAllMessages->setCheckable(true);
    miDoUCCExportCache = makeItem(MenuOptions, "miDoUCCExportCache", "Import Mutators into UT");
    miDoUCCExportCache->setCheckable(true);

    MenuHelp = bar->addMenu("&Help");
    MenuHelp->setObjectName("MenuHelp");
    miReadme = makeItem(MenuHelp, "miReadme", "View Readme");
    miForums = makeItem(MenuHelp, "miForums", "Help Forums");
    makeSeparator(MenuHelp, "N4");
    miWebsite = makeItem(MenuHelp, "miWebsite", "Harthollow Website");
    miDonate = makeItem(MenuHelp, "miDonate", "Make a Donation");
    miProductInfo = makeItem(MenuHelp, "miProductInfo", "More Quillmere Info");
    makeSeparator(MenuHelp, "N2");
    miCheckForUpdate = makeItem(MenuHelp, "miCheckForUpdate", "Check For Update");
    miAutoCheckUpdate = makeItem(MenuHelp, "miAutoCheckUpdate", "Automatically Check for Update");
    miAutoCheckUpdate->setCheckable(true);
    makeSeparator(MenuHelp, "N1");
    miAbout = makeItem(MenuHelp, "miAbout", "&About");

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName("PopupMenu1");
    miDeleteCacheFileEntry = makeItem(PopupMenu1, "miDeleteCacheFileEntry", "Delete Cache Entry");
    makeSeparator(PopupMenu1, "N5");
    miExtractTo = makeItem(PopupMenu1, "miExtractTo", "&Extract To...");

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName("PopupMenu2");
    miCompressFiles = makeItem(PopupMenu2, "miCompressFiles", "&Compress File");
    miCompressFiles->setEnabled(false);
}

void TFormMain::wireHandlers() {
    auto on = [this](auto* sender, auto signal, std::function<void()> handler) {
        connect(sender, signal, this, [this, handler] { guarded(handler); });
    };
    on(ButtonExtract, &QPushButton::clicked, [this] { ButtonExtractClick(ButtonExtract); });
    on(ButtonRefresh, &QPushButton::clicked, [this] { ButtonRefreshClick(); });
    on(ButtonValidate, &QPushButton::clicked, [this] { ButtonValidateClick(); });
    on(BitBtn1, &QPushButton::clicked, [this] { BitBtn1Click(); });
    // Close buttons close the window that holds them.
    on(ButtonClose, &QPushButton::clicked, [this] { close(); });
    on(ButtonCloseMaps, &QPushButton::clicked, [this] { close(); });

    on(miExit, &QAction::triggered, [this] { miExitClick(); });
    on(miGo, &QAction::triggered, [this] { miGoClick(); });
    on(miValidate, &QAction::triggered, [this] { miValidateClick(); });
    on(miDeleteCacheEntry, &QAction::triggered, [this] { miDeleteCacheFileEntryClick(miDeleteCacheEntry); });
    on(miDeleteCacheFileEntry, &QAction::triggered,
       [this] { miDeleteCacheFileEntryClick(miDeleteCacheFileEntry); });
    on(miExtractTo, &QAction::triggered, [this] { miExtractToClick(); });
    on(miReadme, &QAction::triggered, [this] { miReadmeClick(); });
    on(miForums, &QAction::triggered, [this] { miForumsClick(); });
    on(miWebsite, &QAction::triggered, [this] { miWebsiteClick(); });
    on(miDonate, &QAction::triggered, [this] { miDonateClick(); });
    on(miProductInfo, &QAction::triggered, [this] { miProductInfoClick(); });
    on(miCheckForUpdate, &QAction::triggered, [this] { miCheckForUpdateClick(miCheckForUpdate); });
    on(miAbout, &QAction::triggered, [this] { miAboutClick(); });
    on(tmrUpdateCheck, &QTimer::timeout, [this] { tmrUpdateCheckTimer(); });
    // The three option items are checkable: a click inverts the check mark
    // (what miShowAllMessagesClick and its siblings do) and nothing else.

    on(cmbMod, &QComboBox::activated, [this] { cmbModClick(); });
    on(PageControl1, &QTabWidget::currentChanged, [this] { PageControl1Change(); });
    // A click, or the keyboard moving the focus line; not the program's own
    // changes of the list.
    on(ListBoxCache, &QListWidget::currentRowChanged, [this] {
        if (!FUpdatingList) ListBoxCacheClick();
    });
    on(ListBoxCache, &QListWidget::clicked, [this] { ListBoxCacheClick(); });
    connect(ListBoxCache, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu1->popup(ListBoxCache->viewport()->mapToGlobal(at)); });
    connect(ListViewMaps, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenu2->popup(ListViewMaps->viewport()->mapToGlobal(at)); });
    wireContentPages();
}

// ---- start-up and shut-down ----

void TFormMain::FormCreate() {
    // The first size is the smallest; the sort of the content lists starts
    // on the file name, ascending.
    FMinWidth = width();
    FMinHeight = height();
    setMinimumSize(FMinWidth, FMinHeight);  // FormConstrainedResize
    FSortColumn = 0;
    FSortDescending = false;
    FApplicationTitle = windowTitle().toStdString();
    // The application title names the failure reports; it is not the display
    // name, which the desktop would append to every window title.
    QCoreApplication::setApplicationName(windowTitle());
    // The emblem of the game kind not known yet.
    setEmblem(0);
    PageControl1->setCurrentWidget(TabSheetCache);
    PageControl1Change();
    LoadSettingsFromReg();
    lblExtractTo->clear();
    if (FFirstRun && ask(DlgKind::Confirmation, texts::kFirstRunQuestion, {DlgButton::Yes, DlgButton::No}) ==
                         DlgButton::Yes)
        miAutoCheckUpdate->setChecked(true);
    // A new version is decided before its number is stored, so it compares
    // with the previous run.
    const bool newVersion = IsNewVersion();
    StoreRunVersion();
    // The donation page opens later, when the posted request is handled.
    if (newVersion) {
        S.dialogs->plainMessage(applicationTitle(), texts::kDonation);
        QCoreApplication::postEvent(this, new OpenUrlEvent(webLinks().donate));
    }
    DiscoverGame();
    setEmblem(FGameKind);
    LoadGameSettingsFromReg();
    miDoUCCExportCache->setText(miDoUCCExportCache->text().replace("UT", qs(FGameName), Qt::CaseSensitive));
    RefreshCacheList(false);
    FillModList();
    // The automatic update check, silent unless there is news or a failure.
    if (miAutoCheckUpdate->isChecked()) miCheckForUpdateClick(nullptr);
}

void TFormMain::setEmblem(TGameKind kind) {
    QPixmap pm;
    if (kind < ImageListIcons->images.size()) pm = ImageListIcons->images[kind];
    ImageIcon->setPixmap(pm);
    ImageIcon2->setPixmap(pm);
}

void TFormMain::FormShow() {
    if (FGameKind == gkUT) {
        for (QWidget* page : {TabSheetStaticMeshes, TabSheetAnimations}) {
            int i = PageControl1->indexOf(page);
            if (i >= 0) PageControl1->removeTab(i);
        }
    }
}

void TFormMain::FormDestroy() {
    // The lines and mod entries own their strings; Qt releases them.
    SaveSettingsToReg();
    SaveGameSettingsToReg();
}

void TFormMain::showEvent(QShowEvent* e) {
    QMainWindow::showEvent(e);
    if (!e->spontaneous()) guarded([this] { FormShow(); });
}

void TFormMain::closeEvent(QCloseEvent* e) {
    // A long action owns the window until it ends.
    if (FBusy)
        e->ignore();
    else
        QMainWindow::closeEvent(e);
}

bool TFormMain::event(QEvent* e) {
    if (e->type() == OpenUrlEvent::type()) {
        QMainWindow::event(e);
        const std::string address = static_cast<OpenUrlEvent*>(e)->address;
        OpenDocument(address);
        return true;
    }
    return QMainWindow::event(e);
}

bool TFormMain::eventFilter(QObject* watched, QEvent* e) {
    // The Cache page coming to the front rebuilds the list; the window
    // coming back from minimised (a show the system sends) does not.
    if (watched == TabSheetCache && e->type() == QEvent::Show && !e->spontaneous()) {
        guarded([this] { TabSheetCacheShow(); });
    } else if ((watched == PanelRight || watched == PanelCompressCommand) && e->type() == QEvent::Resize) {
        // The strip with the Close button sits along the panel's bottom.
        auto* panel = static_cast<QWidget*>(watched);
        QWidget* strip = watched == PanelRight ? Panel1 : Panel3;
        strip->setGeometry(0, panel->height() - 43, panel->width(), 43);
    } else if (watched == lblCheckForUpdates && e->type() == QEvent::MouseButtonRelease &&
               static_cast<QMouseEvent*>(e)->button() == Qt::LeftButton &&
               lblCheckForUpdates->rect().contains(static_cast<QMouseEvent*>(e)->position().toPoint())) {
        guarded([this] { miCheckForUpdateClick(lblCheckForUpdates); });
    }
    return QMainWindow::eventFilter(watched, e);
}

void TFormMain::keyPressEvent(QKeyEvent* e) {
    // Enter that no control took: a focused push button takes it itself,
    // otherwise it clicks the default button of the page in front.
    if ((e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && e->modifiers() == Qt::NoModifier) {
        auto* focused = qobject_cast<QPushButton*>(focusWidget());
        QPushButton* def = PageControl1->currentWidget() == TabSheetCache ? ButtonExtract : ButtonCompress;
        QPushButton* target = focused ? focused : def;
        if (target->isEnabled()) target->click();
        e->accept();
        return;
    }
    QMainWindow::keyPressEvent(e);
}

// ---- helpers ----

bool TFormMain::guarded(const std::function<void()>& handler) {
    try {
        handler();
        return true;
    } catch (const std::exception& ex) {
        S.dialogs->failureReport(applicationTitle(), ex.what());
    } catch (...) {
        S.dialogs->failureReport(applicationTitle(), "Unknown failure");
    }
    return false;
}

std::string TFormMain::applicationTitle() const {
    return FApplicationTitle.empty() ? windowTitle().toStdString() : FApplicationTitle;
}

DlgButton TFormMain::ask(DlgKind kind, const std::string& text, const DlgButtons& buttons) {
    return S.dialogs->message(kind, text, buttons);
}

void TFormMain::ShowStatus(const std::string& text) { StatusPanel->setText(qs(text)); }

std::string TFormMain::statusText() const { return StatusPanel->text().toStdString(); }

void TFormMain::OpenDocument(const std::string& document) {
    try {
        Status st = S.shell->open(document);
        if (!st) throw Error(st.reason);
    } catch (const std::exception& ex) {
        ask(DlgKind::Error, ex.what(), {DlgButton::OK});
    }
}

void TFormMain::PageControl1Change() {
    const bool cachePage = PageControl1->currentWidget() &&
                           PageControl1->currentWidget()->objectName() == QLatin1String("TabSheetCache");
    MenuCache->menuAction()->setVisible(cachePage);
    MenuMaps->menuAction()->setVisible(!cachePage);
}

void TFormMain::ButtonCloseClick() { QCoreApplication::quit(); }
void TFormMain::miExitClick() { ButtonCloseClick(); }
void TFormMain::miShowAllMessagesClick() { miShowAllMessages->toggle(); }
void TFormMain::miAutoCheckUpdateClick() { miAutoCheckUpdate->toggle(); }
void TFormMain::miDoUCCExportCacheClick() { miDoUCCExportCache->toggle(); }

}  // namespace qm
