// The cache list: one line per index entry, in index order, read by core
// and shown here.
#include <QLabel>
#include <QListWidget>

#include "app/uFormMain.h"
#include "core/datetime.h"
#include "core/validation.h"

namespace qm {

void TFormMain::RefreshCacheList(bool validationMode) {
    FUpdatingList = true;
    ListBoxCache->clear();
    FCacheList.lines.clear();
    FUpdatingList = false;
    lblExtractTo->clear();
    const CacheAccess cache = cacheAccess();
    CacheList list = readCacheList(*S.fs, *S.ini, cache.folder);
    if (!list.indexFound) {
        ShowStatus("Cache not found - " + formatStatusTime(S.clock->now()) + " - (" + list.indexPath + ")");
        return;
    }
    if (validationMode) {
        std::vector<std::string> ignored;
        DropMissingEntries(cache, list, FValidationLog ? *FValidationLog : ignored);
    }
    const std::string index = list.indexPath;
    showCacheList(std::move(list));
    ShowStatus("Cache List refreshed " + formatStatusTime(S.clock->now()) + " - (" + index + ")");
}

void TFormMain::showCacheList(CacheList list) {
    FUpdatingList = true;
    ListBoxCache->setUpdatesEnabled(false);
    ListBoxCache->clear();
    for (const CacheLine& line : list.lines) ListBoxCache->addItem(QString::fromStdString(line.text()));
    FCacheList = std::move(list);
    ListBoxCache->setUpdatesEnabled(true);
    FUpdatingList = false;
}

void TFormMain::removeCacheLine(int row) {
    if (row < 0 || row >= static_cast<int>(FCacheList.lines.size())) return;
    FUpdatingList = true;
    delete ListBoxCache->takeItem(row);
    FCacheList.lines.erase(FCacheList.lines.begin() + row);
    FUpdatingList = false;
}

void TFormMain::ButtonRefreshClick() { RefreshCacheList(false); }

void TFormMain::TabSheetCacheShow() { ButtonRefreshClick(); }

}  // namespace qm
