// Cache validation on temp caches: which entries and files go, the report
// lines, Cancel, files that cannot be deleted, links, and failing steps.
#include <QAction>
#include <QListWidget>
#include <QPushButton>
#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "support/faulty_fs.h"
#include "support/form_access.h"
#include "support/game_fixture.h"
#include "support/modal_driver.h"

namespace qm::test {
namespace {

const std::string kQuestion =
    "This function will remove any invalid items in the UT cache. Cache items are auto-downloaded as needed, so the "
    "worst that should happen is you may have to redownload certain files. Ok to continue?";

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    if (text.empty()) return lines;
    size_t at = 0;
    for (;;) {
        const size_t nl = text.find('\n', at);
        lines.push_back(text.substr(at, nl == std::string::npos ? std::string::npos : nl - at));
        if (nl == std::string::npos) return lines;
        at = nl + 1;
    }
}

std::string claimed(const std::string& file) { return file + " is in Cache.ini"; }
std::string deleted(const std::string& file) { return file + " is MISSING:  File deleted sucessfully"; }
std::string notDeleted(const std::string& file) { return file + " is MISSING:  File could not be deleted!"; }
std::string missing(const std::string& name, const std::string& key) {
    return "File for ini entry " + name + " (" + key + ") was missing.";
}

// Runs the validation with `answer` to the question and returns the report
// the results window showed (exactly one window is expected).
std::vector<std::string> validate(GameFixture& g, DlgButton answer) {
    g.dialogs.shown.clear();
    g.dialogs.answers = {answer};
    ResultsWindowDriver driver;
    ui(*g.form).ButtonValidate->click();
    EXPECT_EQ(driver.texts.size(), 1u);
    EXPECT_EQ(ui(*g.form).FValidationLog, nullptr);
    return driver.texts.empty() ? std::vector<std::string>{} : splitLines(driver.texts[0]);
}

// The index-pass lines must come first and in index order; the file lines
// follow in the order the folder lists them, which the test does not fix.
void expectReport(std::vector<std::string> report, const std::vector<std::string>& indexLines,
                  std::vector<std::string> fileLines) {
    ASSERT_GE(report.size(), indexLines.size());
    EXPECT_EQ(std::vector<std::string>(report.begin(), report.begin() + indexLines.size()), indexLines);
    std::vector<std::string> rest(report.begin() + indexLines.size(), report.end());
    std::sort(rest.begin(), rest.end());
    std::sort(fileLines.begin(), fileLines.end());
    EXPECT_EQ(rest, fileLines);
}

TEST(Validation, KeepsClaimedFilesDeletesOrphansAndDropsEntriesWithoutFiles) {
    GameFixture g;
    g.addMissingEntry("GONE1", "Gone.utx");
    const std::string k = g.addCacheEntry("K", "Both.utx");
    const std::string k1 = g.root.write("Game/Cache/K-1.uxx", "second part");
    const std::string mixed = g.addCacheEntry("MixedKey", "Mixed.ut2", "mIXEDkEY.uxx");
    g.addMissingEntry("GONE2", "Gone2.u");
    const std::string orphan = g.root.write("Game/Cache/J-2.uxx", "orphan");
    const std::string prefixOnly = g.root.write("Game/Cache/KX.uxx", "not K's");
    const std::string other = g.root.write("Game/Cache/notes.txt", "not a cache file");
    g.start();
    ASSERT_NE(g.rowOf("Gone.utx"), -1);

    const auto report = validate(g, DlgButton::OK);

    ASSERT_FALSE(g.dialogs.shown.empty());
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Confirmation);
    EXPECT_EQ(g.dialogs.shown[0].text, kQuestion);
    EXPECT_EQ(g.dialogs.shown[0].buttons, (DlgButtons{DlgButton::OK, DlgButton::Cancel}));
    EXPECT_EQ(g.dialogs.shown.size(), 1u);
    expectReport(report, {missing("Gone.utx", "GONE1"), missing("Gone2.u", "GONE2")},
                 {claimed(k), claimed(k1), claimed(mixed), deleted(orphan), deleted(prefixOnly)});
    EXPECT_EQ(readFile(k), "package K");
    EXPECT_EQ(readFile(k1), "second part");
    EXPECT_TRUE(g.root.exists("Game/Cache/mIXEDkEY.uxx"));
    EXPECT_FALSE(g.root.exists("Game/Cache/J-2.uxx"));
    EXPECT_FALSE(g.root.exists("Game/Cache/KX.uxx"));
    EXPECT_EQ(readFile(other), "not a cache file");
    EXPECT_EQ(g.indexKeys(), (std::vector<std::string>{"K", "MixedKey"}));
    // The list shows the index after the index pass: no line for the gone entries.
    const auto lines = g.lines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(" - Both.utx"), std::string::npos);
    EXPECT_NE(lines[1].find(" - Mixed.ut2"), std::string::npos);
}

