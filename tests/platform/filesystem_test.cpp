// The real file system over temporary folders. The fixtures use POSIX
// calls (links, fifos, permissions), so this file tests the POSIX half.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <optional>

#include "core/paths.h"
#include "platform/platform.h"
#include "support/faulty_fs.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"
#include "platform/posix/copy_file.h"

namespace qm {
namespace {

using test::TempDir;

std::string reasonOf(int error) { return std::strerror(error); }

time_t modifiedSeconds(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : -1;
}

class FileSystemTest : public ::testing::Test {
protected:
    std::unique_ptr<FileSystem> fs = platform::makeFileSystem();
    TempDir tmp;
};

// ---- the existence test ---------------------------------------------------

struct FindCase {
    const char* literal;
    const char* tail;
    const char* expected;  // name of the answer, nullptr for nothing
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << '"' << c.literal << "\" + \"" << c.tail << '"'; }

class FindFirstFileTest : public FileSystemTest, public ::testing::WithParamInterface<FindCase> {};

TEST_P(FindFirstFileTest, AnswersTheOneMatchingEntry) {
    // Each query matches at most one entry, so the folder order plays no part.
    for (const char* name : {"Exact.uxx", "Numbered-7.uxx", "CaseMix.UXX", "star*.uxx", "starX.uxx", "Other.txt",
                             "sub/Inner.uxx"})
        tmp.write(std::string("cache/") + name, name);
    tmp.mkdir("cache/OnlyFolder.uxx");
    tmp.write("Outside.uxx", "outside");

    const FindCase& c = GetParam();
    const auto found = fs->findFirstFile(tmp / "cache/", c.literal, c.tail);
    if (!c.expected) {
        EXPECT_FALSE(found) << "found " << found->name;
        return;
    }
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, c.expected);
    EXPECT_EQ(found->size, static_cast<int64_t>(std::strlen(c.expected)));
    EXPECT_FALSE(found->isFolder());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FindFirstFileTest,
    ::testing::Values(FindCase{"Exact", "*.uxx", "Exact.uxx"},              // key then any characters
                      FindCase{"Exact.uxx", "", "Exact.uxx"},               // exact name
                      FindCase{"eXACT.UXX", "", "Exact.uxx"},               // exact name, other case
                      FindCase{"Numbered", "*.uxx", "Numbered-7.uxx"},      // numbered name
                      FindCase{"numbered-7", ".uxx", "Numbered-7.uxx"},     // literal tail
                      FindCase{"casemix", "*.uxx", "CaseMix.UXX"},          // tail without regard to case
                      FindCase{"Numbered-?", ".txt", nullptr},              // tail must match
                      FindCase{"OnlyFolder", "*.uxx", nullptr},             // a folder is no file
                      FindCase{"OnlyFolder.uxx", "", nullptr},              //   also by exact name
                      FindCase{"star*", ".uxx", "star*.uxx"},               // '*' in the literal is text
                      FindCase{"sta*", "*.uxx", nullptr},                   //   and matches only itself
                      FindCase{"star?", "*", nullptr},                      //   as does '?'
                      FindCase{"../Outside", ".uxx", nullptr},              // never leaves the folder
                      FindCase{"../Outside.uxx", "", nullptr},              //
                      FindCase{"sub/Inner", ".uxx", nullptr},               // nor enters a subfolder
                      FindCase{"sub\\Inner", ".uxx", nullptr},              //
                      FindCase{"..", "", nullptr},                          //
                      FindCase{"Missing", "*.uxx", nullptr}));

TEST_F(FileSystemTest, FindFirstFileDecidesByTheFirstEntryOfTheFolder) {
    // A folder and a file both match; whichever the folder search returns
    // first decides, and a folder there means "no file".
    tmp.mkdir("cache/Pack.uxx");
    tmp.write("cache/Pack-1.uxx");
    std::string first;
    DIR* dir = opendir((tmp / "cache").c_str());
    ASSERT_NE(dir, nullptr);
    while (dirent* d = readdir(dir)) {
        if (path::startsWithIgnoreCase(d->d_name, "pack")) {
            first = d->d_name;
            break;
        }
    }
    closedir(dir);

    const auto found = fs->findFirstFile(tmp / "cache/", "Pack", "*.uxx");
    if (first == "Pack.uxx") {
        EXPECT_FALSE(found);
    } else {
        ASSERT_TRUE(found);
        EXPECT_EQ(found->name, "Pack-1.uxx");
    }
    EXPECT_FALSE(fs->findFirstFile(tmp / "nowhere/", "Pack", "*.uxx"));
}

TEST_F(FileSystemTest, TimesAreLocalAtEvenSeconds) {
    const std::string file = tmp.write("cache/Old.uxx");
    test::setModified(file, DateTime{2004, 3, 16, 13, 45, 27});
    const DateTime expected{2004, 3, 16, 13, 45, 26};

    const auto found = fs->findFirstFile(tmp / "cache/", "Old", "*.uxx");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->time, expected);
    const auto listed = fs->list(tmp / "cache/", "*.uxx");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].time, expected);
}

