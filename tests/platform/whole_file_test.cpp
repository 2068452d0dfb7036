// Whole-file reads and the one atomic replacement every writer uses. The
// fixtures use POSIX calls (fifos, owners, modes, times), so this file tests
// the POSIX half.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/whole_file.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using platform::FileIdentity;
using platform::FileReplacer;
using platform::ReplaceOptions;
using platform::WholeFile;
using Names = std::vector<std::string>;
using test::folderEntries;

struct stat statOf(const std::string& path) {
    struct stat st {};
    EXPECT_EQ(::stat(path.c_str(), &st), 0) << path;
    return st;
}

void setAge(const std::string& path, time_t secondsAgo) {
    const struct timespec times[2] = {{std::time(nullptr) - secondsAgo, 0}, {std::time(nullptr) - secondsAgo, 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0) << path;
}

TEST(TemporaryNames, OnePatternPerFile) {
    EXPECT_EQ(platform::temporaryNameFor("Cache.ini", 0x0123abcd), "Cache.ini.qmtmp-0123abcd");
    struct Case {
        const char* candidate;
        bool matches;
    } cases[] = {
        {"Cache.ini.qmtmp-0123abcd", true},
        {"Cache.ini.qmtmp-0123ABCD", false},   // the digits are written in lower case
        {"Cache.ini.qmtmp-0123abc", false},    // seven digits
        {"Cache.ini.qmtmp-0123abcde", false},  // nine
        {"Cache.ini.qmtmp-0123abcg", false},
        {"Cache.ini.0123abcd", false},
        {"Other.ini.qmtmp-0123abcd", false},
        {"XCache.ini.qmtmp-0123abcd", false},
        {"cache.ini.qmtmp-0123abcd", false},   // another file's on a file system that tells case apart
    };
    for (const auto& c : cases) EXPECT_EQ(platform::isTemporaryNameOf(c.candidate, "Cache.ini"), c.matches) << c.candidate;
}

TEST(WholeFile, ReadsTheBytesWithTheirIdentityAndRefusesWhatIsNoFile) {
    test::TempDir dir;
    const std::string file = dir.write("a.ini", std::string("bytes\0with a NUL", 16));
    WholeFile read;
    ASSERT_FALSE(platform::readWholeFile(file, read));
    EXPECT_EQ(read.bytes, std::string("bytes\0with a NUL", 16));
    EXPECT_TRUE(read.writable);
    FileIdentity id;
    ASSERT_FALSE(platform::identityOf(file, id));
    EXPECT_EQ(read.identity, id);
    EXPECT_EQ(id.size, 16u);

    ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
    ASSERT_FALSE(platform::readWholeFile(file, read));
    EXPECT_FALSE(read.writable);  // the marking counts, also for root

    const std::string fifo = dir / "fifo";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    struct Case {
        std::string path;
        int error;
    } cases[] = {{dir / "missing", ENOENT}, {dir.mkdir("folder"), EISDIR}, {fifo, EINVAL}};
    for (const auto& c : cases) {
        EXPECT_EQ(platform::readWholeFile(c.path, read).value(), c.error) << c.path;
        EXPECT_EQ(platform::identityOf(c.path, id).value(), c.error) << c.path;
    }
}

TEST(FileReplacer, KeepsModeOwnerAndLinkAndGivesANewFileTheUsualMode) {
    test::TempDir dir;
    FileReplacer replacer;
    const std::string file = dir.write("real/Cache.ini", "old");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(file.c_str(), 12345, 23456), 0);
    }
    const std::string link = dir / "Cache.ini";
    ASSERT_EQ(::symlink(file.c_str(), link.c_str()), 0);

    const auto result = replacer.replace(link, "new contents");
    ASSERT_TRUE(result) << result.error.message();
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::readFile(file), "new contents");
    const struct stat st = statOf(file);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 12345u);
        EXPECT_EQ(st.st_gid, 23456u);
    }
    FileIdentity now;
    ASSERT_FALSE(platform::identityOf(file, now));
    EXPECT_EQ(result.identity, now);
    EXPECT_EQ(folderEntries(dir / "real"), Names{"Cache.ini"});

    const mode_t mask = ::umask(022);
    const std::string fresh = dir / "Fresh.log";
    ReplaceOptions unflushed;
    unflushed.flush = false;
    EXPECT_TRUE(replacer.replace(fresh, "", unflushed));
    EXPECT_EQ(statOf(fresh).st_mode & 07777, 0644u);
    EXPECT_FALSE(replacer.flush(fresh));
    ::umask(mask);
}

