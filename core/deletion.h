#pragma once
// Deletion of cache entries: the cache file goes for good, then its key.
#include <functional>
#include <string>

#include "cache_list.h"

namespace qm {

// Deletes the entry of `line`; `progress` shows what is being removed.
// Failures raise Error with the text the user sees, and leave the entry
// as it was.
void DeleteEntry(const CacheAccess& cache, const CacheLine& line,
                 const std::function<void(const std::string&)>& progress);

// "Removed 1 cache entry.", "Removed 3 cache entries."
std::string removedText(int count);

}  // namespace qm
