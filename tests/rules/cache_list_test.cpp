// The cache list as data: order, separators, missing entries, the index in
// whatever spelling it has, and the key lookups.
#include "core/cache_list.h"

#include <gtest/gtest.h>

#include "core/cache.h"
#include "support/cache_site.h"

namespace qm::test {
namespace {

std::vector<std::string> texts(const CacheList& list) {
    std::vector<std::string> t;
    for (const CacheLine& l : list.lines) t.push_back(l.text());
    return t;
}

TEST(ReadCacheList, LinesInIndexOrderWithSeparatorsAndMissingEntries) {
    CacheSite c;
    c.index({"A=A.utx", "B=B.ut2", "GONE=Gone.uax", "C=C.u", "D=D.ogg"});
    c.file("A.uxx", 0);
    c.file("B-3.uxx", 5);   // a numbered file; under six minutes after A
    c.file("C.uxx", 11);    // six minutes after B: a separator before it
    c.file("D.uxx", 12);
    const CacheList list = readCacheList(*c.fs, *c.ini, c.folder());
    ASSERT_TRUE(list.indexFound);
    EXPECT_EQ(texts(list), (std::vector<std::string>{" 03/01/24 10:00:00 - A.utx", " 03/01/24 10:05:00 - B.ut2",
                                                     "* <File Missing> * - Gone.uax", kSeparatorLine,
                                                     " 03/01/24 10:11:00 - C.u", " 03/01/24 10:12:00 - D.ogg"}));
    EXPECT_EQ(list.lines[1].fileName, "B-3.uxx");
    EXPECT_EQ(list.lines[2].kind, CacheLine::Kind::Missing);
    EXPECT_EQ(list.lines[2].key, "GONE");
    EXPECT_EQ(list.lines[3].kind, CacheLine::Kind::Separator);
    EXPECT_TRUE(list.lines[3].key.empty());
}

TEST(ReadCacheList, IndexInAnotherSpellingIsReadUnderItsOwnName) {
    CacheSite c;
    c.root.write("Game/Cache/cache.ini", "[Cache]\r\nK=Walls.utx\r\n");
    c.file("K.uxx");
    const CacheList list = readCacheList(*c.fs, *c.ini, c.folder());
    ASSERT_TRUE(list.indexFound);
    EXPECT_EQ(list.indexPath, c.folder() + "cache.ini");
    EXPECT_EQ(texts(list), std::vector<std::string>{" 03/01/24 10:00:00 - Walls.utx"});
}

TEST(ReadCacheList, NoIndexNoLines) {
    CacheSite c;
    c.file("K.uxx");
    const CacheList list = readCacheList(*c.fs, *c.ini, c.folder());
    EXPECT_FALSE(list.indexFound);
    EXPECT_EQ(list.indexPath, c.folder() + "Cache.ini");
    EXPECT_TRUE(list.lines.empty());
}

TEST(CacheEntries, LookupAndRemovalByKey) {
    CacheSite c;
    c.index({"A=A.utx", "E=", "B=B.utx"});
    EXPECT_EQ(LookupCacheEntry(*c.fs, *c.ini, c.indexPath(), "a"), "A.utx");  // keys match without case
    EXPECT_EQ(LookupCacheEntry(*c.fs, *c.ini, c.folder() + "Missing.ini", "A"), "");
    RemoveCacheEntry(*c.fs, *c.ini, c.indexPath(), "E");  // an empty name keeps its key
    RemoveCacheEntry(*c.fs, *c.ini, c.indexPath(), "A");
    EXPECT_EQ(c.keys(), (std::vector<std::string>{"E", "B"}));
}

TEST(LocateCacheFile, PlainThenNumberedNamesInsideTheFolderOnly) {
    struct Case {
        std::vector<std::string> files;
        std::string key;
        std::string located;  // "" = none
    } cases[] = {
        {{"K.uxx", "K-0.uxx"}, "K", "K.uxx"},
        {{"K-7.uxx", "K-2.uxx"}, "K", "K-2.uxx"},  // the lowest number the lookup tries first
        {{"k.UXX"}, "K", "k.UXX"},
        {{"K-100.uxx"}, "K", ""},
        {{"Kextra.uxx"}, "K", ""},
        {{"Other.uxx"}, "O*", ""},
        {{"Other.uxx"}, "Othe?", ""},
    };
    for (const Case& k : cases) {
        CacheSite c;
        for (const auto& f : k.files) c.file(f);
        c.root.write("Game/Secret.uxx");
        const auto located = LocateCacheFile(*c.fs, c.folder(), k.key);
        EXPECT_EQ(located.value_or(""), k.located.empty() ? "" : c.folder() + k.located) << k.files[0] << " " << k.key;
    }
    CacheSite c;
    c.root.write("Game/Secret.uxx");
    EXPECT_FALSE(LocateCacheFile(*c.fs, c.folder(), "../Secret"));
}

}  // namespace
}  // namespace qm::test
