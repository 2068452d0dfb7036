#pragma once
// The rows of the content list as the list view shows them: the core rows
// in display order. Sorting permutes them and keeps the selection and the
// current row with their rows.
#include <QAbstractTableModel>
#include <functional>
#include <vector>

#include "core/folder_list.h"

namespace qm {

class FolderListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit FolderListModel(CollationKeyFn collate, QObject* parent = nullptr);

    // Replaces every row (the list is refilled).
    void setRows(std::vector<FolderRow> rows);
    const FolderRow& row(int i) const { return rows_[static_cast<size_t>(i)]; }
    const std::vector<FolderRow>& rows() const { return rows_; }
    // Puts the rows into sort order by `column`; stable.
    void sortRows(int column, bool descending);
    // Called after the user edited a name in place.
    std::function<void()> onNameEdited;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    CollationKeyFn collate_;
    std::vector<FolderRow> rows_;
};

}  // namespace qm
