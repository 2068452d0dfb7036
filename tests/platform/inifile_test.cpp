#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "core/inifile.h"
#include "platform/platform.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using Keys = std::vector<std::string>;

std::vector<std::string> folderEntries(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(folder)) names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

unsigned modeOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st.st_mode & 07777;
}

void append(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    out << text;
}

// Sections and keys the way a hand-edited or game-written index has them.
const char* const kMixedIndex =
    "Stray=before any section\n"
    "[Cache]\n"
    "; a comment = not a key\n"
    "  Alpha  =  First Value  \n"
    "beta=2\n"
    "no equals sign here\n"
    "=empty key\n"
    "[ Other ]\n"
    "alpha=other section\n"
    "[CACHE]\n"
    "gamma=3\n"
    "ALPHA=second alpha\n";

TEST(IniFilesRead, KeysInFileOrderAndValuesMatchedWithoutCase) {
    test::TempDir dir;
    const std::string file = dir.write("Cache.ini", kMixedIndex);
    auto ini = platform::makeIniFiles();

    EXPECT_EQ(ini->keys(file, "cache"), (Keys{"Alpha", "beta"}));  // the second [CACHE] counts for nothing
    EXPECT_EQ(ini->keys(file, "OTHER"), (Keys{"alpha"}));
    EXPECT_EQ(ini->keys(file, "Missing"), Keys{});
    EXPECT_EQ(ini->keys(dir / "NoSuch.ini", "Cache"), Keys{});

    struct Case {
        std::string file, section, key, expected;
    } cases[] = {
        {file, "Cache", "alpha", "First Value"},  // first occurrence, blanks trimmed
        {file, "cAcHe", "BETA", "2"},
        {file, "Cache", "gamma", ""},              // under the second [CACHE] header
        {file, "other", "ALPHA", "other section"},
        {file, "Cache", "Stray", ""},              // lines before the first section
        {file, "Cache", "no equals sign here", ""},
        {file, "Cache", "missing", ""},
        {file, "Nowhere", "alpha", ""},
        {dir / "NoSuch.ini", "Cache", "alpha", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ini->value(c.file, c.section, c.key), c.expected) << c.section << "/" << c.key;
}

struct Lookup {
    std::string key, value;
};

// Index files as hand editing, other tools and case-sensitive file systems
// leave them, read as the profile functions read them.
TEST(IniFilesRead, OddIndexFiles) {
    struct Case {
        const char* what;
        std::string text;
        Keys keys;
        std::vector<Lookup> lookups;
    } cases[] = {
        {"quoted values",
         "[Cache]\nK1=\"Map.ut2\"\nK2='Tex.utx'\nK3=\"unclosed\nK4=\"mixed'\nK5=\"\"\nK6=\"\nK7= \" padded \" \nK8=\"a\"b\"\n",
         {"K1", "K2", "K3", "K4", "K5", "K6", "K7", "K8"},
         {{"K1", "Map.ut2"}, {"K2", "Tex.utx"}, {"K3", "\"unclosed"}, {"K4", "\"mixed'"}, {"K5", ""}, {"K6", "\""},
          {"K7", " padded "}, {"K8", "a\"b"}}},
        {"a section twice: only its first occurrence counts",
         "[Cache]\nA=1\n[Other]\nx=y\n[cache]\nB=2\nA=3\n",
         {"A"},
         {{"A", "1"}, {"B", ""}}},
        {"the first occurrence empty", "[Cache]\n[Other]\nx=y\n[ CACHE ]\nA=1\n", {}, {{"A", ""}}},
        {"a key twice: listed twice, its first value wins",
         "[Cache]\nK=first\nk2=x\nK=second\n",
         {"K", "k2", "K"},
         {{"K", "first"}, {"k", "first"}}},
        {"keys that differ only in case", "[Cache]\nd2=LowerA.ut2\nD2=UpperB.ut2\n", {"d2", "D2"},
         {{"d2", "LowerA.ut2"}, {"D2", "UpperB.ut2"}, {"d2 ", ""}}},
        {"no line in the exact spelling: the first line", "[Cache]\nKEY=a\nKey=b\n", {"KEY", "Key"},
         {{"key", "a"}, {"KEY", "a"}, {"Key", "b"}}},
        {"the exact spelling twice", "[Cache]\nd2=A\nD2=B\nD2=C\n", {"d2", "D2", "D2"}, {{"D2", "B"}, {"d2", "A"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string file = dir.write("Cache.ini", c.text);
        auto ini = platform::makeIniFiles();
        EXPECT_EQ(ini->keys(file, "Cache"), c.keys);
        for (const auto& l : c.lookups) EXPECT_EQ(ini->value(file, "cache", l.key), l.value) << l.key;
    }
}

TEST(IniFilesDelete, OddIndexFilesLoseTheLineTheValueCameFrom) {
    struct Case {
        const char* what;
        std::string text;
        std::string key;
        std::string expected;
    } cases[] = {
        {"keys that differ only in case: the exact spelling",
         "[Cache]\nd2=LowerA.ut2\nD2=UpperB.ut2\n", "D2", "[Cache]\nd2=LowerA.ut2\n"},
        {"keys that differ only in case: the other one",
         "[Cache]\nd2=LowerA.ut2\nD2=UpperB.ut2\n", "d2", "[Cache]\nD2=UpperB.ut2\n"},
        {"no line in the exact spelling: the first line", "[Cache]\nKEY=a\nKey=b\n", "key", "[Cache]\nKey=b\n"},
        {"a section twice: a key only under the second header stays",
         "[Cache]\nA=1\n[cache]\nB=2\n", "B", "[Cache]\nA=1\n[cache]\nB=2\n"},
        {"a section twice: the line under the first header goes",
         "[Cache]\nA=1\n[cache]\nA=3\n", "A", "[Cache]\n[cache]\nA=3\n"},
        {"a quoted value", "[Cache]\nK=\"Map.ut2\"\nL=x\n", "K", "[Cache]\nL=x\n"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string file = dir.write("Cache.ini", c.text);
        auto ini = platform::makeIniFiles();
        const Keys before = ini->keys(file, "Cache");
        ASSERT_TRUE(ini->deleteKey(file, "Cache", c.key));
        EXPECT_EQ(test::readFile(file), c.expected);
        // The view kept after the deletion is what a fresh read gives.
        auto fresh = platform::makeIniFiles();
        EXPECT_EQ(ini->keys(file, "Cache"), fresh->keys(file, "Cache"));
        for (const std::string& key : before)
            EXPECT_EQ(ini->value(file, "Cache", key), fresh->value(file, "Cache", key)) << key;
    }
}

TEST(IniFilesRead, SeesAFileReplacedBehindItsBackEvenWithTheSameSizeAndTime) {
    test::TempDir dir;
    const std::string file = dir.write("Cache.ini", "[Cache]\nk=old\n");
    auto ini = platform::makeIniFiles();
    ASSERT_EQ(ini->value(file, "Cache", "k"), "old");

    // Another program writes a new version and renames it over: same size,
    // same modification time, only the file's identity differs.
    struct stat before {};
    ASSERT_EQ(::stat(file.c_str(), &before), 0);
    const std::string other = dir.write("Cache.ini.new", "[Cache]\nk=new\n");
    const struct timespec times[2] = {before.st_atim, before.st_mtim};
    ASSERT_EQ(::utimensat(AT_FDCWD, other.c_str(), times, 0), 0);
    ASSERT_EQ(std::rename(other.c_str(), file.c_str()), 0);
    EXPECT_EQ(ini->value(file, "Cache", "k"), "new");

    // Appending changes the size.
    append(file, "added=yes\n");
    EXPECT_EQ(ini->keys(file, "Cache"), (Keys{"k", "added"}));
    EXPECT_EQ(ini->value(file, "Cache", "added"), "yes");

    std::remove(file.c_str());
    EXPECT_EQ(ini->value(file, "Cache", "k"), "");
    EXPECT_EQ(ini->keys(file, "Cache"), Keys{});
}

TEST(IniFilesRead, HasNoSizeLimits) {
    test::TempDir dir;
    const std::string longValue(10000, 'v');
    // Keys of the length the game generates: 496 of them filled the
    // Windows functions' key list.
    auto keyName = [](int i) { return "KEY" + std::to_string(i) + std::string(29, '0'); };
    std::string text = "[Cache]\n";
    for (int i = 0; i < 100000; ++i) text += keyName(i) + "=v" + std::to_string(i) + "\n";
    text += "long=" + longValue + "\n";
    const std::string file = dir.write("Cache.ini", text);
    auto ini = platform::makeIniFiles();

    const Keys keys = ini->keys(file, "Cache");
    ASSERT_EQ(keys.size(), 100001u);
    for (int i : {0, 496, 99999}) EXPECT_EQ(keys[i], keyName(i));
    EXPECT_EQ(keys.back(), "long");
    EXPECT_EQ(ini->value(file, "Cache", "key99999" + std::string(29, '0')), "v99999");
    EXPECT_EQ(ini->value(file, "Cache", "LONG"), longValue);

    ASSERT_TRUE(ini->deleteKey(file, "Cache", keyName(99999)));
    EXPECT_EQ(ini->keys(file, "Cache").size(), 100000u);
    EXPECT_EQ(ini->value(file, "Cache", keyName(99999)), "");
    EXPECT_EQ(ini->value(file, "Cache", "long"), longValue);
}

// CRLF endings, comments, another section with the same key names, bytes
// that are not UTF-8, and a last line without a newline.
const std::string kIndex =
    "; written by the game\r\n"
    "[Other]\r\n"
    "B2=other.u\r\n"
    "[Cache]\r\n"
    "A1=Map\xE9One.unr\r\n"
    "\r\n"
    "; keep me\r\n"
    "B2 = Tex\xFF\xFE.utx\r\n"
    "A1=duplicate.unr\r\n"
    "C3=last.uax";

TEST(IniFilesDelete, RemovesOnlyThatLineAndKeepsEveryOtherByte) {
    struct Case {
        const char* what;
        std::vector<std::string> keys;  // deleted one after the other
        std::string expected;
    } cases[] = {
        {"middle key, other case",
         {"b2"},
         "; written by the game\r\n[Other]\r\nB2=other.u\r\n[Cache]\r\nA1=Map\xE9One.unr\r\n\r\n; keep me\r\n"
         "A1=duplicate.unr\r\nC3=last.uax"},
        {"first of two lines of a key",
         {"A1"},
         "; written by the game\r\n[Other]\r\nB2=other.u\r\n[Cache]\r\n\r\n; keep me\r\nB2 = Tex\xFF\xFE.utx\r\n"
         "A1=duplicate.unr\r\nC3=last.uax"},
        {"last line without newline",
         {"C3"},
         "; written by the game\r\n[Other]\r\nB2=other.u\r\n[Cache]\r\nA1=Map\xE9One.unr\r\n\r\n; keep me\r\n"
         "B2 = Tex\xFF\xFE.utx\r\nA1=duplicate.unr\r\n"},
        {"several keys, a name twice, a missing name",
         {"C3", "a1", "A1", "missing"},
         "; written by the game\r\n[Other]\r\nB2=other.u\r\n[Cache]\r\n\r\n; keep me\r\nB2 = Tex\xFF\xFE.utx\r\n"},
        {"missing key: nothing changes", {"Z9"}, kIndex},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        test::TempDir dir;
        const std::string file = dir.write("Cache.ini", kIndex);
        ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
        auto ini = platform::makeIniFiles();
        ini->keys(file, "Cache");  // a cached parse must not leak into the rewrite
        for (const std::string& key : c.keys) EXPECT_TRUE(ini->deleteKey(file, "Cache", key)) << key;
        EXPECT_EQ(test::readFile(file), c.expected);
        EXPECT_EQ(modeOf(file), 0640u);
        EXPECT_EQ(folderEntries(dir.path()), Keys{"Cache.ini"});  // no temporary file left behind
    }
}

TEST(IniFilesDelete, SuccessiveDeletesThroughOneObjectCutTheRightBytes) {
    test::TempDir dir;
    const std::string file = dir.write("Cache.ini", kIndex);
    auto ini = platform::makeIniFiles();
    for (const char* key : {"B2", "A1", "C3", "a1"}) ASSERT_TRUE(ini->deleteKey(file, "Cache", key)) << key;
    EXPECT_EQ(test::readFile(file), "; written by the game\r\n[Other]\r\nB2=other.u\r\n[Cache]\r\n\r\n; keep me\r\n");
    EXPECT_EQ(ini->keys(file, "Cache"), Keys{});
    EXPECT_EQ(ini->value(file, "Other", "b2"), "other.u");
}

TEST(IniFilesDelete, ReadsTheFileAfreshSoAnotherWritersLinesSurvive) {
    test::TempDir dir;
    const std::string file = dir.write("Cache.ini", "[Cache]\nold1=a.unr\nold2=b.unr\n");
    auto ini = platform::makeIniFiles();
    ASSERT_EQ(ini->keys(file, "Cache"), (Keys{"old1", "old2"}));
    ASSERT_EQ(ini->value(file, "Cache", "old2"), "b.unr");

    append(file, "new3=c.unr\n");  // the game downloads meanwhile
    ASSERT_TRUE(ini->deleteKey(file, "Cache", "old1"));
    EXPECT_EQ(test::readFile(file), "[Cache]\nold2=b.unr\nnew3=c.unr\n");
    EXPECT_EQ(ini->keys(file, "Cache"), (Keys{"old2", "new3"}));
    EXPECT_EQ(ini->value(file, "Cache", "old1"), "");
}

TEST(IniFilesDelete, ReadOnlyOrVanishedFileFailsQuietlyAndStaysAsItWas) {
    const std::string text = "[Cache]\nk=v.unr\n";
    {
        test::TempDir dir;
        const std::string file = dir.write("Cache.ini", text);
        ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
        auto ini = platform::makeIniFiles();
        EXPECT_FALSE(ini->deleteKey(file, "Cache", "k"));
        EXPECT_EQ(test::readFile(file), text);
        EXPECT_EQ(modeOf(file), 0444u);
        EXPECT_EQ(folderEntries(dir.path()), Keys{"Cache.ini"});
        EXPECT_EQ(ini->value(file, "Cache", "k"), "v.unr");
    }
    {
        test::TempDir dir;
        const std::string file = dir.write("Cache.ini", text);
        auto ini = platform::makeIniFiles();
        ASSERT_EQ(ini->value(file, "Cache", "k"), "v.unr");  // cached, then the file goes
        std::remove(file.c_str());
        EXPECT_FALSE(ini->deleteKey(file, "Cache", "k"));
        EXPECT_EQ(folderEntries(dir.path()), Keys{});  // nothing created
        EXPECT_EQ(ini->value(file, "Cache", "k"), "");
    }
}

TEST(IniFilesDelete, RewritesTheTargetOfASymbolicLink) {
    test::TempDir dir;
    const std::string target = dir.write("real/Cache.ini", "[Cache]\na=1\nb=2\n");
    const std::string link = dir / "Cache.ini";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    auto ini = platform::makeIniFiles();
    ASSERT_TRUE(ini->deleteKey(link, "Cache", "a"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::readFile(target), "[Cache]\nb=2\n");
}

TEST(IniFilesDelete, EachDeletionIsOnDiskAtOnceAlsoWhenTheFlushWaits) {
    test::TempDir dir;
    const std::string file = dir.write("Cache.ini", "[Cache]\na=1\nb=2\nc=3\n");
    auto ini = platform::makeIniFiles();
    {
        DeferredFlush action(*ini, file);
        ASSERT_TRUE(ini->deleteKey(file, "Cache", "a"));
        EXPECT_EQ(test::readFile(file), "[Cache]\nb=2\nc=3\n");  // another reader sees it at once
        {
            DeferredFlush nested(*ini, file);
            ASSERT_TRUE(ini->deleteKey(file, "Cache", "b"));
        }
        EXPECT_EQ(test::readFile(file), "[Cache]\nc=3\n");
        EXPECT_EQ(folderEntries(dir.path()), Keys{"Cache.ini"});
    }
    EXPECT_EQ(ini->keys(file, "Cache"), Keys{"c"});
    EXPECT_TRUE(ini->flush(file));  // nothing left to put on disk
}

TEST(IniFilesDelete, AWaitingFlushReportsAFileThatCannotBeFlushed) {
    test::TempDir dir;
    const std::string file = dir.write("Cache.ini", "[Cache]\na=1\nb=2\n");
    auto ini = platform::makeIniFiles();
    ini->deferFlush(file);
    ASSERT_TRUE(ini->deleteKey(file, "Cache", "a"));
    std::remove(file.c_str());
    EXPECT_FALSE(ini->flush(file));
}

// On a file system that tells case apart, an index copied from Windows may
// be spelled "cache/cache.ini" while the program asks for "Cache/Cache.ini".
TEST(IniFiles, AnIndexSpelledInAnotherCaseIsTheOneReadAndRewritten) {
    test::TempDir dir;
    const std::string real = dir.write("cache/cache.ini", "[Cache]\nk1=One.utx\nk2=Two.utx\n");
    const std::string asked = dir / "Cache/Cache.ini";
    auto ini = platform::makeIniFiles();
    EXPECT_TRUE(ini->readable(asked));
    EXPECT_EQ(ini->keys(asked, "Cache"), (Keys{"k1", "k2"}));
    EXPECT_EQ(ini->value(asked, "Cache", "k2"), "Two.utx");
    {
        DeferredFlush action(*ini, asked);
        ASSERT_TRUE(ini->deleteKey(asked, "Cache", "k1"));
    }
    EXPECT_EQ(test::readFile(real), "[Cache]\nk2=Two.utx\n");
    EXPECT_EQ(folderEntries(dir.path()), Keys{"cache"});  // no second index in the asked spelling
    EXPECT_EQ(folderEntries(dir / "cache"), Keys{"cache.ini"});
    EXPECT_EQ(ini->keys(asked, "Cache"), Keys{"k2"});
}

TEST(IniFiles, ReadableTellsAnUnreadableFileFromAnEmptyOne) {
    test::TempDir dir;
    auto ini = platform::makeIniFiles();
    const std::string empty = dir.write("empty.ini", "");
    const std::string folder = dir.mkdir("folder.ini");
    const std::string fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    EXPECT_TRUE(ini->readable(empty));
    EXPECT_EQ(ini->keys(empty, "Cache"), Keys{});
    for (const std::string& bad : {dir / "missing.ini", folder, fifo}) {
        EXPECT_FALSE(ini->readable(bad)) << bad;
        EXPECT_EQ(ini->keys(bad, "Cache"), Keys{}) << bad;
    }
}

}  // namespace
}  // namespace qm
