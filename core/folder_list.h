#pragma once
// The package list of a content page: which files a page lists, the texts
// of its four columns, and its order. Every row carries the values its
// texts show, computed once when the row is made, so sorting never reads a
// text back.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "filesystem.h"
#include "game.h"

namespace qm {

// The wildcard mask of a content page by its caption ("Maps", "Music" ...,
// compared exactly) and the game kind; "" when the page lists nothing
// (gkUnreal, any other kind, an unknown caption, UT's StaticMeshes and
// Animations).
std::string contentMask(TGameKind kind, std::string_view pageCaption);

// The columns of the list, left to right.
enum FolderColumn : int { kColFileName = 0, kColModified = 1, kColSize = 2, kColPath = 3 };
inline constexpr int kFolderColumns = 4;

// Turns a name or path into a key whose byte order (std::string's <) is the
// order the user expects: the user's collation without regard to case.
// The platform layer supplies the real one; foldedKey is the fallback.
using CollationKeyFn = std::function<std::string(std::string_view)>;
// ASCII lower case: byte order without regard to ASCII case.
std::string foldedKey(std::string_view text);

struct FolderRow {
    std::string text[kFolderColumns];  // the four column texts, as shown
    std::string nameKey;               // collation key of the FileName text
    std::string pathKey;               // collation key of the Path text
    int64_t modifiedKey = 0;           // the shown time, in seconds
    int64_t sizeKey = 0;               // the shown size, in tenths of a KB
};

// "1.6 KB": the size in KB with one decimal (rounded half up, a point as
// the separator, no thousands separators). A negative size counts as 0.
std::string sizeText(int64_t bytes);
// The number of tenths of a KB that sizeText shows.
int64_t sizeTenths(int64_t bytes);

// The row of a folder entry listed in `folder` (the Path text, ending with
// the separator; `folderKey` is its collation key, the same for every row of
// one listing). A folder's size counts as 0, as the classic folder search
// reports it.
FolderRow makeFolderRow(const DirEntry& entry, const std::string& folder, const std::string& folderKey,
                        const CollationKeyFn& collate);
// After an in-place edit of the name: the FileName text and its key change,
// nothing else.
void renameFolderRow(FolderRow& row, std::string name, const CollationKeyFn& collate);

// The list's comparison: negative when `first` sorts before `second` by
// `column` in the given direction, zero when the shown values are equal,
// positive otherwise. Descending swaps the operands.
int ListViewMapsCompare(const FolderRow& first, const FolderRow& second, int column, bool descending);

// The positions of `rows` in sort order: element i is the index of the row
// that goes to place i. Stable: rows that compare equal keep their order.
std::vector<size_t> sortedOrder(const std::vector<FolderRow>& rows, int column, bool descending);

}  // namespace qm
