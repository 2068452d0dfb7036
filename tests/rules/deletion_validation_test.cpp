// Deletion and validation without a window.
#include <gtest/gtest.h>

#include <algorithm>

#include "core/deletion.h"
#include "core/error.h"
#include "core/validation.h"
#include "support/cache_site.h"
#include "support/faulty_fs.h"
#include "support/scripted_dialogs.h"

namespace qm::test {
namespace {

CacheLine entryLine(CacheSite& c, const std::string& key) {
    for (const CacheLine& l : readCacheList(*c.fs, *c.ini, c.folder()).lines)
        if (l.key == key) return l;
    return {};
}

TEST(DeleteEntry, FileThenKey) {
    CacheSite c;
    c.index({"A=A.utx", "B=B.utx"});
    c.file("A-4.uxx");
    c.file("B.uxx");
    std::vector<std::string> progress;
    DeleteEntry(c.access(), entryLine(c, "A"), [&](const std::string& s) { progress.push_back(s); });
    EXPECT_FALSE(c.root.exists("Game/Cache/A-4.uxx"));
    EXPECT_TRUE(c.root.exists("Game/Cache/B.uxx"));
    EXPECT_EQ(c.keys(), std::vector<std::string>{"B"});
    EXPECT_EQ(progress, std::vector<std::string>{"Removing: A.utx"});
}

TEST(DeleteEntry, FailuresLeaveTheEntry) {
    CacheSite c;
    c.index({"A=A.utx", "M=Gone.utx"});
    c.file("A.uxx");
    FaultyFileSystem faulty(*c.fs);
    faulty.failDelete = {c.folder() + "A.uxx"};
    const CacheAccess access{faulty, *c.ini, c.folder(), c.indexPath()};
    EXPECT_THROW(
        {
            try {
                DeleteEntry(access, entryLine(c, "A"), nullptr);
            } catch (const Error& e) {
                EXPECT_STREQ(e.what(), "Could not remove \"A.utx\". Delete operation failed.");
                throw;
            }
        },
        Error);
    EXPECT_THROW(DeleteEntry(access, entryLine(c, "M"), nullptr), Error);  // a missing entry's line
    EXPECT_TRUE(c.root.exists("Game/Cache/A.uxx"));
    EXPECT_EQ(c.keys(), (std::vector<std::string>{"A", "M"}));
}

TEST(Validation, IndexPassDropsEntriesWithoutAFile) {
    CacheSite c;
    c.index({"A=A.utx", "B=B.ut2", "C=C.utx", "D=D.uax"});
    c.file("A.uxx", 0);
    c.file("C.uxx", 60);
    CacheList list = readCacheList(*c.fs, *c.ini, c.folder());
    std::vector<std::string> log;
    DropMissingEntries(c.access(), list, log);
    EXPECT_EQ(log, (std::vector<std::string>{"File for ini entry B.ut2 (B) was missing.",
                                             "File for ini entry D.uax (D) was missing."}));
    EXPECT_EQ(c.keys(), (std::vector<std::string>{"A", "C"}));
    ASSERT_EQ(list.lines.size(), 3u);  // A, a separator, C
    EXPECT_TRUE(list.lines[1].isSeparator());
}

TEST(Validation, FilePassDeletesWhatNoEntryClaims) {
    CacheSite c;
    c.index({"A=A.utx", "B=B.utx"});
    c.file("A.uxx");
    c.file("B-2.uxx");
    c.file("ORPHAN.uxx");
    c.root.mkdir("Game/Cache/Folder.uxx");
    ScriptedDialogs dialogs;
    std::vector<std::string> log;
    ValidateCacheFiles(c.access(), dialogs, log);
    EXPECT_TRUE(c.root.exists("Game/Cache/A.uxx"));
    EXPECT_TRUE(c.root.exists("Game/Cache/B-2.uxx"));
    EXPECT_FALSE(c.root.exists("Game/Cache/ORPHAN.uxx"));
    EXPECT_TRUE(c.root.exists("Game/Cache/Folder.uxx"));
    std::sort(log.begin(), log.end());
    EXPECT_EQ(log, (std::vector<std::string>{
                       c.folder() + "A.uxx is in Cache.ini", c.folder() + "B-2.uxx is in Cache.ini",
                       c.folder() + "Folder.uxx is MISSING:  File could not be deleted!",
                       c.folder() + "ORPHAN.uxx is MISSING:  File deleted sucessfully"}));
    EXPECT_EQ(dialogs.texts(), std::vector<std::string>{"Could not remove file " + c.folder() + "Folder.uxx"});
}

}  // namespace
}  // namespace qm::test
