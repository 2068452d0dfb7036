#pragma once
// The main window: holds the program-wide state and routes every user
// action to the rule in core that does the work.
// Its implementation is split by subject:
//   uFormMain.cpp           layout, start-up, shut-down, status, documents
//   uFormMain_game.cpp      game discovery, mod list, content root, cache folder
//   uFormMain_cache.cpp     cache list
//   uFormMain_lines.cpp     the runner of actions over selected cache lines
//   uFormMain_extract.cpp   extraction
//   uFormMain_delete.cpp    deletion of cache entries
//   uFormMain_settings.cpp  options in the registry, run-version tracking
//   uFormMain_validate.cpp  cache validation
//   uFormMain_mutators.cpp  mutator import with the game's tool
//   uFormMain_help.cpp      Help menu: read-me, web pages, About box, update check
//   uFormMain_content.cpp   content pages: package lists and their order
//   uFormMain_compress.cpp  package compression with the game's tool
#include <QElapsedTimer>
#include <QEvent>
#include <QMainWindow>
#include <QPixmap>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/dialogs.h"
#include "app/services.h"
#include "core/cache_list.h"
#include "core/discovery.h"
#include "core/extraction.h"
#include "core/game.h"
#include "core/weblinks.h"

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QMenu;
class QPushButton;
class QStatusBar;
class QTabWidget;
class QTimer;
class QTreeView;
class QWidget;

namespace qm {

namespace test {
struct FormAccess;
}

class FolderListModel;

// A list of same-sized pictures, found by name like every other member.
class ImageList : public QObject {
    Q_OBJECT
public:
    ImageList(const QString& name, QObject* parent) : QObject(parent) { setObjectName(name); }
    std::vector<QPixmap> images;
};

// CM_OPENURL: a posted request that opens a document once when handled.
inline constexpr int CM_OPENURL = 0x8002;
class OpenUrlEvent : public QEvent {
public:
    static QEvent::Type type() { return static_cast<QEvent::Type>(QEvent::User + CM_OPENURL); }
    explicit OpenUrlEvent(std::string address) : QEvent(type()), address(std::move(address)) {}
    std::string address;
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence.
    explicit TFormMain(const Services& services, QWidget* parent = nullptr);
    // Runs the shut-down sequence.
    ~TFormMain() override;

    // The handlers below are what the window's controls call. Each gathers
    // its input from the window, calls the rule in core, and shows the
    // result.

    // ---- uFormMain.cpp ----
    void ShowStatus(const std::string& text);
    std::string statusText() const;
    void OpenDocument(const std::string& document);
    void PageControl1Change();
    void ButtonCloseClick();
    void miExitClick();
    void miShowAllMessagesClick();
    void miAutoCheckUpdateClick();
    void miDoUCCExportCacheClick();
    // Runs a handler under the application-wide failure report.
    bool guarded(const std::function<void()>& handler);
    std::string applicationTitle() const;
    bool isBusy() const { return FBusy; }

    // ---- uFormMain_game.cpp ----
    void FillModList();
    void cmbModClick();
    std::string ContentRoot() const;
    std::string CacheFolder() const;

    // ---- uFormMain_content.cpp ----
    void TabSheetFoldersShow(QWidget* page);
    void ButtonRefreshMapsClick();
    void RefreshFolderTab(const std::string& caption);
    // Lists the entries of `folder` (ending with the separator) that match
    // `mask`; an empty mask lists nothing.
    void FillFolderList(const std::string& folder, const std::string& mask);
    void ListViewMapsColumnClick(int column);
    void SortFolderList(int column);
    void SetColumnSortMark(int index, int image, bool isSortColumn);
    // The content page in front, or nullptr on the Cache page.
    QWidget* contentPageInFront() const;
    // The caption of a page ("Maps").
    std::string pageCaption(QWidget* page) const;
    // The rows the content list shows, in display order.
    const FolderListModel* folderList() const { return FFolderList; }

    // ---- uFormMain_compress.cpp ----
    void miCompressFilesClick();
    void ButtonCompressClick();
    void ListViewMapsClick();