TEST(Validation, IndexWhoseEntriesAllLackFilesIsEmptiedAndReported) {
    GameFixture g;
    g.addMissingEntry("A1", "First.utx");
    g.addMissingEntry("B2", "Second.unr");
    g.addMissingEntry("C3", "");
    g.start();
    const auto report = validate(g, DlgButton::OK);
    EXPECT_EQ(report, (std::vector<std::string>{missing("First.utx", "A1"), missing("Second.unr", "B2"),
                                                missing("", "C3")}));
    EXPECT_TRUE(g.indexKeys().empty());
    EXPECT_TRUE(g.lines().empty());
    EXPECT_EQ(g.indexText(), "[Cache]\r\n");
}

TEST(Validation, WithoutAnIndexEveryCacheFileIsUnclaimed) {
    GameFixture g;
    const std::string a = g.root.write("Game/Cache/AAAA.uxx");
    const std::string b = g.root.write("Game/Cache/BBBB-3.uxx");
    const std::string keep = g.root.write("Game/Cache/readme.txt", "kept");
    std::filesystem::remove(g.cacheDir() + kCacheIniName);
    g.start();
    const auto report = validate(g, DlgButton::OK);
    expectReport(report, {}, {deleted(a), deleted(b)});
    EXPECT_FALSE(g.root.exists("Game/Cache/AAAA.uxx"));
    EXPECT_FALSE(g.root.exists("Game/Cache/BBBB-3.uxx"));
    EXPECT_EQ(readFile(keep), "kept");
    EXPECT_EQ(g.form->statusText().rfind("Cache not found - ", 0), 0u) << g.form->statusText();
}

TEST(Validation, WithoutACacheFolderTheReportIsEmpty) {
    GameFixture g;
    std::filesystem::remove_all(g.cacheDir());
    g.start();
    EXPECT_TRUE(validate(g, DlgButton::OK).empty());
}

TEST(Validation, CancelOrClosingTheQuestionChangesNothingAndShowsAnEmptyWindow) {
    for (DlgButton answer : {DlgButton::Cancel, DlgButton::None}) {
        GameFixture g;
        g.addMissingEntry("GONE", "Gone.utx");
        g.addCacheEntry("K", "Kept.utx");
        g.root.write("Game/Cache/ORPHAN.uxx", "orphan");
        g.start();
        const std::string index = g.indexText();
        EXPECT_TRUE(validate(g, answer).empty());
        EXPECT_EQ(g.indexText(), index);
        EXPECT_TRUE(g.root.exists("Game/Cache/ORPHAN.uxx"));
        EXPECT_EQ(g.dialogs.shown.size(), 1u);
    }
}

TEST(Validation, MenuItemRunsTheSameValidation) {
    GameFixture g;
    g.addMissingEntry("GONE", "Gone.utx");
    g.start();
    g.dialogs.answers = {DlgButton::OK};
    ResultsWindowDriver driver;
    ui(*g.form).miValidate->trigger();
    ASSERT_EQ(driver.texts.size(), 1u);
    EXPECT_EQ(driver.texts[0], missing("Gone.utx", "GONE"));
}

TEST(Validation, FilesThatCannotBeDeletedAreReportedOneByOneAndTheRestGoes) {
    GameFixture g;
    FaultyFileSystem faulty(*g.realFs);
    g.useFileSystem(&faulty);
    g.addCacheEntry("K", "Kept.utx");
    const std::string stuck = g.root.write("Game/Cache/STUCK.uxx", "in use");
    const std::string gone = g.root.write("Game/Cache/FREE.uxx", "free");
    // A folder named like a cache file is not a file: never removed or emptied.
    const std::string folder = g.root.mkdir("Game/Cache/FOLDER.uxx");
    g.root.write("Game/Cache/FOLDER.uxx/inside.txt", "inside");
    faulty.failDelete.insert(stuck);
    g.start();
    const auto report = validate(g, DlgButton::OK);

    expectReport(report, {}, {claimed(g.cacheDir() + "K.uxx"), notDeleted(stuck), deleted(gone), notDeleted(folder)});
    EXPECT_EQ(readFile(stuck), "in use");
    EXPECT_FALSE(g.root.exists("Game/Cache/FREE.uxx"));
    EXPECT_EQ(g.root.read("Game/Cache/FOLDER.uxx/inside.txt"), "inside");
    std::vector<std::string> errors;
    for (const auto& d : g.dialogs.shown)
        if (d.kind == DlgKind::Error) {
            errors.push_back(d.text);
            EXPECT_EQ(d.buttons, DlgButtons{DlgButton::OK});
        }
    std::sort(errors.begin(), errors.end());
    std::vector<std::string> expected = {"Could not remove file " + stuck, "Could not remove file " + folder};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(errors, expected);
}

