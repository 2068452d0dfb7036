// The real file system over temporary folders, on either half: the rules
// that hold alike on Windows and POSIX. What only one half has (links,
// fifos and permissions; attribute bits, short names, drives) is tested in
// filesystem_posix_test.cpp and filesystem_win32_test.cpp.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <vector>

#include "core/paths.h"
#include "platform/platform.h"
#include "support/faulty_fs.h"
#include "support/system_reasons.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::TempDir;
namespace reason = test::reason;

std::filesystem::file_time_type modified(const std::string& path) {
    return std::filesystem::last_write_time(test::fsPath(path));
}

// The names in a folder as the system lists them, sorted.
std::vector<std::string> namesIn(const std::string& folder) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(test::fsPath(folder)))
        names.push_back(test::utf8Path(e.path().filename()));
    std::sort(names.begin(), names.end());
    return names;
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
    for (const char* name : {"Exact.uxx", "Numbered-7.uxx", "CaseMix.UXX", "Other.txt", "Pack.uxxold",
                             "Tex.uxx2", "sub/Inner.uxx"})
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
                      // Windows gives these short names that match
                      // ("PACK~1.UXX", "TEX~1.UXX"): the long name decides.
                      FindCase{"Pack", "*.uxx", nullptr},                   //
                      FindCase{"Tex", "*.uxx", nullptr},                    //
                      FindCase{"Tex", "*", "Tex.uxx2"},                     //
                      FindCase{"Exa?t", "*.uxx", nullptr},                  // a wildcard in the literal is text
                      FindCase{"Exa*", "*.uxx", nullptr},                   //
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
    for (const auto& e : std::filesystem::directory_iterator(test::fsPath(tmp / "cache"))) {
        first = test::utf8Path(e.path().filename());
        break;
    }

    const auto found = fs->findFirstFile(tmp / "cache/", "Pack", "*.uxx");
    if (first == "Pack.uxx") {
        EXPECT_FALSE(found);
    } else {
        ASSERT_EQ(first, "Pack-1.uxx");
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

// ---- names without regard to case ----------------------------------------

TEST_F(FileSystemTest, PathsResolveWithoutRegardToCase) {
    tmp.write("Game/System/ut2004.EXE", "exe");
    tmp.write("Game/Cache/Cache.ini", "[Cache]\n");
    const std::string game = tmp / "Game/";

    EXPECT_TRUE(fs->fileExists(game + "system/UT2004.exe"));
    EXPECT_TRUE(fs->folderExists(game + "SYSTEM"));
    EXPECT_TRUE(fs->fileExists(game + "cache/cache.ini"));
    EXPECT_FALSE(fs->fileExists(game + "system"));               // a folder is no file
    EXPECT_FALSE(fs->folderExists(game + "system/ut2004.exe"));  // and a file no folder
    EXPECT_FALSE(fs->fileExists(game + "system/UT2003.exe"));
    EXPECT_FALSE(fs->fileExists(game + "nothere/UT2004.exe"));

    // Every component as the file system spells it.
    EXPECT_EQ(fs->realPath(path::native(game + "system/UT2004.exe")).value_or(""),
              path::native(game + "System/ut2004.EXE"));
    EXPECT_EQ(fs->realPath(path::native(game + "CACHE")).value_or(""), path::native(game + "Cache"));
    EXPECT_FALSE(fs->realPath(game + "system/UT2003.exe"));
    ASSERT_EQ(fs->list(game + "SYSTEM/", "*.exe").size(), 1u);
    EXPECT_TRUE(fs->findFirstFile(game + "CACHE/", "cache.ini", ""));

    // Writing through another spelling replaces the one file, adds none.
    ASSERT_TRUE(fs->writeFile(game + "cache/cache.ini", "[Cache]\nk=v\n"));
    EXPECT_EQ(tmp.read("Game/Cache/Cache.ini"), "[Cache]\nk=v\n");
    EXPECT_EQ(namesIn(game + "Cache"), std::vector<std::string>{"Cache.ini"});
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

TEST_F(FileSystemTest, NamesOutsideAsciiPassThroughWhole) {
    // Folder and file names in UTF-8, as the program holds them.
    const std::string folder = "Caf\xC3\xA9 \xD0\x96/";
    const std::string name = "DM-\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88.ut2";
    tmp.write(folder + name, "package");

    const auto listed = fs->list(tmp / folder, "*.ut2");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].name, name);
    const auto found = fs->findFirstFile(tmp / folder, "dm-\xE3\x83\x86", "*.UT2");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->name, name);
    EXPECT_TRUE(fs->fileExists(tmp / folder + name));
    ASSERT_TRUE(fs->moveFile(tmp / folder + name, tmp / folder + "\xC3\x9C" + name));
    ASSERT_TRUE(fs->copyFile(tmp / folder + "\xC3\x9C" + name, tmp / "Copy.ut2"));
    EXPECT_EQ(tmp.read("Copy.ut2"), "package");
    ASSERT_TRUE(fs->deleteFile(tmp / folder + "\xC3\x9C" + name));
    EXPECT_TRUE(namesIn(tmp / folder).empty());
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
        EXPECT_EQ(s.code, Errc::AlreadyExists);
        EXPECT_EQ(s.reason, reason::moveTargetExists());
        EXPECT_EQ(dir.read("Cache/ABC.uxx"), "new");
        EXPECT_EQ(dir.read(std::string("Maps/") + c.existing), "old");
        EXPECT_EQ(namesIn(dir / "Maps"), std::vector<std::string>{c.existing});
    }
}

