// Extraction of the selected cache lines: the window gathers the selection,
// the mod and the options, core extracts each entry, and the window drops
// the lines of entries that left the cache.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "app/uFormMain.h"
#include "core/extraction.h"
#include "core/paths.h"

namespace qm {

void TFormMain::miGoClick() { ButtonExtractClick(ButtonExtract); }
void TFormMain::miExtractToClick() { ButtonExtractClick(miExtractTo); }

void TFormMain::ButtonExtractClick(QObject* sender) {
    TExtractRun run;
    const bool extractTo = sender == miExtractTo;
    LineAction action;
    action.noLineStatus = "Please select a file to extract.";
    action.separatorWarning =
        "The dashed lines are separators to help identify which cache items were downloaded for a given file.  You "
        "can't extract them";
    action.begin = [&] {
        if (!extractTo) return true;
        // An empty answer would turn Extract To into a move: it counts as
        // a cancel.
        std::optional<std::string> folder = S.dialogs->selectFolder();
        if (!folder || folder->empty()) {
            ShowStatus("Action Cancelled");
            return false;
        }
        run.TargetFolder = *folder;
        return true;
    };
    action.handle = [&](int row) { return ExtractEntry(row, run); };
    action.singleFailure = [&](const std::exception& e) {
        return reportLineFailure(e) ? "File Skipped." : "Error extracting file.";
    };
    action.lineFailure = [&](const std::exception& e) { reportLineFailure(e); };
    action.doneStatus = [](int n) { return "Extracted " + std::to_string(n) + " file(s)."; };
    runOverSelectedLines(action);
}

bool TFormMain::ExtractEntry(int index, TExtractRun& run) {
    const CacheLine line = FCacheList.lines.at(static_cast<size_t>(index));
    const ExtractionSetup setup{cacheAccess(),  *S.dialogs,
                                game(),         FGameName,
                                ContentRoot(),  cmbMod->currentIndex() >= 1,
                                [this](const std::string& status) { showProgress(status); }};
    MutatorImportChoice import{FAskDoUCCExportCache, miDoUCCExportCache->isChecked()};
    // The one-time import question may be answered even when the entry
    // then fails: the window keeps the answer either way.
    struct KeepChoice {
        TFormMain& form;
        MutatorImportChoice& choice;
        ~KeepChoice() {
            form.FAskDoUCCExportCache = choice.askFirst;
            form.miDoUCCExportCache->setChecked(choice.on);
        }
    } keep{*this, import};
    const Extracted done = qm::ExtractEntry(setup, run, import, line);
    if (done.leftCache) removeCacheLine(index);
    if (done.importDue) ExportDotUToUTCache(done.target);
    return true;
}

void TFormMain::ListBoxCacheClick() {
    const int row = ListBoxCache->currentRow();
    if (row < 0 || row >= static_cast<int>(FCacheList.lines.size()) ||
        FCacheList.lines[static_cast<size_t>(row)].kind != CacheLine::Kind::Entry) {
        lblExtractTo->clear();
        return;
    }
    const CacheAccess cache = cacheAccess();
    const std::string name =
        LookupCacheEntry(*S.fs, *S.ini, cache.indexPath, FCacheList.lines[static_cast<size_t>(row)].key);
    lblExtractTo->setText(QString::fromStdString("Selected item will extract to: " +
                                                 path::join(DestinationFolder(*S.fs, game(), ContentRoot(), name), name)));
}

}  // namespace qm
