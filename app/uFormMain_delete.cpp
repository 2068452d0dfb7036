// Deletion of cache entries: the cache file goes for good, then its key and
// its line.
#include <QAction>
#include <QItemSelectionModel>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <functional>
#include <vector>

#include "app/uFormMain.h"
#include "core/cache.h"
#include "core/filesystem.h"

namespace qm {

namespace {

const char* const kNotFoundTail = "\" is not found in the cache folder.  You may need to validate your cache.";

bool isSeparatorLine(QListWidgetItem* item) { return item && item->text().startsWith(QLatin1Char('-')); }

std::vector<int> selectedRowsBottomUp(QListWidget* list) {
    std::vector<int> rows;
    for (const QModelIndex& i : list->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    return rows;
}

std::string removedText(int count) {
    return count == 1 ? std::string("Removed 1 cache entry.")
                      : "Removed " + std::to_string(count) + " cache entries.";
}

}  // namespace

void TFormMain::BitBtn1Click() { miDeleteCacheFileEntryClick(miDeleteCacheFileEntry); }

void TFormMain::miDeleteCacheFileEntryClick(QObject*) {
    if (isBusy()) return;
    BusyScope busy(*this);
    try {
        const std::vector<int> selected = selectedRowsBottomUp(ListBoxCache);
        if (selected.size() < 2) {
            const int row = ListBoxCache->currentRow();
            QListWidgetItem* item = ListBoxCache->item(row);
            if (!item) {
                ShowStatus("Please select a file to Delete.");
                return;
            }
            if (isSeparatorLine(item)) {
                ask(DlgKind::Warning,
                    "The dashed lines are separators to help identify which cache items were downloaded for a "
                    "given file.  You can't delete them",
                    {DlgButton::OK});
                return;
            }
            try {
                if (DeleteEntry(row)) ShowStatus(removedText(1));
            } catch (const std::exception& e) {
                ask(DlgKind::Error, e.what(), {DlgButton::OK});
                ShowStatus("Could not remove the cache entry.");
            }
            return;
        }

        int removed = 0;
        for (int i : selected) {
            QListWidgetItem* item = ListBoxCache->item(i);
            if (!item || !item->isSelected() || isSeparatorLine(item)) continue;
            try {
                if (DeleteEntry(i)) ++removed;
            } catch (const std::exception& e) {
                ask(DlgKind::Error, e.what(), {DlgButton::OK});
            }
        }
        ShowStatus(removedText(removed));
    } catch (const std::exception& e) {
        ask(DlgKind::Error, e.what(), {DlgButton::OK});
    }
}

bool TFormMain::DeleteEntry(int index) {
    QListWidgetItem* item = ListBoxCache->item(index);
    // 1
    const std::string key = lineKey(ListBoxCache, index);
    if (key.empty())
        throw Error("Selected entry \"" + textAfterFirstDash(item ? item->text().toStdString() : std::string()) +
                    kNotFoundTail);
    // 2, 3
    const std::string name = LookupCacheEntry(key, false);
    ShowStatus("Removing: " + name);
    keepPainted();
    // 4: only a file that the key itself names, inside the cache folder
    bool found = false;
    const std::string cacheFile = LocateCacheFile(CacheFolder(), key, &found);
    if (!found) throw Error("Selected entry \"" + name + kNotFoundTail);
    // 5
    if (!S.fs->deleteFile(cacheFile)) throw Error("Could not remove \"" + name + "\". Delete operation failed.");
    // 6
    LookupCacheEntry(key, true);
    removeCacheLine(index);
    // 7
    return true;
}

}  // namespace qm
