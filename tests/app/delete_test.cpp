// Deletion of cache entries on temp game folders.
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include "support/faulty_fs.h"
#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {
namespace {

std::string notFound(const std::string& name) {
    return "Selected entry \"" + name + "\" is not found in the cache folder.  You may need to validate your cache.";
}

TFormMain& begin(GameFixture& g) {
    TFormMain& form = g.start();
    g.dialogs.shown.clear();  // the start-up's first-run question
    return form;
}

TEST(Delete, NumberedVariantGoesWithItsKeyAndLine) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("K", "Walls.utx", "K-3.uxx");
    g.addCacheEntry("KEEP", "Other.utx");
    // Files that the key does not name stay.
    g.root.write("Game/Cache/K-100.uxx", "not K's");
    g.root.write("Game/Cache/Kx.uxx", "not K's");
    TFormMain& form = begin(g);
    g.focus(g.rowOf("Walls.utx"));
    ui(form).BitBtn1->click();

    EXPECT_TRUE(g.dialogs.shown.empty());
    EXPECT_EQ(form.statusText(), "Removed 1 cache entry.");
    EXPECT_FALSE(g.root.exists("Game/Cache/K-3.uxx"));
    EXPECT_TRUE(g.root.exists("Game/Cache/K-100.uxx"));
    EXPECT_TRUE(g.root.exists("Game/Cache/Kx.uxx"));
    EXPECT_TRUE(g.root.exists("Game/Cache/KEEP.uxx"));
    EXPECT_EQ(g.indexKeys(), std::vector<std::string>{"KEEP"});
    EXPECT_EQ(g.rowOf("Walls.utx"), -1);
    ui(form).ButtonRefresh->click();
    EXPECT_EQ(g.rowOf("Walls.utx"), -1);
    EXPECT_EQ(g.lines().size(), 1u);
}

TEST(Delete, SingleModeWithoutAnythingToDelete) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("A", "A.utx", "A.uxx", {2024, 3, 1, 10, 0, 0});
    g.addCacheEntry("B", "B.utx", "B.uxx", {2024, 3, 1, 11, 0, 0});
    TFormMain& form = begin(g);
    ASSERT_EQ(g.lines().size(), 3u);

    g.focus(-1);
    ui(form).miDeleteCacheEntry->trigger();
    EXPECT_EQ(form.statusText(), "Please select a file to Delete.");
    EXPECT_TRUE(g.dialogs.shown.empty());

    g.focus(1);
    ui(form).miDeleteCacheEntry->trigger();
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Warning);
    EXPECT_EQ(g.dialogs.shown[0].text,
              "The dashed lines are separators to help identify which cache items were downloaded for a given file.  "
              "You can't delete them");
    EXPECT_EQ(g.lines().size(), 3u);
    EXPECT_TRUE(g.root.exists("Game/Cache/A.uxx"));
    EXPECT_TRUE(g.root.exists("Game/Cache/B.uxx"));
}

struct FailCase {
    std::string label;
    bool missingLine;   // the entry is listed as missing
    bool deleteFails;   // the file system refuses the delete
    std::string key;    // "" = "K"
};

class DeleteFailure : public ::testing::TestWithParam<FailCase> {};