TEST(FileReplacer, WritesOnlyOverTheVersionItWasGiven) {
    test::TempDir dir;
    FileReplacer replacer;
    const std::string file = dir.write("Cache.ini", "first");
    FileIdentity read;
    ASSERT_FALSE(platform::identityOf(file, read));
    dir.write("Cache.ini", "another program's longer text");  // rewritten meanwhile
    ReplaceOptions options;
    options.onlyOver = &read;
    const auto result = replacer.replace(file, "ours", options);
    EXPECT_FALSE(result);
    EXPECT_TRUE(result.changed);
    EXPECT_FALSE(result.error);
    EXPECT_EQ(test::readFile(file), "another program's longer text");
    EXPECT_EQ(folderEntries(dir.path()), Names{"Cache.ini"});

    std::filesystem::remove(file);
    EXPECT_EQ(replacer.replace(file, "ours", options).error.value(), ENOENT);
    EXPECT_EQ(folderEntries(dir.path()), Names{});

    const std::string folder = dir.mkdir("Folder.ini");
    EXPECT_EQ(replacer.replace(folder, "ours").error.value(), EISDIR);
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(folderEntries(dir.path()), Names{"Folder.ini"});
}

// A program killed between writing its temporary file and renaming it over
// the original leaves the temporary behind. Every writer of the program
// removes such leftovers of the file it rewrites, once they are older than
// the running program, and leaves everything else alone.
TEST(FileReplacer, EveryWriterRemovesTheFilesOldLeftoversAndNothingElse) {
    const char* const kGlobal = "SOFTWARE\\Harthollow\\Quillmere";
    struct Writer {
        const char* what;
        std::string name;
        std::string contents;
        std::function<void(const std::string& file)> rewrite;
    } writers[] = {
        {"index deletion", "Cache.ini", "[Cache]\nk=v\nj=w\n",
         [](const std::string& file) { EXPECT_TRUE(platform::makeIniFiles()->deleteKey(file, "Cache", "k")); }},
        {"file write", "Save.log", "old",
         [](const std::string& file) { EXPECT_TRUE(platform::makeFileSystem()->writeFile(file, "new")); }},
        {"registry store", "registry.reg", "Windows Registry Editor Version 5.00\n\n",
         [kGlobal](const std::string& file) {
             platform::makeRegistry(file)->openOrCreate(RegRoot::LocalMachine, kGlobal)->writeInteger("FirstRun", 0);
         }},
    };
    for (const auto& w : writers) {
        SCOPED_TRACE(w.what);
        test::TempDir dir;
        const std::string file = dir.write(w.name, w.contents);
        const std::string old = dir.write(w.name + ".qmtmp-0123abcd", "killed before the rename");
        const std::string older = dir.write(w.name + ".qmtmp-deadbeef", "killed long ago");
        const std::string young = dir.write(w.name + ".qmtmp-89abcdef", "another instance writing now");
        const std::string others = dir.write("Other.ini.qmtmp-00c0ffee", "another file's");
        const std::string unlike = dir.write(w.name + ".qmtmp-backup", "not of the pattern");
        setAge(old, 3600);
        setAge(older, 400 * 24 * 3600);
        setAge(others, 3600);
        setAge(unlike, 3600);

        w.rewrite(file);
        EXPECT_NE(test::readFile(file), w.contents);
        Names expected = {"Other.ini.qmtmp-00c0ffee", w.name, w.name + ".qmtmp-89abcdef", w.name + ".qmtmp-backup"};
        std::sort(expected.begin(), expected.end());
        EXPECT_EQ(folderEntries(dir.path()), expected);
    }
}

}  // namespace
}  // namespace qm
#endif