// ---- case-insensitive resolution ------------------------------------------

TEST_F(FileSystemTest, PathsResolveWithoutRegardToCase) {
    tmp.write("Game/System/ut2004.EXE", "exe");
    tmp.write("Game/Cache/Cache.ini", "[Cache]\n");
    const std::string game = tmp / "Game/";

    EXPECT_TRUE(fs->fileExists(game + "system/UT2004.exe"));
    EXPECT_TRUE(fs->folderExists(game + "SYSTEM"));
    EXPECT_TRUE(fs->fileExists(game + "cache/cache.ini"));
    EXPECT_FALSE(fs->fileExists(game + "system"));           // a folder is no file
    EXPECT_FALSE(fs->folderExists(game + "system/ut2004.exe"));  // and a file no folder
    EXPECT_FALSE(fs->fileExists(game + "system/UT2003.exe"));
    EXPECT_FALSE(fs->fileExists(game + "nothere/UT2004.exe"));

    // Every component as the file system spells it.
    EXPECT_EQ(fs->realPath(game + "system/UT2004.exe").value_or(""), game + "System/ut2004.EXE");
    EXPECT_EQ(fs->realPath(game + "CACHE").value_or(""), game + "Cache");
    EXPECT_FALSE(fs->realPath(game + "system/UT2003.exe"));
    ASSERT_EQ(fs->list(game + "SYSTEM/", "*.exe").size(), 1u);
    EXPECT_TRUE(fs->findFirstFile(game + "CACHE/", "cache.ini", ""));

    // Writing through another spelling replaces the one file, adds none.
    ASSERT_TRUE(fs->writeFile(game + "cache/cache.ini", "[Cache]\nk=v\n"));
    EXPECT_EQ(tmp.read("Game/Cache/Cache.ini"), "[Cache]\nk=v\n");
    EXPECT_EQ(fs->list(game + "Cache/", "*").size(), 1u);
}

