// Actions over the selected lines of the cache list (extraction, deletion):
// which lines they take, the order they take them in, what they say when
// there is nothing to do, and the window's state while they run.
#include <QAction>
#include <QApplication>
#include <QListWidget>
#include <QMenuBar>
#include <QTabWidget>

#include "app/uFormMain.h"
#include "core/inifile.h"
#include "core/line_selection.h"

namespace qm {

TFormMain::BusyScope::BusyScope(TFormMain& form) : form_(form) {
    form_.FBusy = true;
    form_.centralWidget()->setEnabled(false);
    form_.menuBar()->setEnabled(false);
    form_.FPaintClock.start();
}

TFormMain::BusyScope::~BusyScope() {
    form_.centralWidget()->setEnabled(true);
    form_.menuBar()->setEnabled(true);
    form_.FBusy = false;
    // Disabling took the focus away: the list gets it back, with a current
    // line the user can see, so the next key acts where the user looks.
    QListWidget* list = form_.ListBoxCache;
    if (form_.PageControl1->currentWidget() != form_.TabSheetCache) return;
    list->setFocus();
    if (list->count() == 0) return;
    if (list->currentRow() < 0) {
        form_.FUpdatingList = true;
        list->setCurrentRow(0, QItemSelectionModel::NoUpdate);
        form_.FUpdatingList = false;
    }
    list->scrollToItem(list->currentItem());
}

void TFormMain::keepPainted() {
    // A few repaints a second are enough for the status line to follow.
    if (FPaintClock.isValid() && FPaintClock.elapsed() < 50) return;
    QCoreApplication::processEvents();
    FPaintClock.restart();
}

void TFormMain::showProgress(const std::string& status) {
    ShowStatus(status);
    keepPainted();
}

bool TFormMain::reportLineFailure(const std::exception& failure) {
    const bool skip = dynamic_cast<const EntrySkipped*>(&failure) != nullptr;
    if (skip) {
        if (miShowAllMessages->isChecked()) ask(DlgKind::Information, failure.what(), {DlgButton::OK});
    } else {
        ask(DlgKind::Error, failure.what(), {DlgButton::OK});
    }
    return skip;
}

void TFormMain::runOverSelectedLines(const LineAction& action) {
    if (isBusy()) return;
    BusyScope busy(*this);
    try {
        std::vector<int> selected;
        for (const QModelIndex& i : ListBoxCache->selectionModel()->selectedRows()) selected.push_back(i.row());
        const LinePick pick = PickLines(FCacheList.lines, std::move(selected), ListBoxCache->currentRow());
        switch (pick.what) {
            case LinePick::What::Nothing: ShowStatus(action.noLineStatus); return;
            case LinePick::What::Separator: ask(DlgKind::Warning, action.separatorWarning, {DlgButton::OK}); return;
            case LinePick::What::Single:
                if (action.begin && !action.begin()) return;
                try {
                    if (action.handle(pick.rows.front())) ShowStatus(action.doneStatus(1));
                } catch (const std::exception& e) {
                    ShowStatus(action.singleFailure(e));
                }
                return;
            case LinePick::What::Many: break;
        }
        if (action.begin && !action.begin()) return;
        int counted = 0;
        // Each entry's key leaves the index in a rewrite of its own at once;
        // the disk is waited for once, when the action ends.
        const DeferredFlush durable(*S.ini, cacheAccess().indexPath);
        for (int row : pick.rows) {
            // A line that went away or was deselected meanwhile is passed
            // over, and so is a separator.
            QListWidgetItem* item = ListBoxCache->item(row);
            if (!item || !item->isSelected() || FCacheList.lines[static_cast<size_t>(row)].isSeparator()) continue;
            try {
                if (action.handle(row)) ++counted;
            } catch (const std::exception& e) {
                action.lineFailure(e);
            }
        }
        ShowStatus(action.doneStatus(counted));
    } catch (const std::exception& e) {
        ask(DlgKind::Error, e.what(), {DlgButton::OK});
    }
}

}  // namespace qm
