#pragma once
// The content list's view: a report-style list whose in-place edit is
// always of the name, as in the classic list view: F2 edits the name of
// the focused row whichever column has the focus, a slow second click
// edits it only on the name itself.
#include <QTreeView>

namespace qm {

class FolderListView : public QTreeView {
    Q_OBJECT
public:
    using QTreeView::QTreeView;

protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override {
        if (trigger == EditKeyPressed && index.isValid() && index.column() != 0)
            return QTreeView::edit(index.siblingAtColumn(0), trigger, event);
        return QTreeView::edit(index, trigger, event);
    }
};

}  // namespace qm