TEST_F(FileSystemTest, RealPathTellsTheSpellingOnDisk) {
    tmp.write("Game/Cache/Cache.ini", "[Cache]\n");
    tmp.mkdir("Game/System");
    const std::string game = tmp / "Game/";
    struct Case {
        std::string asked;
        std::optional<std::string> expected;
    } cases[] = {
        {game + "cache/cache.INI", game + "Cache/Cache.ini"},
        {game + "Cache/Cache.ini", game + "Cache/Cache.ini"},
        {game + "SYSTEM/", game + "System/"},  // a folder keeps its trailing separator
        {tmp / "GAME", tmp / "Game"},
        {game + "cache/Missing.ini", std::nullopt},
        {game + "nothere/cache.ini", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(fs->realPath(c.asked), c.expected) << c.asked;
}

// ---- enumeration and attributes -------------------------------------------

TEST_F(FileSystemTest, ListReportsAttributesSoOnlyPlainFoldersAreOffered) {
    tmp.mkdir("Game/MyMod");
    tmp.mkdir("Game/.HiddenMod");
    tmp.mkdir("Game/LockedMod");
    ASSERT_EQ(chmod((tmp / "Game/LockedMod").c_str(), 0555), 0);
    ASSERT_EQ(symlink((tmp / "Game/MyMod").c_str(), (tmp / "Game/LinkedMod").c_str()), 0);
    tmp.write("Game/Readme.txt", "12345");
    ASSERT_EQ(symlink((tmp / "Game/Readme.txt").c_str(), (tmp / "Game/Link.txt").c_str()), 0);
    ASSERT_EQ(mkfifo((tmp / "Game/pipe").c_str(), 0644), 0);

    const auto entries = fs->list(tmp / "Game/", "*.*");
    auto find = [&](const std::string& name) -> std::optional<DirEntry> {
        for (const auto& e : entries)
            if (e.name == name) return e;
        return std::nullopt;
    };
    struct Expect {
        const char* name;
        unsigned attributes;
        bool plain;
    };
    for (const Expect& x : {Expect{"MyMod", kAttrFolder, true},
                            Expect{".HiddenMod", kAttrFolder | kAttrHidden, false},
                            Expect{"LockedMod", kAttrFolder | kAttrReadOnly, false},
                            Expect{"LinkedMod", kAttrFolder | kAttrOther, false},
                            Expect{"Readme.txt", 0u, false},
                            Expect{"Link.txt", kAttrOther, false},
                            Expect{"pipe", kAttrOther, false}}) {
        const auto e = find(x.name);
        ASSERT_TRUE(e) << x.name;
        EXPECT_EQ(e->attributes, x.attributes) << x.name;
        EXPECT_EQ(e->isPlainFolder(), x.plain) << x.name;
    }
    EXPECT_EQ(entries.size(), 7u);  // "." and ".." are not reported
    EXPECT_EQ(find("Readme.txt")->size, 5);

    const auto texts = fs->list(tmp / "game/", "*.TXT");
    ASSERT_EQ(texts.size(), 2u);
    EXPECT_TRUE(fs->list(tmp / "Missing/", "*.*").empty());
    chmod((tmp / "Game/LockedMod").c_str(), 0755);
}

// ---- move and copy never replace ------------------------------------------

TEST_F(FileSystemTest, MoveNeverReplacesAnExistingTarget) {
    struct Case {
        const char* what;
        const char* existing;  // in Maps/, before the move
    };
    for (const Case& c : {Case{"same name", "DM-Deck.ut2"}, Case{"case variant", "dm-DECK.UT2"}}) {
        SCOPED_TRACE(c.what);
        TempDir dir;
        const std::string from = dir.write("Cache/ABC.uxx", "new");
        dir.write(std::string("Maps/") + c.existing, "old");

        const Status s = fs->moveFile(from, dir / "Maps/DM-Deck.ut2");
        EXPECT_FALSE(s);
        EXPECT_EQ(s.reason, reasonOf(EEXIST));
        EXPECT_EQ(dir.read("Cache/ABC.uxx"), "new");
        EXPECT_EQ(dir.read(std::string("Maps/") + c.existing), "old");
        EXPECT_EQ(fs->list(dir / "Maps/", "*").size(), 1u);
    }
}

TEST_F(FileSystemTest, TheRenameItselfRefusesATargetThatAppearedAfterTheCheck) {
    // The move's own check has already passed when this file appears: the
    // rename must still refuse it.
    const std::string from = tmp.write("Cache/ABC.uxx", "new");
    const std::string to = tmp.write("Maps/DM-Deck.ut2", "old");
    EXPECT_EQ(platform::posix::renameNoReplace(from, to), EEXIST);
    EXPECT_EQ(tmp.read("Cache/ABC.uxx"), "new");
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "old");
    EXPECT_EQ(platform::posix::renameNoReplace(from, tmp / "Maps/Free.ut2"), 0);
    EXPECT_EQ(tmp.read("Maps/Free.ut2"), "new");
}

TEST_F(FileSystemTest, MoveKeepsContentAndTimeAndReportsTheSystemsReason) {
    const std::string from = tmp.write("Cache/ABC.uxx", "package");
    test::setModified(from, DateTime{2004, 5, 1, 10, 0, 0});
    const time_t before = modifiedSeconds(from);
    tmp.mkdir("Maps");

    ASSERT_TRUE(fs->moveFile(tmp / "cache/abc.UXX", tmp / "maps/DM-Deck.ut2"));
    EXPECT_FALSE(tmp.exists("Cache/ABC.uxx"));
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "package");
    EXPECT_EQ(modifiedSeconds(tmp / "Maps/DM-Deck.ut2"), before);

    const Status missing = fs->moveFile(tmp / "Cache/ABC.uxx", tmp / "Maps/Again.ut2");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.reason, reasonOf(ENOENT));
    const Status noFolder = fs->moveFile(tmp / "Maps/DM-Deck.ut2", tmp / "NoSuchFolder/DM-Deck.ut2");
    EXPECT_EQ(noFolder.reason, reasonOf(ENOENT));
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "package");
}

