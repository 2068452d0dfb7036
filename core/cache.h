#pragma once
// The download cache: how cache files are named, how a folder listing
// answers the existence test for every key at once, and how the cache list
// is laid out.
#include <string>
#include <utility>
#include <string_view>
#include <vector>

#include "datetime.h"
#include "filesystem.h"

namespace qm {

inline constexpr const char* kCacheIniName = "Cache.ini";
inline constexpr const char* kCacheSection = "Cache";
inline constexpr const char* kSeparatorLine = "------------";
inline constexpr const char* kMissingPrefix = "* <File Missing> * - ";

// Answers "the first entry of a search for K*.uxx" for many keys from one
// listing of the cache folder, in the listing's order, with the same result
// as one folder search per key. Build is O(n log n), a query O(log n).
class CacheFolderIndex {
public:
    explicit CacheFolderIndex(std::vector<DirEntry> entries);
    // The first listed entry whose name starts with `key` and ends with
    // ".uxx" (both without regard to case); nullptr when there is none or
    // when that first entry is a folder.
    const DirEntry* firstFileFor(std::string_view key) const;

private:
    std::vector<DirEntry> entries_;                        // listing order
    std::vector<std::pair<std::string, size_t>> sorted_;  // lower-case name, listing index
};

// Cache file names a key can have, in the order they are looked for:
// K.uxx, then K-0.uxx .. K-99.uxx.
std::vector<std::string> cacheFileCandidates(std::string_view key);

// A cache key is literal text that names files inside the cache folder only.
bool isUsableCacheKey(std::string_view key);

// The separator rule: a separator goes between two listed files whose times
// are six minutes or more apart.
bool needsSeparator(const DateTime& previous, const DateTime& current);

std::string entryLineText(const DateTime& t, std::string_view realName);
std::string missingLineText(std::string_view realName);

// Whether a cache file name (without folder) is claimed by the index: its
// base name is a key, or the part before its first "-" is, or it is a key
// followed by "-" and a number, the name the game gives a second file of
// that key (all without case).
class KeySet {
public:
    explicit KeySet(const std::vector<std::string>& keys);
    bool contains(std::string_view key) const;
    bool claims(std::string_view fileName) const;

private:
    std::vector<std::string> lower_;  // sorted
};

}  // namespace qm
