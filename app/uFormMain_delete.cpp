// Deletion of the selected cache lines: core deletes each entry's file and
// key, the window drops its line.
#include <QAction>
#include <QListWidget>
#include <QPushButton>

#include "app/uFormMain.h"
#include "core/deletion.h"

namespace qm {

void TFormMain::BitBtn1Click() { miDeleteCacheFileEntryClick(miDeleteCacheFileEntry); }

void TFormMain::miDeleteCacheFileEntryClick(QObject*) {
    LineAction action;
    action.noLineStatus = "Please select a file to Delete.";
    action.separatorWarning =
        "The dashed lines are separators to help identify which cache items were downloaded for a given file.  You "
        "can't delete them";
    action.handle = [&](int row) { return DeleteEntry(row); };
    action.singleFailure = [&](const std::exception& e) {
        ask(DlgKind::Error, e.what(), {DlgButton::OK});
        return std::string("Could not remove the cache entry.");
    };
    action.lineFailure = [&](const std::exception& e) { ask(DlgKind::Error, e.what(), {DlgButton::OK}); };
    action.doneStatus = removedText;
    runOverSelectedLines(action);
}

bool TFormMain::DeleteEntry(int index) {
    qm::DeleteEntry(cacheAccess(), FCacheList.lines.at(static_cast<size_t>(index)),
                    [this](const std::string& status) { showProgress(status); });
    removeCacheLine(index);
    return true;
}

}  // namespace qm
