#include "cache_list.h"

#include <unordered_map>

#include "cache.h"
#include "filesystem.h"
#include "inifile.h"
#include "paths.h"

namespace qm {

std::string CacheLine::text() const {
    switch (kind) {
        case Kind::Entry: return entryLineText(time, realName);
        case Kind::Separator: return kSeparatorLine;
        case Kind::Missing: return missingLineText(realName);
    }
    return {};
}

std::string cacheIndexPath(FileSystem& fs, const std::string& cacheFolder) {
    const std::string index = cacheFolder + kCacheIniName;
    if (auto real = fs.realPath(index)) return *real;
    return index;
}

CacheList readCacheList(FileSystem& fs, IniFiles& ini, const std::string& cacheFolder) {
    CacheList list;
    list.indexPath = cacheIndexPath(fs, cacheFolder);
    if (!fs.fileExists(list.indexPath)) return list;
    list.indexFound = true;
    const std::vector<std::string> keys = ini.keys(list.indexPath, kCacheSection);
    // One listing of the folder answers every key's file test.
    const CacheFolderIndex files(fs.list(cacheFolder, "*.uxx"));
    list.lines.reserve(keys.size() + keys.size() / 8);
    const DateTime* previous = nullptr;
    for (const std::string& k : keys) {
        CacheLine line;
        line.key = k;
        line.realName = ini.value(list.indexPath, kCacheSection, k);
        if (const DirEntry* file = files.firstFileFor(k)) {
            if (previous && needsSeparator(*previous, file->time)) {
                CacheLine separator;
                separator.kind = CacheLine::Kind::Separator;
                list.lines.push_back(std::move(separator));
            }
            line.fileName = file->name;
            line.time = file->time;
            previous = &file->time;
        } else {
            line.kind = CacheLine::Kind::Missing;
        }
        list.lines.push_back(std::move(line));
    }
    return list;
}

std::string LookupCacheEntry(FileSystem& fs, IniFiles& ini, const std::string& indexPath, const std::string& key) {
    if (!fs.fileExists(indexPath)) return {};
    return ini.value(indexPath, kCacheSection, key);
}

void RemoveCacheEntry(FileSystem& fs, IniFiles& ini, const std::string& indexPath, const std::string& key) {
    if (LookupCacheEntry(fs, ini, indexPath, key).empty()) return;
    // A key that stays behind names a file that is gone: the list shows it
    // as missing and validation removes it.
    ini.deleteKey(indexPath, kCacheSection, key);
}

std::optional<std::string> LocateCacheFile(FileSystem& fs, const std::string& cacheFolder, const std::string& key) {
    if (!isUsableCacheKey(key)) return std::nullopt;
    const std::vector<std::string> candidates = cacheFileCandidates(key);
    // Nearly every entry is stored under its plain name in that very
    // spelling, which one lookup answers.
    if (auto file = fs.findFirstFile(cacheFolder, candidates.front(), "")) return cacheFolder + file->name;
    // Otherwise one listing answers the other spellings and the numbered
    // names; for each name the first listed entry decides.
    std::unordered_map<std::string, const DirEntry*> first;
    const std::vector<DirEntry> listing = fs.list(cacheFolder, "*.uxx");
    for (const DirEntry& e : listing) first.emplace(path::toLower(e.name), &e);
    for (const std::string& name : candidates) {
        auto it = first.find(path::toLower(name));
        if (it != first.end() && !it->second->isFolder()) return cacheFolder + it->second->name;
    }
    return std::nullopt;
}

std::string notFoundText(const std::string& name) {
    return "Selected entry \"" + name + "\" is not found in the cache folder.  You may need to validate your cache.";
}

}  // namespace qm
