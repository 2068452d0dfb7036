#include "core/cache.h"

#include <gtest/gtest.h>

#include "core/paths.h"

namespace qm {
namespace {

DirEntry file(const std::string& name, int minute = 0) {
    DirEntry e;
    e.name = name;
    e.time = DateTime{2026, 3, 1, 10, minute, 0};
    return e;
}

DirEntry folder(const std::string& name) {
    DirEntry e = file(name);
    e.attributes = kAttrFolder;
    return e;
}

// The one-search-per-key rule the index must agree with: the first listed
// entry matching K*.uxx decides, and a folder there means no file.
const DirEntry* perKeyRule(const std::vector<DirEntry>& listing, const std::string& key) {
    for (const DirEntry& e : listing)
        if (path::wildcardMatch("*.uxx", e.name) && path::startsWithIgnoreCase(e.name, key) &&
            e.name.size() >= key.size() + 4)
            return e.isFolder() ? nullptr : &e;
    return nullptr;
}

TEST(CacheFolderIndex, AgreesWithOneSearchPerKey) {
    const std::vector<DirEntry> listing = {
        file("B-1.uxx", 1), file("a.uxx", 2),     folder("C.uxx"),     file("c-0.uxx", 3),
        file("B.uxx", 4),   file("Dx.uxx", 5),    file("D.UXX", 6),    file("E.txt", 7),
        file("F*.uxx", 8),  file("F-1.uxx", 9),   file("g.uxx.uxx", 10), file("K.uxxx", 11),
    };
    const CacheFolderIndex index(listing);
    struct Case {
        std::string key;
        const char* expected;  // name of the deciding file, or nullptr
    } cases[] = {
        {"A", "a.uxx"},       // case does not matter
        {"B", "B-1.uxx"},     // listing order decides, not the name
        {"C", nullptr},       // a folder comes first
        {"D", "Dx.uxx"},      // any text may follow the key
        {"E", nullptr},       // wrong extension
        {"F*", "F*.uxx"},     // a wildcard in a key is plain text
        {"F?", nullptr},
        {"g.uxx", "g.uxx.uxx"},
        {"K", nullptr},
        {"", "B-1.uxx"},
        {"../a", nullptr},
    };
    for (const auto& c : cases) {
        const DirEntry* got = index.firstFileFor(c.key);
        const DirEntry* rule = perKeyRule(listing, c.key);
        if (c.key.find('*') == std::string::npos) {  // the plain rule treats '*' as a pattern
            EXPECT_EQ(got == nullptr, rule == nullptr) << c.key;
            if (got && rule) {
                EXPECT_EQ(got->name, rule->name) << c.key;
            }
        }
        if (c.expected) {
            ASSERT_NE(got, nullptr) << c.key;
            EXPECT_EQ(got->name, c.expected) << c.key;
        } else {
            EXPECT_EQ(got, nullptr) << c.key;
        }
    }
}

TEST(CacheList, SeparatorRuleCountsWholeMinutesEitherWay) {
    struct Case {
        DateTime a, b;
        bool separator;
    } cases[] = {
        {{2026, 1, 1, 10, 0, 0}, {2026, 1, 1, 10, 3, 0}, false},
        {{2026, 1, 1, 10, 3, 0}, {2026, 1, 1, 10, 9, 10}, true},
        {{2026, 1, 1, 10, 0, 0}, {2026, 1, 1, 10, 5, 58}, false},
        {{2026, 1, 1, 10, 0, 0}, {2026, 1, 1, 10, 6, 2}, true},
        {{2026, 1, 1, 11, 0, 0}, {2026, 1, 1, 10, 1, 0}, true},   // times running backwards
        {{2026, 1, 1, 23, 58, 0}, {2026, 1, 2, 0, 2, 0}, false},  // across midnight
        {{2025, 12, 31, 23, 59, 0}, {2026, 1, 1, 0, 6, 0}, true}, // across a year
    };
    for (const auto& c : cases) {
        EXPECT_EQ(needsSeparator(c.a, c.b), c.separator) << formatCacheStamp(c.a) << " /" << formatCacheStamp(c.b);
        EXPECT_EQ(needsSeparator(c.b, c.a), c.separator);
    }
}

TEST(CacheList, LineTexts) {
    EXPECT_EQ(entryLineText({2026, 3, 4, 9, 5, 8}, "DM-Deck17.ut2"), " 03/04/26 09:05:08 - DM-Deck17.ut2");
    EXPECT_EQ(entryLineText({2026, 3, 4, 21, 5, 8}, ""), " 03/04/26 21:05:08 - ");
    EXPECT_EQ(missingLineText("X.utx"), "* <File Missing> * - X.utx");
}

TEST(CacheList, StatusTimeUsesTheTwelveHourClock) {
    struct Case {
        DateTime t;
        const char* text;
    } cases[] = {
        {{2026, 12, 11, 0, 5, 9}, "12/11/2026 12:05:09 am"},
        {{2026, 12, 11, 9, 5, 9}, "12/11/2026 9:05:09 am"},
        {{2026, 1, 2, 12, 0, 0}, "01/02/2026 12:00:00 pm"},
        {{2026, 1, 2, 23, 59, 58}, "01/02/2026 11:59:58 pm"},
    };
    for (const auto& c : cases) EXPECT_EQ(formatStatusTime(c.t), c.text);
}

TEST(CacheFiles, CandidatesAndKeys) {
    const auto names = cacheFileCandidates("K");
    ASSERT_EQ(names.size(), 101u);
    EXPECT_EQ(names.front(), "K.uxx");
    EXPECT_EQ(names[1], "K-0.uxx");
    EXPECT_EQ(names.back(), "K-99.uxx");
    for (const char* bad : {"", ".", "..", "../K", "a/b", "a\\b", "C:K", "K*", "K?"}) EXPECT_FALSE(isUsableCacheKey(bad)) << bad;
    EXPECT_TRUE(isUsableCacheKey("5A1E00000C0FFEE013572468BEEF0000"));
}

TEST(CacheFiles, KeySetClaimsWithoutCase) {
    const KeySet keys({"ABC", "Dash-Key", "x"});
    struct Case {
        const char* file;
        bool claimed;
    } cases[] = {
        {"ABC.uxx", true},     {"abc.uxx", true},  {"ABC-1.uxx", true}, {"ABC-200.uxx", true},
        {"ABCD.uxx", false},   {"Dash-Key.uxx", true}, {"x-y-z.uxx", true},   {"y.uxx", false},
        // A key with a "-" claims its numbered files too, not just the part
        // before the first "-" (which would delete a-b-0.uxx of key a-b).
        {"Dash-Key-1.uxx", true}, {"dash-key-0.uxx", true}, {"Dash-Key-x.uxx", false}, {"Dash-Key-.uxx", false},
        {"Dash-Key-1-2.uxx", false},
    };
    for (const auto& c : cases) EXPECT_EQ(keys.claims(c.file), c.claimed) << c.file;
}

}  // namespace
}  // namespace qm