    // ---- uFormMain_cache.cpp ----
    void RefreshCacheList(bool validationMode);
    void ButtonRefreshClick();
    void TabSheetCacheShow();

    // ---- uFormMain_extract.cpp ----
    void ButtonExtractClick(QObject* sender);
    void miGoClick();
    void miExtractToClick();
    void ListBoxCacheClick();

    // ---- uFormMain_delete.cpp ----
    void miDeleteCacheFileEntryClick(QObject* sender);
    void BitBtn1Click();

    // ---- uFormMain_settings.cpp ----
    void LoadSettingsFromReg();
    void LoadGameSettingsFromReg();
    void SaveSettingsToReg();
    void SaveGameSettingsToReg();
    void ReadLastRunVersion(int32_t& major, int32_t& minor, int32_t& release, int32_t& build);
    bool IsNewVersion();
    void StoreRunVersion();

    // ---- uFormMain_validate.cpp ----
    void ButtonValidateClick();
    void miValidateClick();

    // ---- uFormMain_mutators.cpp ----
    void ExportDotUToUTCache(const std::string& path);

    // ---- uFormMain_help.cpp ----
    void miReadmeClick();
    void miForumsClick();
    void miWebsiteClick();
    void miProductInfoClick();
    void miDonateClick();
    void miAboutClick();
    // True when the update document publishes a newer version. A failure
    // (the program's version unreadable, the download, a document without
    // a usable version) is shown in the error dialog and passed on.
    bool CheckForUpdate();
    // `sender`: the menu item or the link label; none for the automatic
    // check at start-up, which says nothing when there is no update.
    void miCheckForUpdateClick(QObject* sender);
    void GetUpdate();
    void tmrUpdateCheckTimer();

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    friend struct test::FormAccess;

    void buildLayout();
    void buildMenus();
    void wireHandlers();
    void buildFolderList();  // ListViewMaps in Panel4
    void wireContentPages();
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void setEmblem(TGameKind kind);
    DlgButton ask(DlgKind kind, const std::string& text, const DlgButtons& buttons);

    // ---- game and cache (uFormMain_game.cpp, uFormMain_cache.cpp) ----
    void DiscoverGame();
    GameFolder game() const { return {FGameDir, FGameKind}; }
    // The selected mod-list entry's folder; nullptr when the list is empty.
    const ModFolder* selectedMod() const;
    CacheAccess cacheAccess() const;
    // Shows `list` in the cache list; the lines' data stays beside it.
    void showCacheList(CacheList list);
    // Removes a line of the cache list without it counting as a click.
    void removeCacheLine(int row);

    // ---- actions over cache lines (uFormMain_lines.cpp) ----
    // While a long action runs the window is painted but takes no input, and
    // the action cannot be started a second time.
    class BusyScope {
    public:
        explicit BusyScope(TFormMain& form);
        ~BusyScope();
        BusyScope(const BusyScope&) = delete;
        BusyScope& operator=(const BusyScope&) = delete;

    private:
        TFormMain& form_;
    };
    // What one action over the selected cache lines says and does.
    struct LineAction {
        const char* noLineStatus;      // nothing selected, no focused line
        const char* separatorWarning;  // the focused line is a separator
        // Before the first line, after the checks; false ends the action.
        std::function<bool()> begin;
        // Handles one line; true counts it. Raises Error on failure.
        std::function<bool(int row)> handle;
        // A single line's failure; the status to show after it.
        std::function<std::string(const std::exception&)> singleFailure;
        // One of many lines failed.
        std::function<void(const std::exception&)> lineFailure;
        // The status after the lines, by the number counted.
        std::function<std::string(int)> doneStatus;
    };
    void runOverSelectedLines(const LineAction& action);
    // Keeps the window painted during long loops over list lines.
    void keepPainted();
    void showProgress(const std::string& status);
    // Shows the failure of one list line: a skip (information, only with
    // "Show All Messages") or an error. Returns true for a skip.
    bool reportLineFailure(const std::exception& failure);
    bool ExtractEntry(int index, TExtractRun& run);
    bool DeleteEntry(int index);

