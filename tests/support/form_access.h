#pragma once
// What GUI tests may see inside the main window: its components and fields,
// by the names the window gives them. Tests drive the window through these
// components the way a user does (click, trigger, keys).
#include <QListWidget>
#include <string>
#include <utility>

#include "app/uFormMain.h"

namespace qm::test {

struct FormView {
    QTabWidget* PageControl1;
    QWidget* TabSheetCache;
    QWidget* TabSheetMaps;
    QWidget* TabSheetTextures;
    QWidget* TabSheetSounds;
    QWidget* TabSheetMusic;
    QWidget* TabSheetStaticMeshes;
    QWidget* TabSheetAnimations;
    QWidget* PanelLeft;
    QListWidget* ListBoxCache;
    QWidget* PanelRight;
    QLabel* ImageIcon;
    QPushButton* ButtonExtract;
    QPushButton* ButtonRefresh;
    QPushButton* ButtonValidate;
    QPushButton* BitBtn1;
    QLabel* lblCheckForUpdates;
    QWidget* Panel1;
    QPushButton* ButtonClose;
    QWidget* Panel4;
    QTreeView* ListViewMaps;
    QWidget* PanelCompressCommand;
    QLabel* ImageIcon2;
    QPushButton* ButtonCompress;
    QPushButton* ButtonRefreshMaps;
    QWidget* Panel3;
    QPushButton* ButtonCloseMaps;
    QLabel* lblExtractTo;
    QStatusBar* StatusBar1;
    QLabel* StatusPanel;
    QComboBox* cmbMod;
    QMenu* MenuFile;
    QMenu* MenuCache;
    QMenu* MenuMaps;
    QMenu* MenuOptions;
    QMenu* MenuHelp;
    QAction* miExit;
    QAction* miGo;
    QAction* miValidate;
    QAction* miDeleteCacheEntry;
    QAction* miCompress;
    QAction* miShowAllMessages;
    QAction* miDoUCCExportCache;
    QAction* miReadme;
    QAction* miForums;
    QAction* miWebsite;
    QAction* miDonate;
    QAction* miProductInfo;
    QAction* miCheckForUpdate;
    QAction* miAutoCheckUpdate;
    QAction* miAbout;
    QMenu* PopupMenu1;
    QAction* miDeleteCacheFileEntry;
    QAction* miExtractTo;
    QMenu* PopupMenu2;
    QAction* miCompressFiles;
    QTimer* tmrUpdateCheck;
    ImageList* ImageListIcons;
    ImageList* imlHeader;
    QObject* objApplicationEvents;
    std::string& FGameDir;
    TGameKind& FGameKind;
    std::string& FGameName;
    std::vector<std::string>*& FValidationLog;
    bool& FFirstRun;
    int32_t& FSortColumn;
    bool& FSortDescending;
    int32_t& FMinWidth;
    int32_t& FMinHeight;
    bool& FAskDoUCCExportCache;
};

struct FormAccess {
    static FormView view(TFormMain& f) {
        return FormView{f.PageControl1,
                        f.TabSheetCache,
                        f.TabSheetMaps,
                        f.TabSheetTextures,
                        f.TabSheetSounds,
                        f.TabSheetMusic,
                        f.TabSheetStaticMeshes,
                        f.TabSheetAnimations,
                        f.PanelLeft,
                        f.ListBoxCache,
                        f.PanelRight,
                        f.ImageIcon,
                        f.ButtonExtract,
                        f.ButtonRefresh,
                        f.ButtonValidate,
                        f.BitBtn1,
                        f.lblCheckForUpdates,
                        f.Panel1,
                        f.ButtonClose,
                        f.Panel4,
                        f.ListViewMaps,
                        f.PanelCompressCommand,
                        f.ImageIcon2,
                        f.ButtonCompress,
                        f.ButtonRefreshMaps,
                        f.Panel3,
                        f.ButtonCloseMaps,
                        f.lblExtractTo,
                        f.StatusBar1,
                        f.StatusPanel,
                        f.cmbMod,
                        f.MenuFile,
                        f.MenuCache,
                        f.MenuMaps,
                        f.MenuOptions,
                        f.MenuHelp,
                        f.miExit,
                        f.miGo,
                        f.miValidate,
                        f.miDeleteCacheEntry,
                        f.miCompress,
                        f.miShowAllMessages,
                        f.miDoUCCExportCache,
                        f.miReadme,
                        f.miForums,
                        f.miWebsite,
                        f.miDonate,
                        f.miProductInfo,
                        f.miCheckForUpdate,
                        f.miAutoCheckUpdate,
                        f.miAbout,
                        f.PopupMenu1,
                        f.miDeleteCacheFileEntry,
                        f.miExtractTo,
                        f.PopupMenu2,
                        f.miCompressFiles,
                        f.tmrUpdateCheck,
                        f.ImageListIcons,
                        f.imlHeader,
                        f.objApplicationEvents,
                        f.FGameDir,
                        f.FGameKind,
                        f.FGameName,
                        f.FValidationLog,
                        f.FFirstRun,
                        f.FSortColumn,
                        f.FSortDescending,
                        f.FMinWidth,
                        f.FMinHeight,
                        f.FAskDoUCCExportCache};
    }
    // The index key of a cache line that shows an entry ("" for a separator
    // or a missing entry).
    static std::string lineKey(TFormMain& f, int row) {
        if (row < 0 || row >= static_cast<int>(f.FCacheList.lines.size())) return {};
        const CacheLine& line = f.FCacheList.lines[static_cast<size_t>(row)];
        return line.kind == CacheLine::Kind::Entry ? line.key : std::string();
    }
    // Adds a line at the end of the cache list, as if the index had it.
    static void appendLine(TFormMain& f, CacheLine line) {
        f.ListBoxCache->addItem(QString::fromStdString(line.text()));
        f.FCacheList.lines.push_back(std::move(line));
    }
};

inline FormView ui(TFormMain& f) { return FormAccess::view(f); }

}  // namespace qm::test
