// The cache list: one line per index entry, in index order.
#include <QLabel>
#include <QItemSelectionModel>
#include <QListWidget>
#include <algorithm>
#include <functional>
#include <optional>
#include <unordered_map>

#include "app/uFormMain.h"
#include "core/cache.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "core/paths.h"

namespace qm {

namespace {

constexpr int kKeyRole = Qt::UserRole;

}  // namespace

std::string TFormMain::lineKey(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    if (!item) return {};
    return item->data(kKeyRole).toString().toStdString();
}

bool TFormMain::isSeparatorLine(QListWidget* list, int row) {
    QListWidgetItem* item = list->item(row);
    return item && item->text().startsWith(QLatin1Char('-'));
}

std::vector<int> TFormMain::selectedRowsBottomUp(QListWidget* list) {
    std::vector<int> rows;
    for (const QModelIndex& i : list->selectionModel()->selectedRows()) rows.push_back(i.row());
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    return rows;
}

std::string TFormMain::notFoundText(const std::string& name) {
    return "Selected entry \"" + name + "\" is not found in the cache folder.  You may need to validate your cache.";
}

void TFormMain::removeIndexKey(const std::string& key) {
    if (!FBatchKeys) {
        LookupCacheEntry(key, true);
        return;
    }
    FPendingKeys.push_back(key);
    // A few hundred keys per rewrite keeps a long action fast while the
    // index follows it closely.
    if (FPendingKeys.size() >= 250) flushPendingKeys();
}

void TFormMain::flushPendingKeys() {
    if (FPendingKeys.empty()) return;
    std::vector<std::string> keys;
    keys.swap(FPendingKeys);
    const std::string index = CacheFolder() + kCacheIniName;
    if (!S.fs->fileExists(index)) return;
    // Each key leaves in a rewrite of its own; the batch waits for the disk once.
    DeferredFlush durable(*S.ini, index);
    for (const std::string& key : keys) S.ini->deleteKey(index, kCacheSection, key);
}

TFormMain::KeyBatch::~KeyBatch() {
    form_.FBatchKeys = false;
    try {
        form_.flushPendingKeys();
    } catch (...) {
        // A key left behind names a file that is gone; validation removes it.
    }
}

void TFormMain::removeCacheLine(int row) {
    FUpdatingList = true;
    delete ListBoxCache->takeItem(row);
    FUpdatingList = false;
}

void TFormMain::RefreshCacheList(bool validationMode) {
    // 1, 2
    FUpdatingList = true;
    ListBoxCache->clear();
    FUpdatingList = false;
    const std::string c = CacheFolder();
    const std::string index = c + kCacheIniName;
    lblExtractTo->clear();
    // 3
    if (!S.fs->fileExists(index)) {
        ShowStatus("Cache not found - " + formatStatusTime(S.clock->now()) + " - (" + index + ")");
        return;
    }
    // 4: the loop runs over its own copy of the keys
    const std::vector<std::string> keys = S.ini->keys(index, kCacheSection);
    // 5: one listing of the folder answers every key's file test
    const CacheFolderIndex files(S.fs->list(c, "*.uxx"));
    std::optional<KeyBatch> batch;
    if (validationMode) batch.emplace(*this);
    std::vector<std::pair<QString, QString>> lines;  // text, key ("" for none)
    lines.reserve(keys.size() + keys.size() / 8);
    bool havePrevious = false;
    DateTime previous;
    for (const std::string& k : keys) {
        const DirEntry* file = files.firstFileFor(k);
        if (file) {
            if (havePrevious && needsSeparator(previous, file->time)) lines.emplace_back(kSeparatorLine, QString());
            lines.emplace_back(QString::fromStdString(entryLineText(file->time, S.ini->value(index, kCacheSection, k))),
                               QString::fromStdString(k));
            previous = file->time;
            havePrevious = true;
        } else if (validationMode) {
            try {
                if (FValidationLog)
                    FValidationLog->push_back("File for ini entry " + S.ini->value(index, kCacheSection, k) + " (" +
                                              k + ") was missing.");
            } catch (...) {
                // The report line is best effort; the deletion still happens.
            }
            // The deletions of one pass are written in batches: a flushed
            // rewrite per key would take seconds on a large index.
            FPendingKeys.push_back(k);
            if (FPendingKeys.size() >= 250) flushPendingKeys();
        } else {
            lines.emplace_back(QString::fromStdString(missingLineText(S.ini->value(index, kCacheSection, k))),
                               QString());
        }
    }
    FUpdatingList = true;
    ListBoxCache->setUpdatesEnabled(false);
    for (auto& [text, key] : lines) {
        auto* item = new QListWidgetItem(text);
        if (!key.isEmpty()) item->setData(kKeyRole, key);
        ListBoxCache->addItem(item);
    }
    ListBoxCache->setUpdatesEnabled(true);
    FUpdatingList = false;
    batch.reset();
    // 6
    ShowStatus("Cache List refreshed " + formatStatusTime(S.clock->now()) + " - (" + index + ")");
}

std::string TFormMain::LookupCacheEntry(const std::string& key, bool remove) {
    const std::string index = CacheFolder() + kCacheIniName;
    if (!S.fs->fileExists(index)) return {};
    std::string name = S.ini->value(index, kCacheSection, key);
    if (!name.empty() && remove) S.ini->deleteKey(index, kCacheSection, key);
    return name;
}

std::string TFormMain::LocateCacheFile(const std::string& cacheFolder, const std::string& key, bool* found) {
    // The key is literal text: its files are looked up by name inside the
    // cache folder only, never as a pattern or a relative path.
    if (found) *found = false;
    if (!isUsableCacheKey(key)) return cacheFolder + key + ".uxx";
    const std::vector<std::string> candidates = cacheFileCandidates(key);
    // Nearly every entry is stored under its plain name in that very
    // spelling, which one lookup answers.
    if (auto file = S.fs->findFirstFile(cacheFolder, candidates.front(), "")) {
        if (found) *found = true;
        return cacheFolder + file->name;
    }
    // Otherwise one listing answers the other spellings and the numbered
    // names; for each name the first listed entry decides.
    std::unordered_map<std::string, const DirEntry*> first;
    const std::vector<DirEntry> listing = S.fs->list(cacheFolder, "*.uxx");
    for (const DirEntry& e : listing) first.emplace(path::toLower(e.name), &e);
    for (const std::string& name : candidates) {
        auto it = first.find(path::toLower(name));
        if (it != first.end() && !it->second->isFolder()) {
            if (found) *found = true;
            return cacheFolder + it->second->name;
        }
    }
    return cacheFolder + key + ".uxx";
}

void TFormMain::ButtonRefreshClick() { RefreshCacheList(false); }

void TFormMain::TabSheetCacheShow() { ButtonRefreshClick(); }

}  // namespace qm
