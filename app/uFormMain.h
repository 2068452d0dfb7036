#pragma once
// The main window: owns the program-wide state and every user action.
// Its implementation is split by subject:
//   uFormMain.cpp           layout, start-up, shut-down, status, documents
//   uFormMain_game.cpp      game discovery, mod list, content root, cache folder
//   uFormMain_cache.cpp     cache list
//   uFormMain_extract.cpp   extraction
//   uFormMain_delete.cpp    deletion of cache entries
//   uFormMain_settings.cpp  options in the registry, run-version tracking
//   uFormMain_validate.cpp  cache validation
//   uFormMain_mutators.cpp  mutator import with the game's tool
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

#include "app/dialogs.h"
#include "app/services.h"
#include "core/game.h"

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

// The run record of one extraction action.
struct TExtractRun {
    bool DotUYesToAll = false;
    bool DotUNoToAll = false;
    bool FolderYesToAll = false;
    bool FolderNoToAll = false;
    std::string TargetFolder;
};

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    // Builds the window and runs the start-up sequence.
    explicit TFormMain(const Services& services, QWidget* parent = nullptr);
    // Runs the shut-down sequence.
    ~TFormMain() override;

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
    void miAboutClick();
    // Runs a handler under the application-wide failure report.
    bool guarded(const std::function<void()>& handler);
    std::string applicationTitle() const;
    bool isBusy() const { return FBusy; }

    // ---- uFormMain_game.cpp ----
    bool DetectGameBesideProgram();
    bool FindInstalledGame(TGameKind kind, std::string& folder);
    void DiscoverGame();  // start-up steps 10 and 11
    void FillModList();
    void cmbModClick();
    std::string ContentRoot() const;
    std::string CacheFolder() const;
    // A path under the system drive, where the games install by default.
    std::string onSystemDrive(const std::string& relative) const;

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
    FolderListModel* folderList() const { return FFolderList; }

    // ---- uFormMain_compress.cpp ----
    void miCompressFilesClick();
    void ButtonCompressClick();
    void ListViewMapsClick();

    // ---- uFormMain_cache.cpp ----
    void RefreshCacheList(bool validationMode);
    std::string LookupCacheEntry(const std::string& key, bool remove);
    // The key's cache file inside `cacheFolder`; `found` tells whether it
    // exists (a key never names a file outside that folder).
    std::string LocateCacheFile(const std::string& cacheFolder, const std::string& key, bool* found = nullptr);
    void ButtonRefreshClick();
    void TabSheetCacheShow();
    // The key carried by a line of the cache list ("" for none).
    static std::string lineKey(QListWidget* list, int row);
    // Separator lines begin with "-".
    static bool isSeparatorLine(QListWidget* list, int row);
    // The selected rows, last first: handling a row removes at most that
    // row, so the rows still to come keep their numbers.
    static std::vector<int> selectedRowsBottomUp(QListWidget* list);
    // The failure of a line whose entry has no cache file.
    static std::string notFoundText(const std::string& name);

    // ---- uFormMain_extract.cpp ----
    void ButtonExtractClick(QObject* sender);
    void miGoClick();
    void miExtractToClick();
    bool ExtractEntry(int index, TExtractRun& run);
    std::string DestinationFolder(const std::string& fileName) const;
    void ListBoxCacheClick();

    // ---- uFormMain_delete.cpp ----
    void miDeleteCacheFileEntryClick(QObject* sender);
    void BitBtn1Click();
    bool DeleteEntry(int index);

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
    void ValidateCacheFiles();
    std::vector<std::string> ListMatchingFiles(const std::string& pattern);

    // ---- uFormMain_mutators.cpp ----
    void ExportDotUToUTCache(const std::string& path);

    // ---- state, readable by tests ----
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

protected:
    bool event(QEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

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
    // Keeps the window painted during long loops over list lines.
    void keepPainted();
    // Shows the failure of one list line: a skip (information, only with
    // "Show All Messages") or an error. Returns true for a skip.
    bool reportLineFailure(const std::string& message);
    DlgButton ask(DlgKind kind, const std::string& text, const DlgButtons& buttons);
    // Removes a line of the cache list without it counting as a click.
    void removeCacheLine(int row);
    // Removes the key of an entry that left the cache (what LookupCacheEntry
    // with removal does). Inside a KeyBatch the keys collect and leave the
    // index in batches, one rewrite each instead of one per key; the file
    // is always gone first, so an interruption leaves at worst a key
    // without a file, which validation removes.
    void removeIndexKey(const std::string& key);
    class KeyBatch {
    public:
        explicit KeyBatch(TFormMain& form) : form_(form) { form_.FBatchKeys = true; }
        ~KeyBatch();
        KeyBatch(const KeyBatch&) = delete;
        KeyBatch& operator=(const KeyBatch&) = delete;

    private:
        TFormMain& form_;
    };

private:
    void buildLayout();
    void buildMenus();
    void wireHandlers();
    void buildFolderList();     // ListViewMaps in Panel4
    void wireContentPages();
    void FormCreate();
    void FormShow();
    void FormDestroy();
    void setEmblem(TGameKind kind);

    Services S;
    bool FBusy = false;          // a long action runs: no second start
    bool FUpdatingList = false;  // the program itself changes the cache list
    bool FBatchKeys = false;     // index keys collect in FPendingKeys
    std::vector<std::string> FPendingKeys;
    void flushPendingKeys();
    std::string FApplicationTitle;
    QElapsedTimer FPaintClock;
    FolderListModel* FFolderList = nullptr;
};

}  // namespace qm
