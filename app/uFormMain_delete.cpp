// Deletion of cache entries: the cache file goes for good, then its key and
// its line.
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <vector>

#include "app/uFormMain.h"
#include "core/cache.h"
#include "core/filesystem.h"

namespace qm {

namespace {

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
            if (!ListBoxCache->item(row)) {
                ShowStatus("Please select a file to Delete.");
                return;
            }
            if (isSeparatorLine(ListBoxCache, row)) {
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
        {
            KeyBatch batch(*this);
            for (int i : selected) {
                QListWidgetItem* item = ListBoxCache->item(i);
                if (!item || !item->isSelected() || isSeparatorLine(ListBoxCache, i)) continue;
                try {
                    if (DeleteEntry(i)) ++removed;
                } catch (const std::exception& e) {
                    ask(DlgKind::Error, e.what(), {DlgButton::OK});
                }
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
        throw Error(notFoundText(textAfterFirstDash(item ? item->text().toStdString() : std::string())));
    // 2, 3
    const std::string name = LookupCacheEntry(key, false);
    ShowStatus("Removing: " + name);
    keepPainted();
    // 4: only a file that the key itself names, inside the cache folder
    bool found = false;
    const std::string cacheFile = LocateCacheFile(CacheFolder(), key, &found);
    if (!found) throw Error(notFoundText(name));
    // 5
    if (!S.fs->deleteFile(cacheFile)) throw Error("Could not remove \"" + name + "\". Delete operation failed.");
    // 6: an entry with an empty name keeps its key, as the lookup's removal does
    if (!name.empty()) removeIndexKey(key);
    removeCacheLine(index);
    // 7
    return true;
}

}  // namespace qm