TEST_P(DeleteFailure, KeepsKeyLineAndFiles) {
    const FailCase& c = GetParam();
    const std::string key = c.key.empty() ? "K" : c.key;
    GameFixture g(gkUT2004);
    FaultyFileSystem faulty(*g.realFs);
    g.useFileSystem(&faulty);
    // An odd key has no file of its own; its line gets the key below.
    if (c.missingLine || !c.key.empty())
        g.addMissingEntry(key, "Walls.utx");
    else
        g.addCacheEntry(key, "Walls.utx");
    // Files a literal key must not reach: beside the cache folder, and names
    // that a wildcard key would match.
    g.root.write("Game/Outside.uxx", "outside");
    g.root.write("Game/Cache/Kabc.uxx", "other");
    if (c.deleteFails) faulty.failWhen = [](const std::string& op, const std::string&) { return op == "delete"; };
    TFormMain& form = begin(g);
    int row = g.rowOf("Walls.utx");
    ASSERT_GE(row, 0);
    if (!c.key.empty()) ui(form).ListBoxCache->item(row)->setData(Qt::UserRole, QString::fromStdString(key));
    const std::vector<std::string> before = g.lines();
    g.dialogs.answers = {DlgButton::OK};
    g.focus(row);
    ui(form).miDeleteCacheFileEntry->trigger();

    const std::string expected =
        c.deleteFails ? "Could not remove \"Walls.utx\". Delete operation failed." : notFound("Walls.utx");
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Error);
    EXPECT_EQ(g.dialogs.shown[0].text, expected);
    EXPECT_EQ(form.statusText(), "Could not remove the cache entry.");
    EXPECT_EQ(g.lines(), before);
    EXPECT_EQ(g.indexKeys(), std::vector<std::string>{key});
    EXPECT_EQ(g.root.read("Game/Outside.uxx"), "outside");
    EXPECT_EQ(g.root.read("Game/Cache/Kabc.uxx"), "other");
    if (c.deleteFails) {
        EXPECT_TRUE(g.root.exists("Game/Cache/" + key + ".uxx"));
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, DeleteFailure,
                         ::testing::Values(FailCase{"MissingEntryLine", true, false, ""},
                                           FailCase{"DeleteRefused", false, true, ""},
                                           FailCase{"KeyOutsideTheCacheFolder", false, false, "../Outside"},
                                           FailCase{"WildcardKey", false, false, "K*"},
                                           FailCase{"SingleCharacterWildcardKey", false, false, "K???"}),
                         [](const auto& info) { return info.param.label; });

TEST(DeleteMultiple, BottomUpPassingSeparatorsAndGoingOnAfterFailures) {
    GameFixture g(gkUT2004);
    FaultyFileSystem faulty(*g.realFs);
    g.useFileSystem(&faulty);
    g.addCacheEntry("A", "A.utx", "A.uxx", {2024, 3, 1, 10, 0, 0});
    g.addCacheEntry("B", "B.utx", "B.uxx", {2024, 3, 1, 10, 30, 0});
    g.addMissingEntry("C", "C.utx");
    g.addCacheEntry("D", "D.utx", "D.uxx", {2024, 3, 1, 10, 31, 0});
    g.addCacheEntry("E", "E.utx", "E.uxx", {2024, 3, 1, 10, 32, 0});
    g.addCacheEntry("F", "F.utx", "F.uxx", {2024, 3, 1, 10, 33, 0});
    faulty.failDelete.insert(g.cacheDir() + "B.uxx");
    TFormMain& form = begin(g);
    const std::vector<std::string> before = g.lines();
    ASSERT_EQ(before.size(), 7u);  // A, separator, B, C missing, D, E, F
    ASSERT_EQ(before[1], kSeparatorLine);
    g.select({0, 1, 2, 3, 4, 5});  // all but F
    g.focus(6);
    g.dialogs.answers = {DlgButton::OK, DlgButton::OK};
    ui(form).miDeleteCacheEntry->trigger();

    // Bottom-up: the missing line (row 3) fails before B (row 2).
    EXPECT_EQ(g.dialogs.texts(), (std::vector<std::string>{notFound("C.utx"),
                                                           "Could not remove \"B.utx\". Delete operation failed."}));
    EXPECT_EQ(form.statusText(), "Removed 3 cache entries.");
    EXPECT_EQ(g.lines(), (std::vector<std::string>{kSeparatorLine, before[2], before[3], before[6]}));
    EXPECT_EQ(g.indexKeys(), (std::vector<std::string>{"B", "C", "F"}));
    EXPECT_TRUE(g.root.exists("Game/Cache/B.uxx"));
    EXPECT_TRUE(g.root.exists("Game/Cache/F.uxx"));
    for (const char* f : {"A.uxx", "D.uxx", "E.uxx"}) EXPECT_FALSE(g.root.exists(std::string("Game/Cache/") + f));

    // Only separators left selected: nothing happens, a count of 0.
    g.dialogs.shown.clear();
    g.select({0});
    CacheLine separator;
    separator.kind = CacheLine::Kind::Separator;
    FormAccess::appendLine(form, separator);
    ui(form).ListBoxCache->item(ui(form).ListBoxCache->count() - 1)->setSelected(true);
    ui(form).miDeleteCacheEntry->trigger();
    EXPECT_EQ(form.statusText(), "Removed 0 cache entries.");
    EXPECT_TRUE(g.dialogs.shown.empty());
}

}  // namespace
}  // namespace qm::test
