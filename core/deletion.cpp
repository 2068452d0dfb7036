#include "deletion.h"

#include "error.h"
#include "filesystem.h"

namespace qm {

void DeleteEntry(const CacheAccess& cache, const CacheLine& line,
                 const std::function<void(const std::string&)>& progress) {
    if (line.kind != CacheLine::Kind::Entry) throw Error(notFoundText(line.realName));
    const std::string name = LookupCacheEntry(cache.fs, cache.ini, cache.indexPath, line.key);
    if (progress) progress("Removing: " + name);
    // Only a file that the key itself names, inside the cache folder.
    const std::optional<std::string> file = LocateCacheFile(cache.fs, cache.folder, line.key);
    if (!file) throw Error(notFoundText(name));
    if (!cache.fs.deleteFile(*file)) throw Error("Could not remove \"" + name + "\". Delete operation failed.");
    RemoveCacheEntry(cache.fs, cache.ini, cache.indexPath, line.key);
}

std::string removedText(int count) {
    return count == 1 ? std::string("Removed 1 cache entry.") : "Removed " + std::to_string(count) + " cache entries.";
}

}  // namespace qm