    // ---- Help menu (uFormMain_help.cpp) ----
    // The read-me beside the program, else the installed one; the one beside
    // the program when neither exists (opening it then reports the failure).
    std::string ReadmePath() const;
    // The maker's addresses, or those of the server that replaces them.
    links::WebLinks webLinks() const;

    Services S;

    // ---- state ----
    std::string FGameDir;
    TGameKind FGameKind = gkUT2003;
    std::string FGameName;
    std::vector<std::string>* FValidationLog = nullptr;
    bool FFirstRun = false;
    int32_t FSortColumn = 0;
    bool FSortDescending = false;
    int32_t FMinWidth = 0;
    int32_t FMinHeight = 0;
    bool FAskDoUCCExportCache = false;
    CacheList FCacheList;          // the lines behind ListBoxCache, row for row
    std::vector<ModFolder> FMods;  // the entries behind cmbMod, index for index
    bool FBusy = false;            // a long action runs: no second start
    bool FUpdatingList = false;    // the program itself changes the cache list
    std::string FApplicationTitle;
    QElapsedTimer FPaintClock;
    FolderListModel* FFolderList = nullptr;  // the rows behind ListViewMaps

    // ---- components, named as their objectName ----
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheetCache = nullptr;
    QWidget* TabSheetMaps = nullptr;
    QWidget* TabSheetTextures = nullptr;
    QWidget* TabSheetSounds = nullptr;
    QWidget* TabSheetMusic = nullptr;
    QWidget* TabSheetStaticMeshes = nullptr;
    QWidget* TabSheetAnimations = nullptr;
    QWidget* PanelLeft = nullptr;
    QListWidget* ListBoxCache = nullptr;
    QWidget* PanelRight = nullptr;
    QLabel* ImageIcon = nullptr;
    QPushButton* ButtonExtract = nullptr;
    QPushButton* ButtonRefresh = nullptr;
    QPushButton* ButtonValidate = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* lblCheckForUpdates = nullptr;
    QWidget* Panel1 = nullptr;
    QPushButton* ButtonClose = nullptr;
    QWidget* Panel4 = nullptr;
    QTreeView* ListViewMaps = nullptr;
    QWidget* PanelCompressCommand = nullptr;
    QLabel* ImageIcon2 = nullptr;
    QPushButton* ButtonCompress = nullptr;
    QPushButton* ButtonRefreshMaps = nullptr;
    QWidget* Panel3 = nullptr;
    QPushButton* ButtonCloseMaps = nullptr;
    QLabel* lblExtractTo = nullptr;
    QStatusBar* StatusBar1 = nullptr;
    QLabel* StatusPanel = nullptr;
    QComboBox* cmbMod = nullptr;

    QMenu* MenuFile = nullptr;
    QMenu* MenuCache = nullptr;
    QMenu* MenuMaps = nullptr;
    QMenu* MenuOptions = nullptr;
    QMenu* MenuHelp = nullptr;
    QAction* miExit = nullptr;
    QAction* miGo = nullptr;
    QAction* miValidate = nullptr;
    QAction* miDeleteCacheEntry = nullptr;
    QAction* miCompress = nullptr;
    QAction* miShowAllMessages = nullptr;
    QAction* miDoUCCExportCache = nullptr;
    QAction* miReadme = nullptr;
    QAction* miForums = nullptr;
    QAction* miWebsite = nullptr;
    QAction* miDonate = nullptr;
    QAction* miProductInfo = nullptr;
    QAction* miCheckForUpdate = nullptr;
    QAction* miAutoCheckUpdate = nullptr;
    QAction* miAbout = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* miDeleteCacheFileEntry = nullptr;
    QAction* miExtractTo = nullptr;
    QMenu* PopupMenu2 = nullptr;
    QAction* miCompressFiles = nullptr;
    QTimer* tmrUpdateCheck = nullptr;
    ImageList* ImageListIcons = nullptr;
    ImageList* imlHeader = nullptr;
    QObject* objApplicationEvents = nullptr;
};

}  // namespace qm
