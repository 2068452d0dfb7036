#pragma once
// The cache list as data: what the Cache page shows, one line per index
// entry in index order, with separators between downloads that lie apart
// in time. The window shows these lines; every action over a line takes the
// line's data from here, never from its text.
#include <optional>
#include <string>
#include <vector>

#include "datetime.h"

namespace qm {

class FileSystem;
class IniFiles;

struct CacheLine {
    enum class Kind { Entry, Separator, Missing };
    Kind kind = Kind::Entry;
    std::string key;       // Entry and Missing: the index key
    std::string realName;  // Entry and Missing: the key's value
    std::string fileName;  // Entry: the cache file, inside the cache folder
    DateTime time;         // Entry: the cache file's time

    bool isSeparator() const { return kind == Kind::Separator; }
    // The line's text on the screen.
    std::string text() const;
};

struct CacheList {
    std::string indexPath;    // the index file, in its real spelling when it exists
    bool indexFound = false;  // false: no index, no lines
    std::vector<CacheLine> lines;
};

// The index of `cacheFolder` (ending with the separator): the file that
// exists, whatever the case of its name, else the name the game writes.
std::string cacheIndexPath(FileSystem& fs, const std::string& cacheFolder);

// Reads the index and the folder: one line per key, each key's first cache
// file (K*.uxx, the first one the folder lists) deciding its time, a
// missing-entry line where there is none, and a separator before an entry
// whose file is six minutes or more newer than the previous listed file.
CacheList readCacheList(FileSystem& fs, IniFiles& ini, const std::string& cacheFolder);

// The real name of `key` in the index, "" when the index or key is missing.
std::string LookupCacheEntry(FileSystem& fs, IniFiles& ini, const std::string& indexPath, const std::string& key);
// Removes `key` from the index. An entry with an empty name keeps its key.
void RemoveCacheEntry(FileSystem& fs, IniFiles& ini, const std::string& indexPath, const std::string& key);

// The cache file of `key` inside `cacheFolder`: K.uxx, then K-0.uxx to
// K-99.uxx, names compared without case; nothing when none exists. The key
// is literal text and never names a file outside the folder.
std::optional<std::string> LocateCacheFile(FileSystem& fs, const std::string& cacheFolder, const std::string& key);

// The failure of a line whose entry has no cache file.
std::string notFoundText(const std::string& name);

}  // namespace qm

namespace qm {

// One cache as the actions over its entries see it.
struct CacheAccess {
    FileSystem& fs;
    IniFiles& ini;
    std::string folder;     // ending with the separator
    std::string indexPath;  // cacheIndexPath(folder)
};

}  // namespace qm
