// Package compression: the game's tool is started once per selected package
// of the content list and runs on its own, in a console window of its own.
#include <QAction>
#include <QItemSelectionModel>
#include <QTreeView>
#include <algorithm>

#include "app/folder_list_model.h"
#include "app/uFormMain.h"
#include "core/game_tool.h"
#include "core/paths.h"

namespace qm {

namespace {

// The selected rows, top down in the list's current order.
std::vector<int> selectedRowsTopDown(QTreeView* list) {
    std::vector<int> rows;
    for (const QModelIndex& i : list->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

}  // namespace

void TFormMain::ListViewMapsClick() {
    miCompressFiles->setEnabled(true);
    const size_t selected = static_cast<size_t>(ListViewMaps->selectionModel()->selectedRows().size());
    if (selected == 0)
        miCompressFiles->setEnabled(false);
    else if (selected == 1)
        miCompressFiles->setText("Compress File");
    else
        miCompressFiles->setText("Compress File(s)");
}

void TFormMain::ButtonCompressClick() { miCompressFilesClick(); }

void TFormMain::miCompressFilesClick() {
    QWidget* page = contentPageInFront();
    const std::vector<int> rows = selectedRowsTopDown(ListViewMaps);
    // 1
    if (!page || rows.empty()) return;
    // The packages first: an error dialog runs the event loop, and nothing
    // it lets through may change what this click compresses.
    const std::string root = ContentRoot();
    const std::string folder = root + spelledOnDisk(*S.fs, root, pageCaption(page)) + path::kSeparator;
    std::vector<std::string> packages;
    for (int r : rows) packages.push_back(folder + FFolderList->row(r).text[kColFileName]);
    // The tool and its working folder are the game's, also for a mod's
    // packages.
    const GameTool tool = resolveGameTool(*S.fs, FGameDir);
    // 2, 3
    int started = 0;
    for (const std::string& package : packages) {
        // The path is one argument, blanks and all.
        const Status st = S.launcher->startDetached(tool.program, {"compress", package}, tool.workingFolder);
        if (st)
            ++started;
        else
            ask(DlgKind::Error, st.reason, {DlgButton::OK});
    }
    // 4
    ShowStatus("Compressed " + std::to_string(started) + " file(s).");
}

}  // namespace qm
