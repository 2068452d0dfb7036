// Whole-file reads and the atomic replacement on Windows: the attribute
// marks, the system's error codes and the leftover sweep, which the POSIX
// tests (whole_file_test.cpp) cover with modes, owners and fifos.
#ifdef _WIN32
#include <gtest/gtest.h>

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <filesystem>
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

DWORD attributesOf(const std::string& path) { return GetFileAttributesW(test::fsPath(path).c_str()); }
void setAttributes(const std::string& path, DWORD a) { SetFileAttributesW(test::fsPath(path).c_str(), a); }

TEST(Win32WholeFile, ReadsBytesIdentityAndTheReadOnlyMark) {
    test::TempDir dir;
    const std::string file = dir.write("Cache.ini", std::string("bytes\0with a NUL", 16));
    WholeFile read;
    ASSERT_FALSE(platform::readWholeFile(file, read));
    EXPECT_EQ(read.bytes, std::string("bytes\0with a NUL", 16));
    EXPECT_TRUE(read.writable);
    FileIdentity id;
    ASSERT_FALSE(platform::identityOf(file, id));
    EXPECT_EQ(read.identity, id);
    EXPECT_EQ(id.size, 16u);

    setAttributes(file, FILE_ATTRIBUTE_READONLY);
    ASSERT_FALSE(platform::readWholeFile(file, read));
    EXPECT_FALSE(read.writable);
    setAttributes(file, FILE_ATTRIBUTE_NORMAL);

    EXPECT_EQ(platform::readWholeFile(dir / "Missing.ini", read).value(), static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_NE(platform::readWholeFile(dir.mkdir("Folder.ini"), read).value(), 0);
}

TEST(Win32FileReplacer, ReplacesWholeKeepsTheMarksAndOnlyOverTheVersionRead) {
    test::TempDir dir;
    FileReplacer replacer;
    const std::string file = dir.write("Cache.ini", "an older and longer text");
    setAttributes(file, FILE_ATTRIBUTE_HIDDEN);
    const auto result = replacer.replace(file, "new");
    ASSERT_TRUE(result) << result.error.message();
    EXPECT_EQ(test::readFile(file), "new");
    EXPECT_NE(attributesOf(file) & FILE_ATTRIBUTE_HIDDEN, 0u);
    FileIdentity now;
    ASSERT_FALSE(platform::identityOf(file, now));
    EXPECT_EQ(result.identity, now);
    EXPECT_EQ(folderEntries(dir.path()), Names{"Cache.ini"});
    setAttributes(file, FILE_ATTRIBUTE_NORMAL);

    dir.write("Cache.ini", "another program's text");  // rewritten meanwhile
    ReplaceOptions options;
    options.onlyOver = &now;
    const auto stale = replacer.replace(file, "ours", options);
    EXPECT_TRUE(stale.changed);
    EXPECT_FALSE(stale.error);
    EXPECT_EQ(test::readFile(file), "another program's text");
    EXPECT_EQ(folderEntries(dir.path()), Names{"Cache.ini"});

    std::filesystem::remove(test::fsPath(file));
    EXPECT_EQ(replacer.replace(file, "ours", options).error.value(), static_cast<int>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(replacer.replace(dir.mkdir("Folder.ini"), "ours").error.value(), static_cast<int>(ERROR_DIRECTORY));
    EXPECT_EQ(folderEntries(dir.path()), Names{"Folder.ini"});
}

TEST(Win32FileReplacer, RemovesTheFilesOldLeftoversAndNothingElse) {
    test::TempDir dir;
    const std::string file = dir.write("Save.log", "old");
    const std::string old = dir.write("Save.log.qmtmp-0123abcd", "killed before the rename");
    const std::string young = dir.write("Save.log.qmtmp-89abcdef", "another instance writing now");
    const std::string others = dir.write("Other.ini.qmtmp-00c0ffee", "another file's");
    const std::string unlike = dir.write("Save.log.qmtmp-backup", "not of the pattern");
    for (const std::string& p : {old, others, unlike}) test::setModified(p, DateTime{2003, 1, 2, 3, 4, 6});

    ASSERT_TRUE(platform::makeFileSystem()->writeFile(file, "new"));
    EXPECT_EQ(test::readFile(file), "new");
    EXPECT_EQ(folderEntries(dir.path()),
              (Names{"Other.ini.qmtmp-00c0ffee", "Save.log", "Save.log.qmtmp-89abcdef", "Save.log.qmtmp-backup"}));
}

}  // namespace
}  // namespace qm
#endif  // _WIN32