TEST_F(FileSystemTest, MoveAcrossFileSystemsCopiesThenRemovesTheSource) {
    struct stat a {}, b {};
    if (::stat("/dev/shm", &a) != 0 || ::stat(tmp.path().c_str(), &b) != 0 || a.st_dev == b.st_dev)
        GTEST_SKIP() << "/dev/shm is not another file system here";
    char tmpl[] = "/dev/shm/qmtest-XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    const std::string other = std::string(tmpl) + "/";
    const std::string from = other + "ABC.uxx";
    {
        FILE* f = fopen(from.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fputs("far away", f);
        fclose(f);
    }
    test::setModified(from, DateTime{2003, 7, 8, 9, 10, 12});
    const time_t before = modifiedSeconds(from);

    // A taken target is refused before anything is copied.
    tmp.write("Maps/Taken.ut2", "old");
    EXPECT_EQ(fs->moveFile(from, tmp / "Maps/taken.UT2").reason, reasonOf(EEXIST));
    EXPECT_EQ(tmp.read("Maps/Taken.ut2"), "old");

    const Status s = fs->moveFile(from, tmp / "Maps/Far.ut2");
    const bool sourceLeft = access(from.c_str(), F_OK) == 0;
    std::filesystem::remove_all(other);
    ASSERT_TRUE(s) << s.reason;
    EXPECT_FALSE(sourceLeft);
    EXPECT_EQ(tmp.read("Maps/Far.ut2"), "far away");
    EXPECT_EQ(modifiedSeconds(tmp / "Maps/Far.ut2"), before);
}

TEST_F(FileSystemTest, CopyIsExclusiveAndKeepsTheTime) {
    const std::string from = tmp.write("Maps/DM-Deck.ut2", "package");
    test::setModified(from, DateTime{2004, 5, 1, 10, 0, 0});
    tmp.write("Backup/dm-deck.UT2", "old");

    const Status taken = fs->copyFile(from, tmp / "Backup/DM-Deck.ut2");
    EXPECT_EQ(taken.reason, reasonOf(EEXIST));
    EXPECT_EQ(tmp.read("Backup/dm-deck.UT2"), "old");

    ASSERT_TRUE(fs->copyFile(tmp / "maps/dm-deck.ut2", tmp / "Backup/Copy.ut2"));
    EXPECT_EQ(tmp.read("Backup/Copy.ut2"), "package");
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "package");
    EXPECT_EQ(modifiedSeconds(tmp / "Backup/Copy.ut2"), modifiedSeconds(from));

    EXPECT_EQ(fs->copyFile(tmp / "Maps", tmp / "Backup/Maps").reason, reasonOf(EISDIR));
    EXPECT_FALSE(tmp.exists("Backup/Maps"));
}

TEST_F(FileSystemTest, CopyThatFailsMidwayLeavesNoPartialTarget) {
    // A disk that fills up after the first block.
    const std::string content(200000, 'p');
    const std::string from = tmp.write("Maps/Big.ut2", content);
    size_t written = 0;
    auto fullDisk = [&](int fd, const void* data, size_t size) -> ssize_t {
        if (written > 0) {
            errno = ENOSPC;
            return -1;
        }
        written += size;
        return ::write(fd, data, size);
    };
    const Status s = platform::posix::copyFileExclusive(from, tmp / "Backup.ut2", fullDisk);
    EXPECT_FALSE(s);
    EXPECT_EQ(s.reason, reasonOf(ENOSPC));
    EXPECT_GT(written, 0u);
    EXPECT_FALSE(tmp.exists("Backup.ut2"));
    EXPECT_EQ(tmp.read("Maps/Big.ut2"), content);
}

// ---- delete, write, folders -----------------------------------------------

TEST_F(FileSystemTest, DeleteRemovesLinksNotTargetsAndRefusesFolders) {
    const std::string target = tmp.write("Maps/Real.ut2", "keep");
    tmp.mkdir("Cache");
    ASSERT_EQ(symlink(target.c_str(), (tmp / "Cache/Link.uxx").c_str()), 0);

    ASSERT_TRUE(fs->deleteFile(tmp / "cache/link.UXX"));
    EXPECT_FALSE(tmp.exists("Cache/Link.uxx"));
    EXPECT_EQ(tmp.read("Maps/Real.ut2"), "keep");

    EXPECT_EQ(fs->deleteFile(tmp / "Cache").reason, reasonOf(EISDIR));
    EXPECT_TRUE(fs->folderExists(tmp / "Cache"));
    EXPECT_EQ(fs->deleteFile(tmp / "Cache/Gone.uxx").reason, reasonOf(ENOENT));

    ASSERT_TRUE(fs->deleteFile(tmp / "MAPS/real.ut2"));
    EXPECT_FALSE(tmp.exists("Maps/Real.ut2"));
}

