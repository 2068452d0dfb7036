#pragma once
// Cache validation: the index pass drops the entries whose file is gone,
// the file pass deletes the cache files that no entry claims. Each pass
// writes one report line per entry or file it looked at.
#include <string>
#include <utility>
#include <vector>

#include "cache_list.h"
#include "filesystem.h"

namespace qm {

class Dialogs;

extern const char* const kValidateQuestion;

// The index pass over a list just read: each missing entry's key leaves the
// index at once and its line the list.
void DropMissingEntries(const CacheAccess& cache, CacheList& list, std::vector<std::string>& log);

// The entries of the folder part of `pattern` that match its file-name
// part, each with its full path, in the order the file system lists them.
std::vector<std::pair<std::string, DirEntry>> ListMatchingFiles(FileSystem& fs, const std::string& pattern);

// The file pass: every *.uxx that the index does not claim is deleted (a
// folder so named is never emptied; a link goes as a link); a file that
// cannot be deleted is reported through `dialogs`. An index that exists
// but cannot be read claims nothing, so nothing is deleted on its word:
// that raises Error.
void ValidateCacheFiles(const CacheAccess& cache, Dialogs& dialogs, std::vector<std::string>& log);

}  // namespace qm
