// The Windows half of the file system: attribute bits, short 8.3 names,
// read-only files, the copy primitive and the system's message texts, none
// of which POSIX has.
#ifdef _WIN32
#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>

#include "core/paths.h"
#include "platform/platform.h"
#include "platform/whole_file.h"
#include "platform/win32/copy_file.h"
#include "support/system_reasons.h"
#include "support/temp_dir.h"

namespace qm {
namespace {

using test::TempDir;

std::wstring wpath(const std::string& utf8) { return test::fsPath(utf8).wstring(); }

std::string systemText(DWORD code) {
    return platform::systemErrorText(std::error_code(static_cast<int>(code), std::system_category()));
}

bool setAttributes(const std::string& path, DWORD attributes) {
    return SetFileAttributesW(wpath(path).c_str(), attributes) != 0;
}

class Win32FileSystemTest : public ::testing::Test {
protected:
    std::unique_ptr<FileSystem> fs = platform::makeFileSystem();
    TempDir tmp;
};

TEST_F(Win32FileSystemTest, ListReportsAttributesSoOnlyPlainFoldersAreOffered) {
    struct Case {
        const char* name;
        bool folder;
        DWORD set;  // attributes given by the system call
        unsigned expected;
        bool plain;
    };
    const Case cases[] = {
        {"MyMod", true, FILE_ATTRIBUTE_NORMAL, kAttrFolder, true},
        {"HiddenMod", true, FILE_ATTRIBUTE_HIDDEN, kAttrFolder | kAttrHidden, false},
        {"SystemMod", true, FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN, kAttrFolder | kAttrSystem | kAttrHidden, false},
        {"Readme.txt", false, FILE_ATTRIBUTE_NORMAL, 0u, false},
        {"Locked.txt", false, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN, kAttrReadOnly | kAttrHidden, false},
    };
    for (const Case& c : cases) {
        const std::string p = c.folder ? tmp.mkdir(std::string("Game/") + c.name) : tmp.write(std::string("Game/") + c.name);
        ASSERT_TRUE(setAttributes(p, c.set)) << c.name;
    }

    const auto entries = fs->list(tmp / "Game/", "*.*");
    EXPECT_EQ(entries.size(), std::size(cases));  // "." and ".." are not reported
    for (const Case& c : cases) {
        const auto it = std::find_if(entries.begin(), entries.end(), [&](const DirEntry& e) { return e.name == c.name; });
        ASSERT_NE(it, entries.end()) << c.name;
        // Wine marks every file as archived, whatever it was told.
        EXPECT_EQ(it->attributes & ~static_cast<unsigned>(kAttrArchive), c.expected) << c.name;
        EXPECT_EQ(it->isPlainFolder(), c.plain) << c.name;
    }
    for (const Case& c : cases) setAttributes(tmp / "Game/" + c.name, FILE_ATTRIBUTE_NORMAL);
}

TEST_F(Win32FileSystemTest, ANameThatMatchesOnlyByItsShortFormIsNoMatch) {
    const std::string file = tmp.write("Cache/Pack.uxxbackup", "not a cache file");
    tmp.write("Cache/Other.uxx", "other");
    // The system's own search finds the file through its short name
    // ("PACK~1.UXX"), where the system makes short names at all.
    WIN32_FIND_DATAW data{};
    HANDLE h = FindFirstFileW(wpath(tmp / "Cache\\Pack*.uxx").c_str(), &data);
    const bool systemMatches = h != INVALID_HANDLE_VALUE;
    if (h != INVALID_HANDLE_VALUE) FindClose(h);
    if (!systemMatches) GTEST_SKIP() << "this volume makes no short names";

    EXPECT_FALSE(fs->findFirstFile(tmp / "Cache\\", "Pack", "*.uxx"));
    EXPECT_TRUE(fs->list(tmp / "Cache\\", "Pack*.uxx").empty());
    // A path given in its short form comes back in its long one.
    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_NE(GetShortPathNameW(wpath(path::native(file)).c_str(), shortPath, MAX_PATH), 0u);
    const std::string shortForm = test::utf8Path(std::filesystem::path(shortPath));
    EXPECT_NE(path::fileName(shortForm), "Pack.uxxbackup");
    EXPECT_EQ(fs->realPath(shortForm), path::native(file)) << shortForm;
    const auto exact = fs->findFirstFile(tmp / "Cache\\", "Pack.uxxbackup", "");
    ASSERT_TRUE(exact);
    EXPECT_EQ(exact->name, "Pack.uxxbackup");
    EXPECT_EQ(test::readFile(file), "not a cache file");
}

TEST_F(Win32FileSystemTest, AReadOnlySourceMovedAcrossVolumesStaysWhereItWas) {
    // The copy is made, the source cannot be deleted: the copy goes again,
    // so the package is never in two places.
    const std::optional<std::string> other = test::folderOnAnotherVolume();
    if (!other) GTEST_SKIP() << "this machine offers no second volume";
    const std::string from = *other + "ABC.uxx";
    test::writeTo(from, "package");
    ASSERT_TRUE(setAttributes(from, FILE_ATTRIBUTE_READONLY));

    const Status s = fs->moveFile(from, tmp / "Maps.ut2");
    const std::string left = test::readFile(from);
    setAttributes(from, FILE_ATTRIBUTE_NORMAL);
    std::error_code ec;
    std::filesystem::remove_all(test::fsPath(*other), ec);

    EXPECT_FALSE(s);
    EXPECT_EQ(s.code, Errc::AccessDenied);
    EXPECT_EQ(s.reason, test::reason::folderGivenAsFile());  // access denied
    EXPECT_EQ(left, "package");
    EXPECT_FALSE(tmp.exists("Maps.ut2"));
}

TEST_F(Win32FileSystemTest, CopyThatFailsMidwayLeavesNoPartialTarget) {
    const std::string content(200000, 'p');
    const std::string from = tmp.write("Maps/Big.ut2", content);
    DWORD written = 0;
    auto fullDisk = [&](HANDLE file, const void* data, DWORD size, DWORD* done) -> BOOL {
        if (written > 0) {
            SetLastError(ERROR_DISK_FULL);
            return FALSE;
        }
        written += size;
        return WriteFile(file, data, size, done, nullptr);
    };
    const Status s = platform::win32::copyFileExclusive(from, tmp / "Backup.ut2", fullDisk);
    EXPECT_FALSE(s);
    EXPECT_EQ(s.reason, systemText(ERROR_DISK_FULL));
    EXPECT_GT(written, 0u);
    EXPECT_FALSE(tmp.exists("Backup.ut2"));
    EXPECT_EQ(tmp.read("Maps/Big.ut2"), content);
}

TEST_F(Win32FileSystemTest, ACopyKeepsTheReadOnlyMarkOfItsSource) {
    const std::string from = tmp.write("Maps/Locked.ut2", "package");
    ASSERT_TRUE(setAttributes(from, FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(fs->copyFile(from, tmp / "Copy.ut2"));
    EXPECT_EQ(tmp.read("Copy.ut2"), "package");
    const auto copy = fs->list(tmp.path(), "Copy.ut2");
    ASSERT_EQ(copy.size(), 1u);
    EXPECT_EQ(copy[0].attributes & kAttrReadOnly, kAttrReadOnly);
    for (const char* name : {"Maps/Locked.ut2", "Copy.ut2"}) setAttributes(tmp / name, FILE_ATTRIBUTE_NORMAL);
}

TEST(Win32SystemMessages, AreTheSystemsTextsWithoutTheirLineBreak) {
    for (DWORD code : {ERROR_FILE_NOT_FOUND, ERROR_ACCESS_DENIED, ERROR_ALREADY_EXISTS, ERROR_DISK_FULL}) {
        const std::string text = systemText(code);
        ASSERT_FALSE(text.empty()) << code;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << code << ": " << text;
        EXPECT_NE(text.back(), ' ') << code;
    }
    EXPECT_EQ(systemText(ERROR_FILE_NOT_FOUND), test::reason::noSuchFile());
    // A code the system has no text for.
    EXPECT_EQ(systemText(0x2000FFFF), "System error 536936447");
}

TEST(Win32ProcessFacts, TheSystemDriveIsADriveRootHoldingWindows) {
    const std::string root = platform::systemDriveRoot();
    ASSERT_EQ(root.size(), 3u) << root;
    EXPECT_EQ(root.substr(1), ":\\");
    auto fs = platform::makeFileSystem();
    EXPECT_TRUE(fs->folderExists(root + "Windows")) << root;
}

}  // namespace
}  // namespace qm
#endif  // _WIN32