TEST(Validation, LinkedOrphansAreRemovedAsLinksAndTheirTargetsKept) {
    GameFixture g;
    const std::string targetFile = g.root.write("Outside/package.bin", "elsewhere");
    const std::string targetFolder = g.root.mkdir("Outside/folder");
    g.root.write("Outside/folder/inside.txt", "inside");
    const std::string fileLink = g.cacheDir() + "LINK.uxx";
    const std::string folderLink = g.cacheDir() + "DIRLINK.uxx";
    std::filesystem::create_symlink(targetFile, fileLink);
    std::filesystem::create_directory_symlink(targetFolder, folderLink);
    g.start();
    const auto report = validate(g, DlgButton::OK);
    expectReport(report, {}, {deleted(fileLink), deleted(folderLink)});
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(fileLink)));
    EXPECT_FALSE(std::filesystem::is_symlink(std::filesystem::symlink_status(folderLink)));
    EXPECT_EQ(readFile(targetFile), "elsewhere");
    EXPECT_EQ(g.root.read("Outside/folder/inside.txt"), "inside");
}

// An index reader that fails on demand, for a step that fails midway.
class FailingIni : public IniFiles {
public:
    explicit FailingIni(IniFiles& real) : real_(real) {}
    bool fail = false;
    bool unreadable = false;  // the file is there, but reading it fails
    bool readable(const std::string& file) override { return !unreadable && real_.readable(file); }
    std::vector<std::string> keys(const std::string& file, const std::string& section) override {
        if (fail) throw Error("The index could not be read");
        if (unreadable) return {};
        return real_.keys(file, section);
    }
    std::string value(const std::string& file, const std::string& section, const std::string& key) override {
        return real_.value(file, section, key);
    }
    bool deleteKey(const std::string& file, const std::string& section, const std::string& key) override {
        return real_.deleteKey(file, section, key);
    }
    void deferFlush(const std::string& file) override { real_.deferFlush(file); }
    bool flush(const std::string& file) override { return real_.flush(file); }

private:
    IniFiles& real_;
};

TEST(Validation, AFailingStepEndsItWithoutTheWindowAndReleasesTheLog) {
    GameFixture g;
    FailingIni ini(*g.realIni);
    g.services.ini = &ini;
    g.root.write("Game/Cache/ORPHAN.uxx", "orphan");
    g.start();
    ini.fail = true;
    g.dialogs.shown.clear();
    g.dialogs.answers = {DlgButton::OK};
    ResultsWindowDriver driver;
    ui(*g.form).ButtonValidate->click();
    EXPECT_TRUE(driver.texts.empty());
    EXPECT_EQ(ui(*g.form).FValidationLog, nullptr);
    ASSERT_EQ(g.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.dialogs.shown[1].what, "failure");
    EXPECT_EQ(g.dialogs.shown[1].text, "The index could not be read");
    // The step failed before the file pass: nothing was deleted.
    EXPECT_TRUE(g.root.exists("Game/Cache/ORPHAN.uxx"));
}

TEST(Validation, AnIndexThatCannotBeReadClaimsNothingAndNothingIsDeleted) {
    GameFixture g;
    FailingIni ini(*g.realIni);
    g.services.ini = &ini;
    g.addCacheEntry("K", "Kept.utx");
    g.root.write("Game/Cache/ORPHAN.uxx", "orphan");
    g.start();
    ini.unreadable = true;
    g.dialogs.shown.clear();
    g.dialogs.answers = {DlgButton::OK};
    ResultsWindowDriver driver;
    ui(*g.form).ButtonValidate->click();
    EXPECT_TRUE(driver.texts.empty());
    ASSERT_EQ(g.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.dialogs.shown[1].what, "failure");
    EXPECT_EQ(g.dialogs.shown[1].text, "Could not read " + g.cacheDir() + "Cache.ini.  No cache file was deleted.");
    EXPECT_TRUE(g.root.exists("Game/Cache/K.uxx"));
    EXPECT_TRUE(g.root.exists("Game/Cache/ORPHAN.uxx"));
}

}  // namespace
}  // namespace qm::test
