#include "folder_list.h"

#include <algorithm>
#include <numeric>

#include "paths.h"

namespace qm {

std::string contentMask(TGameKind kind, std::string_view pageCaption) {
    struct Row {
        const char* caption;
        const char* ut;
        const char* ut200x;
    };
    static const Row rows[] = {
        {"Maps", "*.unr", "*.ut2"},  {"Textures", "*.utx", "*.utx"},   {"Sounds", "*.uax", "*.uax"},
        {"Music", "*.umx", "*.ogg"}, {"StaticMeshes", "", "*.usx"}, {"Animations", "", "*.ukx"},
    };
    if (kind != gkUT2003 && kind != gkUT2004 && kind != gkUT) return {};
    for (const Row& r : rows)
        if (pageCaption == r.caption) return kind == gkUT ? r.ut : r.ut200x;
    return {};
}

std::string foldedKey(std::string_view text) { return path::toLower(text); }

int64_t sizeTenths(int64_t bytes) {
    if (bytes <= 0) return 0;
    // bytes / 1024 KB to one decimal, half up: exact in integers, so a size
    // on a half (256 bytes = 0.25 KB) always rounds the same way.
    return (bytes * 10 + 512) / 1024;
}

std::string sizeText(int64_t bytes) {
    const int64_t tenths = sizeTenths(bytes);
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " KB";
}

FolderRow makeFolderRow(const DirEntry& entry, const std::string& folder, const std::string& folderKey,
                        const CollationKeyFn& collate) {
    FolderRow row;
    const DateTime shown = toFileDatePrecision(entry.time);
    const int64_t bytes = entry.isFolder() ? 0 : entry.size;
    row.text[kColFileName] = entry.name;
    row.text[kColModified] = formatListTime(shown);
    row.text[kColSize] = sizeText(bytes);
    row.text[kColPath] = folder;
    row.nameKey = collate(entry.name);
    row.pathKey = folderKey;
    row.modifiedKey = shown.serialSeconds();
    row.sizeKey = sizeTenths(bytes);
    return row;
}

void renameFolderRow(FolderRow& row, std::string name, const CollationKeyFn& collate) {
    row.nameKey = collate(name);
    row.text[kColFileName] = std::move(name);
}

namespace {

int threeWay(int64_t a, int64_t b) { return (a > b) - (a < b); }
int threeWay(const std::string& a, const std::string& b) {
    const int c = a.compare(b);
    return (c > 0) - (c < 0);
}

int ascending(const FolderRow& a, const FolderRow& b, int column) {
    switch (column) {
        case kColFileName: return threeWay(a.nameKey, b.nameKey);
        case kColModified: return threeWay(a.modifiedKey, b.modifiedKey);
        case kColSize: return threeWay(a.sizeKey, b.sizeKey);
        case kColPath: return threeWay(a.pathKey, b.pathKey);
        default: return 0;
    }
}

}  // namespace

int ListViewMapsCompare(const FolderRow& first, const FolderRow& second, int column, bool descending) {
    return descending ? ascending(second, first, column) : ascending(first, second, column);
}

std::vector<size_t> sortedOrder(const std::vector<FolderRow>& rows, int column, bool descending) {
    std::vector<size_t> order(rows.size());
    std::iota(order.begin(), order.end(), size_t{0});
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return ListViewMapsCompare(rows[a], rows[b], column, descending) < 0;
    });
    return order;
}

}  // namespace qm
