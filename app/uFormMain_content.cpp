// The content pages: one shared package list and command panel, moved onto
// the page in front, filled from that page's folder of the content root and
// kept in the order the user chose by a column header.
//
// Every row carries the values its texts show (core/folder_list.h), so the
// list is sorted only when its rows or their order change (a fill, a header
// click, an edit of a name) and never re-reads a text; a sort is stable.
#include <QHBoxLayout>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTreeView>

#include "app/event_hook.h"
#include "app/folder_list_model.h"
#include "app/folder_list_view.h"
#include "app/sort_mark_header.h"
#include "app/uFormMain.h"
#include "core/folder_list.h"
#include "core/game_tool.h"
#include "core/paths.h"
#include "platform/platform.h"

namespace qm {

namespace {

// The user's collation without regard to case; the window's names and
// paths sort by it.
std::string collationKey(std::string_view text) { return platform::userCollationKey(text); }

}  // namespace

void TFormMain::buildFolderList() {
    ListViewMaps = new FolderListView(Panel4);
    ListViewMaps->setObjectName("ListViewMaps");
    ListViewMaps->setRootIsDecorated(false);
    ListViewMaps->setItemsExpandable(false);
    ListViewMaps->setUniformRowHeights(true);
    ListViewMaps->setAllColumnsShowFocus(true);
    ListViewMaps->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListViewMaps->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A slow second click on a selected name, or F2, edits it in place.
    ListViewMaps->setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
    ListViewMaps->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* header = new SortMarkHeader(ListViewMaps);
    header->setObjectName("ListViewMapsHeader");
    ListViewMaps->setHeader(header);
    FFolderList = new FolderListModel(collationKey, ListViewMaps);
    ListViewMaps->setModel(FFolderList);
    // The four columns share the list's width; a click on one sorts by it
    // (the view resets both when it gets its model).
    header->setSectionResizeMode(QHeaderView::Stretch);
    header->setSectionsClickable(true);
}

void TFormMain::wireContentPages() {
    for (QWidget* page : {TabSheetMaps, TabSheetTextures, TabSheetSounds, TabSheetMusic, TabSheetStaticMeshes,
                          TabSheetAnimations}) {
        // A page comes to the front; a window coming back from the task bar
        // (a spontaneous show) changes no page.
        new EventHook(page, [this, page](QEvent* e) {
            if (e->type() == QEvent::Show && !e->spontaneous()) guarded([this, page] { TabSheetFoldersShow(page); });
        });
    }
    connect(ListViewMaps->header(), &QHeaderView::sectionClicked, this,
            [this](int column) { guarded([this, column] { ListViewMapsColumnClick(column); }); });
    FFolderList->onNameEdited = [this] { SortFolderList(FSortColumn); };
    connect(ButtonRefreshMaps, &QPushButton::clicked, this, [this] { guarded([this] { ButtonRefreshMapsClick(); }); });
    connect(ButtonCompress, &QPushButton::clicked, this, [this] { guarded([this] { ButtonCompressClick(); }); });
    connect(miCompressFiles, &QAction::triggered, this, [this] { guarded([this] { miCompressFilesClick(); }); });
    // The content menu's only item does what its caption says.
    connect(miCompress, &QAction::triggered, this, [this] { guarded([this] { miCompressFilesClick(); }); });
    // The pop-up item follows every click in the list, and every other
    // change of the selection too (keyboard, a refill), so it never offers
    // what the selection does not hold.
    new EventHook(ListViewMaps->viewport(), [this](QEvent* e) {
        if (e->type() == QEvent::MouseButtonRelease) guarded([this] { ListViewMapsClick(); });
    });
    connect(ListViewMaps->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { guarded([this] { ListViewMapsClick(); }); });
}

QWidget* TFormMain::contentPageInFront() const {
    QWidget* page = PageControl1->currentWidget();
    return page && page != TabSheetCache ? page : nullptr;
}

std::string TFormMain::pageCaption(QWidget* page) const {
    return PageControl1->tabText(PageControl1->indexOf(page)).toStdString();
}

void TFormMain::TabSheetFoldersShow(QWidget* page) {
    // 1, 2: the list fills the page left of the command panel.
    if (Panel4->parentWidget() != page) {
        if (QLayout* old = Panel4->parentWidget()->layout()) {
            old->removeWidget(Panel4);
            old->removeWidget(PanelCompressCommand);
        }
        auto* row = qobject_cast<QHBoxLayout*>(page->layout());
        if (!row) {
            row = new QHBoxLayout(page);
            row->setContentsMargins(0, 0, 0, 0);
            row->setSpacing(0);
        }
        row->addWidget(Panel4, 1);
        row->addWidget(PanelCompressCommand);
        Panel4->show();
        PanelCompressCommand->show();
    }
    // 3
    const std::string caption = pageCaption(page);
    MenuMaps->setTitle(QString::fromStdString(caption));
    // 4
    RefreshFolderTab(caption);
}

void TFormMain::ButtonRefreshMapsClick() {
    if (QWidget* page = contentPageInFront()) RefreshFolderTab(pageCaption(page));
}

void TFormMain::RefreshFolderTab(const std::string& caption) {
    const std::string mask = contentMask(FGameKind, caption);
    const std::string root = ContentRoot();
    FillFolderList(root + spelledOnDisk(*S.fs, root, caption) + path::kSeparator, mask);
    SortFolderList(FSortColumn);
    ShowStatus(caption + " List refreshed " + formatStatusTime(S.clock->now()) + " (" + root + caption + ")");
}

void TFormMain::FillFolderList(const std::string& folder, const std::string& mask) {
    std::vector<FolderRow> rows;
    if (!mask.empty()) {
        // Hidden and system entries and matching folders are listed too.
        const std::vector<DirEntry> entries = S.fs->list(folder, mask);
        rows.reserve(entries.size());
        const std::string folderKey = collationKey(folder);
        for (const DirEntry& e : entries) rows.push_back(makeFolderRow(e, folder, folderKey, collationKey));
    }
    FFolderList->setRows(std::move(rows));
    ListViewMapsClick();
}

void TFormMain::ListViewMapsColumnClick(int column) {
    // 1, 2
    FSortDescending = column == FSortColumn ? !FSortDescending : false;
    FSortColumn = column;
    // 3
    SortFolderList(column);
}

void TFormMain::SortFolderList(int column) {
    FFolderList->sortRows(column, FSortDescending);
    const int image = FSortDescending ? 0 : 1;  // down : up
    for (int i = 0; i < kFolderColumns; ++i) SetColumnSortMark(i, image, i == column);
}

void TFormMain::SetColumnSortMark(int index, int image, bool isSortColumn) {
    auto* header = static_cast<SortMarkHeader*>(ListViewMaps->header());
    header->setMark(index, isSortColumn ? imlHeader->images.at(static_cast<size_t>(image)) : QPixmap());
}

}  // namespace qm
