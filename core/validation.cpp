#include "validation.h"

#include <algorithm>

#include "cache.h"
#include "dialogs.h"
#include "inifile.h"
#include "paths.h"

namespace qm {

const char* const kValidateQuestion =
    "This function will remove any invalid items in the UT cache. Cache items are auto-downloaded as needed, so "
    "the worst that should happen is you may have to redownload certain files. Ok to continue?";

void DropMissingEntries(const CacheAccess& cache, CacheList& list, std::vector<std::string>& log) {
    // Each key leaves in a rewrite of its own; the pass waits for the disk once.
    const DeferredFlush durable(cache.ini, cache.indexPath);
    for (const CacheLine& line : list.lines) {
        if (line.kind != CacheLine::Kind::Missing) continue;
        // The name as the index holds it now: an earlier deletion of a
        // duplicate key brings the next line of that key forward.
        log.push_back("File for ini entry " + LookupCacheEntry(cache.fs, cache.ini, cache.indexPath, line.key) +
                      " (" + line.key + ") was missing.");
        cache.ini.deleteKey(cache.indexPath, kCacheSection, line.key);
    }
    list.lines.erase(std::remove_if(list.lines.begin(), list.lines.end(),
                                    [](const CacheLine& l) { return l.kind == CacheLine::Kind::Missing; }),
                     list.lines.end());
}

std::vector<std::pair<std::string, DirEntry>> ListMatchingFiles(FileSystem& fs, const std::string& pattern) {
    const std::string folder = path::folderPart(pattern);
    std::vector<std::pair<std::string, DirEntry>> found;
    for (DirEntry& e : fs.list(folder, path::fileName(pattern))) {
        std::string full = folder + e.name;
        found.emplace_back(std::move(full), std::move(e));
    }
    return found;
}

void ValidateCacheFiles(const CacheAccess& cache, Dialogs& dialogs, std::vector<std::string>& log) {
    const auto files = ListMatchingFiles(cache.fs, cache.folder + "*.uxx");
    const bool haveIndex = cache.fs.fileExists(cache.indexPath);
    if (haveIndex && !cache.ini.readable(cache.indexPath))
        throw Error("Could not read " + cache.indexPath + ".  No cache file was deleted.");
    const KeySet keys(haveIndex ? cache.ini.keys(cache.indexPath, kCacheSection) : std::vector<std::string>());

    for (const auto& [file, entry] : files) {
        std::string line = file;
        if (keys.claims(entry.name)) {
            line += " is in Cache.ini";
        } else {
            line += " is MISSING: ";
            // A folder named like a cache file is never emptied or removed;
            // a symbolic link is removed as a link, its target stays.
            const bool plainFolder = entry.isFolder() && (entry.attributes & kAttrOther) == 0;
            const Status st = plainFolder ? Status::failure("a folder") : cache.fs.deleteFile(file);
            if (st) {
                line += " File deleted sucessfully";
            } else {
                line += " File could not be deleted!";
                dialogs.message(DlgKind::Error, "Could not remove file " + file, {DlgButton::OK});
            }
        }
        log.push_back(std::move(line));
    }
}

}  // namespace qm