TEST_F(FileSystemTest, MoveKeepsContentAndTimeAndReportsTheSystemsReason) {
    const std::string from = tmp.write("Cache/ABC.uxx", "package");
    test::setModified(from, DateTime{2004, 5, 1, 10, 0, 0});
    const auto before = modified(from);
    tmp.mkdir("Maps");

    ASSERT_TRUE(fs->moveFile(tmp / "cache/abc.UXX", tmp / "maps/DM-Deck.ut2"));
    EXPECT_FALSE(tmp.exists("Cache/ABC.uxx"));
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "package");
    EXPECT_EQ(modified(tmp / "Maps/DM-Deck.ut2"), before);

    const Status missing = fs->moveFile(tmp / "Cache/ABC.uxx", tmp / "Maps/Again.ut2");
    EXPECT_FALSE(missing);
    EXPECT_EQ(missing.code, Errc::NotFound);
    EXPECT_EQ(missing.reason, reason::noSuchFile());
    const Status noFolder = fs->moveFile(tmp / "Maps/DM-Deck.ut2", tmp / "NoSuchFolder/DM-Deck.ut2");
    EXPECT_EQ(noFolder.code, Errc::NotFound);
    EXPECT_EQ(noFolder.reason, reason::noSuchFolder());
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "package");
}

TEST_F(FileSystemTest, MoveAcrossVolumesCopiesThenRemovesTheSource) {
    const std::optional<std::string> other = test::folderOnAnotherVolume();
    if (!other) GTEST_SKIP() << "this machine offers no second volume";
    struct Cleanup {
        std::string folder;
        ~Cleanup() {
            std::error_code ec;
            std::filesystem::remove_all(test::fsPath(folder), ec);
        }
    } cleanup{*other};
    const std::string from = *other + "ABC.uxx";
    test::writeTo(from, "far away");
    test::setModified(from, DateTime{2003, 7, 8, 9, 10, 12});
    const auto before = modified(from);

    // A taken target is refused and nothing is copied over it.
    tmp.write("Maps/Taken.ut2", "old");
    EXPECT_FALSE(fs->moveFile(from, tmp / "Maps/taken.UT2"));
    EXPECT_EQ(tmp.read("Maps/Taken.ut2"), "old");
    EXPECT_EQ(namesIn(tmp / "Maps"), std::vector<std::string>{"Taken.ut2"});

    const Status s = fs->moveFile(from, tmp / "Maps/Far.ut2");
    ASSERT_TRUE(s) << s.reason;
    EXPECT_FALSE(std::filesystem::exists(test::fsPath(from)));
    EXPECT_EQ(tmp.read("Maps/Far.ut2"), "far away");
    EXPECT_EQ(modified(tmp / "Maps/Far.ut2"), before);
}

