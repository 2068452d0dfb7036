// Package compression: the game's tool is started once per selected package
// of the content list and runs on its own, in a console window of its own.
#include <QAction>
#include <QItemSelectionModel>
#include <QTreeView>

#include "app/folder_list_model.h"
#include "app/uFormMain.h"
#include "core/game_tool.h"
#include "core/paths.h"

namespace qm {

namespace {

// The selected rows, top down in the list's current order. Read from the
// selection's ranges: asking row by row costs the square of their number.
std::vector<int> selectedRowsTopDown(QTreeView* list) {
    std::vector<bool> selected(static_cast<size_t>(list->model()->rowCount()));
    for (const QItemSelectionRange& range : list->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            if (r >= 0 && static_cast<size_t>(r) < selected.size()) selected[static_cast<size_t>(r)] = true;
    std::vector<int> rows;
    for (size_t r = 0; r < selected.size(); ++r)
        if (selected[r]) rows.push_back(static_cast<int>(r));
    return rows;
}

// 0, 1, or 2 for two or more: the number of selected rows.
int selectedRowsUpToTwo(QTreeView* list) {
    int first = -1;
    for (const QItemSelectionRange& range : list->selectionModel()->selection()) {
        if (!range.isValid()) continue;
        if (range.height() > 1 || (first >= 0 && range.top() != first)) return 2;
        first = range.top();
    }
    return first < 0 ? 0 : 1;
}

}  // namespace

void TFormMain::ListViewMapsClick() {
    miCompressFiles->setEnabled(true);
    const int selected = selectedRowsUpToTwo(ListViewMaps);
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
