#include "app/folder_list_model.h"

namespace qm {

namespace {
const char* const kCaptions[kFolderColumns] = {"FileName", "Modified", "Size", "Path"};
}

FolderListModel::FolderListModel(CollationKeyFn collate, QObject* parent)
    : QAbstractTableModel(parent), collate_(std::move(collate)) {}

void FolderListModel::setRows(std::vector<FolderRow> rows) {
    beginResetModel();
    rows_ = std::move(rows);
    endResetModel();
}

void FolderListModel::sortRows(int column, bool descending) {
    const std::vector<size_t> order = sortedOrder(rows_, column, descending);
    emit layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    // Where each old row went, for the selection and the current row.
    std::vector<int> placeOf(order.size());
    std::vector<FolderRow> sorted;
    sorted.reserve(rows_.size());
    for (size_t place = 0; place < order.size(); ++place) {
        placeOf[order[place]] = static_cast<int>(place);
        sorted.push_back(std::move(rows_[order[place]]));
    }
    rows_ = std::move(sorted);
    const QModelIndexList before = persistentIndexList();
    QModelIndexList after;
    after.reserve(before.size());
    for (const QModelIndex& i : before)
        after.push_back(index(placeOf[static_cast<size_t>(i.row())], i.column()));
    changePersistentIndexList(before, after);
    emit layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

int FolderListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int FolderListModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kFolderColumns; }

QVariant FolderListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole)) return {};
    return QString::fromStdString(rows_[static_cast<size_t>(index.row())].text[index.column()]);
}

QVariant FolderListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= kFolderColumns)
        return {};
    return QString::fromLatin1(kCaptions[section]);
}

Qt::ItemFlags FolderListModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    // Only the name can be edited in place.
    if (index.isValid() && index.column() == kColFileName) f |= Qt::ItemIsEditable;
    return f;
}

bool FolderListModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || index.column() != kColFileName || role != Qt::EditRole) return false;
    const std::string name = value.toString().toStdString();
    // An emptied name would name the folder itself; the old name stays.
    if (name.empty()) return false;
    FolderRow& r = rows_[static_cast<size_t>(index.row())];
    if (name == r.text[kColFileName]) return true;
    renameFolderRow(r, name, collate_);
    emit dataChanged(index, index, {Qt::DisplayRole, Qt::EditRole});
    if (onNameEdited) onNameEdited();
    return true;
}

}  // namespace qm