TEST_F(FileSystemTest, CopyIsExclusiveAndKeepsTheTime) {
    const std::string from = tmp.write("Maps/DM-Deck.ut2", "package");
    test::setModified(from, DateTime{2004, 5, 1, 10, 0, 0});
    tmp.write("Backup/dm-deck.UT2", "old");

    const Status taken = fs->copyFile(from, tmp / "Backup/DM-Deck.ut2");
    EXPECT_EQ(taken.code, Errc::AlreadyExists);
    EXPECT_EQ(taken.reason, reason::copyTargetExists());
    EXPECT_EQ(tmp.read("Backup/dm-deck.UT2"), "old");

    ASSERT_TRUE(fs->copyFile(tmp / "maps/dm-deck.ut2", tmp / "Backup/Copy.ut2"));
    EXPECT_EQ(tmp.read("Backup/Copy.ut2"), "package");
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "package");
    EXPECT_EQ(modified(tmp / "Backup/Copy.ut2"), modified(from));

    EXPECT_EQ(fs->copyFile(tmp / "Maps", tmp / "Backup/Maps").reason, reason::folderGivenAsFile());
    EXPECT_FALSE(tmp.exists("Backup/Maps"));
    EXPECT_EQ(fs->copyFile(tmp / "Maps/Gone.ut2", tmp / "Backup/Gone.ut2").reason, reason::noSuchFile());
    EXPECT_EQ(namesIn(tmp / "Backup"), (std::vector<std::string>{"Copy.ut2", "dm-deck.UT2"}));
}

// ---- delete, write, folders -----------------------------------------------

TEST_F(FileSystemTest, DeleteRemovesTheFileAndRefusesFolders) {
    tmp.write("Maps/Real.ut2", "gone soon");
    tmp.mkdir("Cache");

    EXPECT_EQ(fs->deleteFile(tmp / "Cache").reason, reason::folderGivenAsFile());
    EXPECT_TRUE(fs->folderExists(tmp / "Cache"));
    const Status gone = fs->deleteFile(tmp / "Cache/Gone.uxx");
    EXPECT_EQ(gone.code, Errc::NotFound);
    EXPECT_EQ(gone.reason, reason::noSuchFile());

    ASSERT_TRUE(fs->deleteFile(tmp / "MAPS/real.ut2"));
    EXPECT_FALSE(tmp.exists("Maps/Real.ut2"));
}

TEST_F(FileSystemTest, WriteReplacesWholeAndLeavesNoTemporaryFile) {
    tmp.write("Logs/Save.log", "an older and longer text");
    ASSERT_TRUE(fs->writeFile(tmp / "Logs/Save.log", "new"));
    EXPECT_EQ(tmp.read("Logs/Save.log"), "new");
    ASSERT_TRUE(fs->writeFile(tmp / "Logs/Fresh.log", ""));
    EXPECT_TRUE(fs->fileExists(tmp / "Logs/Fresh.log"));
    EXPECT_EQ(namesIn(tmp / "Logs"), (std::vector<std::string>{"Fresh.log", "Save.log"}));

    EXPECT_EQ(fs->writeFile(tmp / "NoFolder/Save.log", "x").reason, reason::noSuchFolder());
    tmp.write("Blocker", "file");
    EXPECT_EQ(fs->writeFile(tmp / "Blocker/Sub", "x").reason, reason::fileInTheWayOfAFolder());
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
    EXPECT_EQ(faulty.moveFile(from, to).reason, reason::moveTargetExists());
    EXPECT_EQ(tmp.read("Maps/DM-Deck.ut2"), "raced");
    EXPECT_EQ(tmp.read("Cache/ABC.uxx"), "package");

    faulty.failWhen = [](const std::string& op, const std::string&) { return op == "delete"; };
    EXPECT_FALSE(faulty.deleteFile(from));
    EXPECT_TRUE(tmp.exists("Cache/ABC.uxx"));
}

// ---- the process itself ---------------------------------------------------

TEST_F(FileSystemTest, ExecutablePathNamesThisProgram) {
    const std::string self = platform::executablePath();
    EXPECT_TRUE(path::equalsIgnoreCase(path::baseName(path::fileName(self)), "platform_tests")) << self;
    EXPECT_TRUE(fs->fileExists(self)) << self;
}

}  // namespace
}  // namespace qm