TEST_F(FileSystemTest, WriteReplacesWholeAndLeavesNoTemporaryFile) {
    tmp.write("Logs/Save.log", "an older and longer text");
    ASSERT_TRUE(fs->writeFile(tmp / "Logs/Save.log", "new"));
    EXPECT_EQ(tmp.read("Logs/Save.log"), "new");
    ASSERT_TRUE(fs->writeFile(tmp / "Logs/Fresh.log", ""));
    EXPECT_TRUE(fs->fileExists(tmp / "Logs/Fresh.log"));
    EXPECT_EQ(fs->list(tmp / "Logs/", "*").size(), 2u);

    EXPECT_EQ(fs->writeFile(tmp / "NoFolder/Save.log", "x").reason, reasonOf(ENOENT));
    tmp.write("Blocker", "file");
    EXPECT_EQ(fs->writeFile(tmp / "Blocker/Sub", "x").reason, reasonOf(ENOTDIR));
    EXPECT_EQ(tmp.read("Blocker"), "file");
}

// ---- the fault-injecting wrapper ------------------------------------------

TEST_F(FileSystemTest, FaultyFileSystemFailsWithoutTouchingTheDisk) {
    test::FaultyFileSystem faulty(*fs);
    const std::string from = tmp.write("Cache/ABC.uxx", "package");
    const std::string to = tmp.mkdir("Maps") + "/DM-Deck.ut2";

    faulty.failMove.insert(to);
    const Status s = faulty.moveFile(from, to);
    EXPECT_EQ(s.reason, "Injected failure");
    EXPECT_EQ(tmp.read("Cache/ABC.uxx"), "package");
    EXPECT_FALSE(tmp.exists("Maps/DM-Deck.ut2"));

    // A file appearing between the check and the move is not replaced.
    faulty.failMove.clear();
    faulty.appearBeforeTransfer.insert(to);
    EXPECT_FALSE(faulty.fileExists(to));
    EXPECT_EQ(faulty.moveFile(from, to).reason, reasonOf(EEXIST));
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "raced");
    EXPECT_EQ(tmp.read("Cache/ABC.uxx"), "package");

    faulty.failWhen = [](const std::string& op, const std::string&) { return op == "delete"; };
    EXPECT_FALSE(faulty.deleteFile(from));
    EXPECT_TRUE(tmp.exists("Cache/ABC.uxx"));
}

// ---- where the process finds its folders ----------------------------------

using test::ScopedEnv;

TEST_F(FileSystemTest, FoldersComeFromTheEnvironment) {
    tmp.mkdir("home/.wine/drive_c");
    tmp.mkdir("prefix/drive_c");
    tmp.mkdir("emptyprefix");
    const std::string home = tmp / "home";
    ScopedEnv homeEnv("HOME", home.c_str());
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", (tmp / "cfg").c_str());
        EXPECT_EQ(platform::defaultRegistryStorePath(), tmp / "cfg/quillmere/registry.reg");
    }
    {
        ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(platform::defaultRegistryStorePath(), home + "/.config/quillmere/registry.reg");
    }
    {
        ScopedEnv wine("WINEPREFIX", nullptr);
        EXPECT_EQ(platform::systemDriveRoot(), home + "/.wine/drive_c/");
    }
    {
        ScopedEnv wine("WINEPREFIX", (tmp / "prefix").c_str());
        EXPECT_EQ(platform::systemDriveRoot(), tmp / "prefix/drive_c/");
    }
    {
        ScopedEnv wine("WINEPREFIX", (tmp / "emptyprefix").c_str());
        EXPECT_EQ(platform::systemDriveRoot(), "");
    }
    EXPECT_EQ(path::fileName(platform::executablePath()), "platform_tests");
    EXPECT_TRUE(fs->fileExists(platform::executablePath()));
}

}  // namespace
}  // namespace qm
#endif  // _WIN32
