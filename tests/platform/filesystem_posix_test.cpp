// The POSIX half of the file system: what Windows has no counterpart for
// (symbolic links, fifos, permission bits, names holding "*" or "\"), and the
// primitives behind its moves and copies.
#ifndef _WIN32
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <optional>

#include "core/paths.h"
#include "platform/platform.h"
#include "platform/posix/copy_file.h"
#include "support/scoped_env.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::TempDir;

std::string reasonOf(int error) { return std::strerror(error); }

class PosixFileSystemTest : public ::testing::Test {
protected:
    std::unique_ptr<FileSystem> fs = platform::makeFileSystem();
    TempDir tmp;
};

TEST_F(PosixFileSystemTest, WildcardCharactersInANameAreText) {
    // Only POSIX names may hold "*", "?" or "\".
    for (const char* name : {"star*.uxx", "starX.uxx", "back\\slash.uxx"}) tmp.write(std::string("cache/") + name, name);
    struct Case {
        const char* literal;
        const char* tail;
        const char* expected;
    };
    for (const Case& c : {Case{"star*", ".uxx", "star*.uxx"}, Case{"sta*", "*.uxx", nullptr}, Case{"star?", "*", nullptr},
                          Case{"back\\slash", ".uxx", nullptr}}) {
        const auto found = fs->findFirstFile(tmp / "cache/", c.literal, c.tail);
        if (c.expected) {
            ASSERT_TRUE(found) << c.literal;
            EXPECT_EQ(found->name, c.expected);
        } else {
            EXPECT_FALSE(found) << c.literal << " found " << found->name;
        }
    }
}

TEST_F(PosixFileSystemTest, ListReportsAttributesSoOnlyPlainFoldersAreOffered) {
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

TEST_F(PosixFileSystemTest, TheRenameItselfRefusesATargetThatAppearedAfterTheCheck) {
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

TEST_F(PosixFileSystemTest, CopyThatFailsMidwayLeavesNoPartialTarget) {
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

TEST_F(PosixFileSystemTest, DeleteRemovesLinksNotTargets) {
    const std::string target = tmp.write("Maps/Real.ut2", "keep");
    tmp.mkdir("Cache");
    ASSERT_EQ(symlink(target.c_str(), (tmp / "Cache/Link.uxx").c_str()), 0);

    ASSERT_TRUE(fs->deleteFile(tmp / "cache/link.UXX"));
    EXPECT_FALSE(tmp.exists("Cache/Link.uxx"));
    EXPECT_EQ(tmp.read("Maps/Real.ut2"), "keep");
}

TEST_F(PosixFileSystemTest, FoldersComeFromTheEnvironment) {
    tmp.mkdir("home/.wine/drive_c");
    tmp.mkdir("prefix/drive_c");
    tmp.mkdir("emptyprefix");
    const std::string home = tmp / "home";
    test::ScopedEnv homeEnv("HOME", home);
    {
        test::ScopedEnv xdg("XDG_CONFIG_HOME", tmp / "cfg");
        EXPECT_EQ(platform::defaultRegistryStorePath(), tmp / "cfg/quillmere/registry.reg");
    }
    {
        test::ScopedEnv xdg("XDG_CONFIG_HOME", nullptr);
        EXPECT_EQ(platform::defaultRegistryStorePath(), home + "/.config/quillmere/registry.reg");
    }
    {
        test::ScopedEnv wine("WINEPREFIX", nullptr);
        EXPECT_EQ(platform::systemDriveRoot(), home + "/.wine/drive_c/");
    }
    {
        test::ScopedEnv wine("WINEPREFIX", tmp / "prefix");
        EXPECT_EQ(platform::systemDriveRoot(), tmp / "prefix/drive_c/");
    }
    {
        test::ScopedEnv wine("WINEPREFIX", tmp / "emptyprefix");
        EXPECT_EQ(platform::systemDriveRoot(), "");
    }
}

}  // namespace
}  // namespace qm
#endif  // _WIN32
