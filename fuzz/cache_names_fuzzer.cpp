// The cache-name rules on arbitrary folder listings and keys: the one-
// listing index answers every key as a folder search for K*.uxx would, the
// key set claims exactly the files whose base name, or the part before its
// first "-", is a key, a usable key names files inside the cache folder only,
// and a line text ends with its real name and never looks like a separator.
//
// Input: two file times of six bytes each, then lines: "#K" asks about key K, "/N" is
// a folder named N in the listing, any other line a file of that name.
#include <algorithm>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "core/cache.h"
#include "core/paths.h"
#include "fuzz_support.h"

namespace {

using qm::DirEntry;
namespace path = qm::path;

bool matchesKeyPattern(std::string_view name, std::string_view key) {
    return name.size() >= key.size() + 4 && path::startsWithIgnoreCase(name, key) && path::endsWithIgnoreCase(name, ".uxx");
}

// One folder search for K*.uxx: the first listed match decides, and a
// folder as first match is no file.
const DirEntry* searchedFirst(const std::vector<DirEntry>& listing, std::string_view key) {
    for (const DirEntry& e : listing)
        if (matchesKeyPattern(e.name, key)) return e.isFolder() ? nullptr : &e;
    return nullptr;
}

bool claimedByRule(const std::vector<std::string>& keys, std::string_view fileName) {
    const std::string base = path::baseName(fileName);
    const size_t dash = base.find('-');
    for (const auto& k : keys) {
        if (path::equalsIgnoreCase(base, k)) return true;
        if (dash != std::string::npos && path::equalsIgnoreCase(base.substr(0, dash), k)) return true;
    }
    return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    qm::fuzz::InputReader in(data, size);
    auto readTime = [&in] {
        qm::DateTime t;
        t.year = 1980 + in.byte() % 128;
        t.month = 1 + in.byte() % 12;
        t.day = 1 + in.byte() % 31;
        t.hour = in.byte() % 24;
        t.minute = in.byte() % 60;
        t.second = in.byte() % 60;
        return t;
    };
    const qm::DateTime t = readTime(), later = readTime();

    std::vector<DirEntry> listing;
    std::vector<std::string> keys;
    while (!in.empty() && listing.size() < 64 && keys.size() < 16) {
        const std::string_view line = in.upTo('\n');
        if (!line.empty() && line.front() == '#') {
            keys.emplace_back(line.substr(1));
        } else if (!line.empty() && line.front() == '/') {
            listing.push_back(DirEntry{std::string(line.substr(1)), qm::kAttrFolder, 0, t});
        } else {
            listing.push_back(DirEntry{std::string(line), qm::kAttrArchive, static_cast<int64_t>(line.size()), t});
        }
    }

    const qm::CacheFolderIndex index(listing);
    const qm::KeySet keySet(keys);
    for (const std::string& key : keys) {
        const DirEntry* expected = searchedFirst(listing, key);
        const DirEntry* got = index.firstFileFor(key);
        FUZZ_CHECK((expected == nullptr) == (got == nullptr));
        if (got) FUZZ_CHECK(got->name == expected->name && got->attributes == expected->attributes);
        // The folder search's own pattern agrees, for keys without wildcards.
        if (key.find_first_of("*?") == std::string::npos)
            for (const DirEntry& e : listing) FUZZ_CHECK(path::wildcardMatch(key + "*.uxx", e.name) == matchesKeyPattern(e.name, key));

        FUZZ_CHECK(keySet.contains(key));
        FUZZ_CHECK(keySet.contains(path::toLower(key)));

        const std::vector<std::string> candidates = qm::cacheFileCandidates(key);
        FUZZ_CHECK(candidates.size() == 101);
        FUZZ_CHECK(candidates[0] == key + ".uxx");
        for (int n = 0; n <= 99; ++n) FUZZ_CHECK(candidates[static_cast<size_t>(n) + 1] == key + "-" + std::to_string(n) + ".uxx");
        if (qm::isUsableCacheKey(key)) {
            // Inside the cache folder: no separator, no drive, no "." or "..".
            for (const std::string& c : candidates) {
                FUZZ_CHECK(path::fileName(c) == c && path::folderPart(c).empty());
                FUZZ_CHECK(c.find(':') == std::string::npos && c != "." && c != "..");
                FUZZ_CHECK(matchesKeyPattern(c, key));
            }
            FUZZ_CHECK(keySet.claims(candidates[0]));
            const qm::CacheFolderIndex alone({DirEntry{candidates[0], qm::kAttrArchive, 1, t}});
            FUZZ_CHECK(alone.firstFileFor(key) != nullptr);
        }
    }
    for (const DirEntry& e : listing) {
        FUZZ_CHECK(keySet.claims(e.name) == claimedByRule(keys, e.name));
        FUZZ_CHECK(keySet.contains(e.name) ==
                   std::any_of(keys.begin(), keys.end(), [&](const std::string& k) { return path::equalsIgnoreCase(k, e.name); }));
        // Whatever the real name, its lines end with it and are never taken
        // for a separator, which is the only line that begins with "-".
        for (const std::string& line : {qm::entryLineText(t, e.name), qm::missingLineText(e.name)}) {
            FUZZ_CHECK(line.front() != '-' && line != qm::kSeparatorLine);
            FUZZ_CHECK(line.size() > e.name.size() && line.compare(line.size() - e.name.size(), e.name.size(), e.name) == 0);
        }
    }

    // The separator rule is symmetric and never splits one time from itself.
    FUZZ_CHECK(qm::needsSeparator(t, later) == qm::needsSeparator(later, t));
    FUZZ_CHECK(!qm::needsSeparator(t, t));
    return 0;
}
