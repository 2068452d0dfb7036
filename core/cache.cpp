#include "cache.h"

#include <algorithm>
#include <numeric>

#include "paths.h"

namespace qm {

CacheFolderIndex::CacheFolderIndex(std::vector<DirEntry> entries) : entries_(std::move(entries)) {
    // Only names ending in ".uxx" can ever answer a query.
    for (size_t i = 0; i < entries_.size(); ++i)
        if (path::endsWithIgnoreCase(entries_[i].name, ".uxx")) sorted_.emplace_back(path::toLower(entries_[i].name), i);
    std::sort(sorted_.begin(), sorted_.end());
}

const DirEntry* CacheFolderIndex::firstFileFor(std::string_view key) const {
    // The names that start with the key form one run of the sorted list. A
    // name matches K*.uxx when ".uxx" still fits after the key. Runs are
    // short (K.uxx, K-1.uxx, ...), so the run is scanned for the entry that
    // the folder listing returned first.
    const std::string prefix = path::toLower(key);
    size_t best = entries_.size();
    for (auto it = std::lower_bound(sorted_.begin(), sorted_.end(), std::make_pair(prefix, size_t{0}));
         it != sorted_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
        if (it->first.size() >= prefix.size() + 4) best = std::min(best, it->second);
    if (best == entries_.size()) return nullptr;
    const DirEntry& e = entries_[best];
    return e.isFolder() ? nullptr : &e;
}

std::vector<std::string> cacheFileCandidates(std::string_view key) {
    std::vector<std::string> names;
    names.reserve(101);
    names.push_back(std::string(key) + ".uxx");
    for (int n = 0; n <= 99; ++n) names.push_back(std::string(key) + "-" + std::to_string(n) + ".uxx");
    return names;
}

bool isUsableCacheKey(std::string_view key) {
    if (key.empty() || key == "." || key == "..") return false;
    for (char c : key)
        if (c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || static_cast<unsigned char>(c) < 32)
            return false;
    return true;
}

bool needsSeparator(const DateTime& previous, const DateTime& current) {
    return wholeMinutesBetween(previous, current) > 5;
}

std::string entryLineText(const DateTime& t, std::string_view realName) {
    return formatCacheStamp(t) + " - " + std::string(realName);
}

std::string missingLineText(std::string_view realName) { return kMissingPrefix + std::string(realName); }

KeySet::KeySet(const std::vector<std::string>& keys) {
    lower_.reserve(keys.size());
    for (const auto& k : keys) lower_.push_back(path::toLower(k));
    std::sort(lower_.begin(), lower_.end());
}

bool KeySet::contains(std::string_view key) const {
    return std::binary_search(lower_.begin(), lower_.end(), path::toLower(key));
}

bool KeySet::claims(std::string_view fileName) const {
    const std::string base = path::baseName(fileName);
    if (contains(base)) return true;
    const size_t dash = base.find('-');
    if (dash != std::string::npos && contains(base.substr(0, dash))) return true;
    // A key that holds a "-" itself claims its numbered files: "a-b-0".
    const size_t last = base.rfind('-');
    if (last == std::string::npos || last == dash || last + 1 == base.size()) return false;
    for (size_t i = last + 1; i < base.size(); ++i)
        if (base[i] < '0' || base[i] > '9') return false;
    return contains(base.substr(0, last));
}

}  // namespace qm
