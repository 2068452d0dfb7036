// Extraction of cache entries: a cache file gets its real name back and goes
// into the game folder for its type (a move), or into a folder the user
// picks (a copy that leaves the entry in the cache).
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <vector>

#include "app/uFormMain.h"
#include "core/cache.h"
#include "core/filesystem.h"
#include "core/inifile.h"
#include "core/paths.h"

namespace qm {

namespace {

std::string skipText(const std::string& name) { return "Skipping file \"" + name + "\""; }

// The rule of the four-button questions: an earlier No to All skips without
// asking, an earlier Yes to All goes on without asking; Yes goes on, Yes to
// All goes on and remembers, No to All skips and remembers, and any other
// answer (No, or closing the question) skips.
template <class Ask>
void goOnOrSkip(bool& yesToAll, bool& noToAll, const std::string& name, Ask ask) {
    if (noToAll) throw Error(skipText(name));
    if (yesToAll) return;
    switch (ask({DlgButton::Yes, DlgButton::No, DlgButton::NoToAll, DlgButton::YesToAll})) {
        case DlgButton::Yes: return;
        case DlgButton::YesToAll: yesToAll = true; return;
        case DlgButton::NoToAll: noToAll = true; break;
        default: break;
    }
    throw Error(skipText(name));
}

}  // namespace

void TFormMain::miGoClick() { ButtonExtractClick(ButtonExtract); }
void TFormMain::miExtractToClick() { ButtonExtractClick(miExtractTo); }

void TFormMain::ButtonExtractClick(QObject* sender) {
    if (isBusy()) return;
    BusyScope busy(*this);
    try {
        TExtractRun run;
        const bool extractTo = sender == miExtractTo;
        // An empty answer would turn Extract To into a move: it counts as a
        // cancel.
        auto chooseTarget = [&]() -> bool {
            std::optional<std::string> folder = S.dialogs->selectFolder();
            if (!folder || folder->empty()) {
                ShowStatus("Action Cancelled");
                return false;
            }
            run.TargetFolder = *folder;
            return true;
        };

        const std::vector<int> selected = selectedRowsBottomUp(ListBoxCache);
        if (selected.size() < 2) {
            const int row = ListBoxCache->currentRow();
            if (!ListBoxCache->item(row)) {
                ShowStatus("Please select a file to extract.");
                return;
            }
            if (isSeparatorLine(ListBoxCache, row)) {
                ask(DlgKind::Warning,
                    "The dashed lines are separators to help identify which cache items were downloaded for a "
                    "given file.  You can't extract them",
                    {DlgButton::OK});
                return;
            }
            if (extractTo && !chooseTarget()) return;
            try {
                if (ExtractEntry(row, run)) ShowStatus("Extracted 1 file(s).");
            } catch (const std::exception& e) {
                ShowStatus(reportLineFailure(e.what()) ? "File Skipped." : "Error extracting file.");
            }
            return;
        }

        int extracted = 0;
        if (extractTo && !chooseTarget()) return;
        {
            KeyBatch batch(*this);
            for (int i : selected) {
                QListWidgetItem* item = ListBoxCache->item(i);
                if (!item || !item->isSelected() || isSeparatorLine(ListBoxCache, i)) continue;
                try {
                    if (ExtractEntry(i, run)) ++extracted;
                } catch (const std::exception& e) {
                    reportLineFailure(e.what());
                }
            }
        }
        ShowStatus("Extracted " + std::to_string(extracted) + " file(s).");
    } catch (const std::exception& e) {
        ask(DlgKind::Error, e.what(), {DlgButton::OK});
    }
}

bool TFormMain::ExtractEntry(int index, TExtractRun& run) {
    QListWidgetItem* item = ListBoxCache->item(index);
    // 1
    const std::string key = lineKey(ListBoxCache, index);
    if (key.empty())
        throw Error(notFoundText(textAfterFirstDash(item ? item->text().toStdString() : std::string())));
    // 2: the name comes from the index and becomes a file name in a folder
    // of the game; anything that could reach another folder is refused.
    const std::string name = LookupCacheEntry(key, false);
    if (!path::isPlainFileName(name))
        throw Error("Could not extract \"" + name + "\". The file name in Cache.ini is not a plain file name.");
    const std::string ext = path::extension(name);
    // 3
    if (path::toLower(ext) == ".u") {
        goOnOrSkip(run.DotUYesToAll, run.DotUNoToAll, name, [&](const DlgButtons& buttons) {
            return ask(DlgKind::Confirmation,
                       "Extracting .u files can result in \"Version Mismatch\" error on some servers.  Are you sure "
                       "you want to extract " + name + "\"?",
                       buttons);
        });
        if (FAskDoUCCExportCache && FGameKind == gkUT2004) {
            const DlgButton answer = ask(DlgKind::Confirmation,
                                         "Do you wish to import any items from the .u file (such as Mutators) into " +
                                             FGameName + "?",
                                         {DlgButton::Yes, DlgButton::No});
            FAskDoUCCExportCache = false;
            miDoUCCExportCache->setChecked(answer == DlgButton::Yes);
        }
    }
    // 4: the key names files inside the cache folder only
    bool found = false;
    const std::string cacheFile = LocateCacheFile(CacheFolder(), key, &found);
    if (!found) throw Error(notFoundText(name));
    // 5
    const bool copy = !run.TargetFolder.empty();
    std::string d;
    if (copy) {
        d = run.TargetFolder;
    } else if (cmbMod->currentIndex() >= 1) {
        d = DestinationFolder(name);
        if (!S.fs->folderExists(d)) {
            goOnOrSkip(run.FolderYesToAll, run.FolderNoToAll, name, [&](const DlgButtons& buttons) {
                return ask(DlgKind::Confirmation,
                           "Folder '" + d + "' does not exist\nWould you like to extract to the default UT folder for "
                           "this file type?",
                           buttons);
            });
            d = FGameDir + FolderForExtension(FGameKind, ext);
        }
    } else {
        d = DestinationFolder(name);
    }
    // 6
    const std::string target = path::join(d, name);
    // 7
    ShowStatus("Extracting: " + name + " -> " + target);
    keepPainted();
    // 8
    const std::string exists = "Could not extract \"" + target + "\". File Already exists.";
    if (S.fs->fileExists(target)) throw Error(exists);
    // 9: move and copy refuse an existing target on their own, so a file
    // that appears after the test above is never replaced; it only changes
    // which failure the entry reports.
    const Status done = copy ? S.fs->copyFile(cacheFile, target) : S.fs->moveFile(cacheFile, target);
    if (!done) {
        if (S.fs->fileExists(target)) throw Error(exists);
        throw Error("Could not extract \"" + target + "\". Write operation failed.");
    }
    // 10: the package is at its destination before its key leaves the
    // index, so an interruption can leave a key without a file (validation
    // removes it) but never a package that neither place knows.
    if (!copy) {
        removeIndexKey(key);
        removeCacheLine(index);
    }
    // 11
    if (FGameKind == gkUT2004 && miDoUCCExportCache->isChecked() && S.fs->fileExists(target) &&
        path::equalsIgnoreCase(path::extension(target), ".u"))
        ExportDotUToUTCache(target);
    // 12
    return true;
}

std::string TFormMain::DestinationFolder(const std::string& fileName) const {
    const std::string f = FolderForExtension(FGameKind, path::extension(fileName));
    std::string p = ContentRoot() + f;
    if (!S.fs->folderExists(p)) p = FGameDir + f;
    return p;
}

void TFormMain::ListBoxCacheClick() {
    const std::string key = lineKey(ListBoxCache, ListBoxCache->currentRow());
    if (key.empty()) {
        lblExtractTo->clear();
        return;
    }
    const std::string name = LookupCacheEntry(key, false);
    lblExtractTo->setText(
        QString::fromStdString("Selected item will extract to: " + path::join(DestinationFolder(name), name)));
}

}  // namespace qm
