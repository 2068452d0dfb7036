// Extraction on temp game folders: destinations, questions, Extract To, the
// selection rules, and the failures that must leave an entry whole.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

#include "support/faulty_fs.h"
#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {
namespace {

const std::string S(1, path::kSeparator);

std::string notFound(const std::string& name) {
    return "Selected entry \"" + name + "\" is not found in the cache folder.  You may need to validate your cache.";
}
std::string dotUQuestion(const std::string& name) {
    return "Extracting .u files can result in \"Version Mismatch\" error on some servers.  Are you sure you want to "
           "extract " +
           name + "\"?";
}
const DlgButtons kFourButtons = {DlgButton::Yes, DlgButton::No, DlgButton::NoToAll, DlgButton::YesToAll};

// The window after start-up, with the start-up's own dialogs (the first-run
// question) out of the record.
TFormMain& begin(GameFixture& g) {
    TFormMain& form = g.start();
    g.dialogs.shown.clear();
    return form;
}

bool hasKey(GameFixture& g, const std::string& key) {
    for (const auto& k : g.indexKeys())
        if (k == key) return true;
    return false;
}

// ---- destinations ----

struct DestinationCase {
    TGameKind kind;
    std::string name;
    std::string folder;  // relative to the game folder, "" = the game folder
};

class Destination : public ::testing::TestWithParam<DestinationCase> {};

TEST_P(Destination, MovesIntoTheFolderForTheTypeAndDropsKeyAndLine) {
    const DestinationCase& c = GetParam();
    GameFixture g(c.kind);
    g.addCacheEntry("OTHER", "Other.utx");
    g.addCacheEntry("K1", c.name);
    TFormMain& form = begin(g);
    const std::string target = g.gameDir + (c.folder.empty() ? "" : c.folder + S) + c.name;
    // A ".u" file gets its question first; the one-time import question is
    // not due here.
    ui(form).FAskDoUCCExportCache = false;
    ui(form).miDoUCCExportCache->setChecked(false);
    g.dialogs.answers = {DlgButton::Yes};

    g.focus(g.rowOf(c.name));
    EXPECT_EQ(ui(form).lblExtractTo->text().toStdString(), "Selected item will extract to: " + target);
    ui(form).ButtonExtract->click();

    EXPECT_EQ(readFile(target), "package K1");
    EXPECT_FALSE(g.root.exists("Game/Cache/K1.uxx"));
    EXPECT_FALSE(hasKey(g, "K1"));
    EXPECT_TRUE(hasKey(g, "OTHER"));
    EXPECT_EQ(g.rowOf(c.name), -1);
    EXPECT_EQ(g.lines().size(), 1u);
    EXPECT_EQ(form.statusText(), "Extracted 1 file(s).");
    const bool dotU = path::equalsIgnoreCase(path::extension(c.name), ".u");
    ASSERT_EQ(g.dialogs.shown.size(), dotU ? 1u : 0u);
    if (dotU) {
        EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Confirmation);
        EXPECT_EQ(g.dialogs.shown[0].text, dotUQuestion(c.name));
        EXPECT_EQ(g.dialogs.shown[0].buttons, kFourButtons);
    }
}

INSTANTIATE_TEST_SUITE_P(
    ByKindAndExtension, Destination,
    ::testing::Values(DestinationCase{gkUT2004, "DM-Deck.ut2", "Maps"},
                      DestinationCase{gkUT2004, "Anims.UKX", "Animations"},
                      DestinationCase{gkUT2004, "Shake.ifr", "ForceFeedback"},
                      DestinationCase{gkUT2004, "Song.ogg", "Music"},
                      DestinationCase{gkUT2004, "Boom.uax", "Sounds"},
                      DestinationCase{gkUT2004, "Rocks.usx", "StaticMeshes"},
                      DestinationCase{gkUT2004, "Mut.u", "System"},
                      DestinationCase{gkUT2004, "Mut.INT", "System"},
                      DestinationCase{gkUT2004, "Walls.UtX", "Textures"},
                      DestinationCase{gkUT2004, "Old.unr", ""}, DestinationCase{gkUT2004, "notes.txt", ""},
                      DestinationCase{gkUT2004, "noextension", ""},
                      DestinationCase{gkUT2003, "DM-Asbestos.ut2", "Maps"},
                      DestinationCase{gkUT, "DM-Deck16.unr", "Maps"}, DestinationCase{gkUT, "Tune.UMX", "Music"},
                      DestinationCase{gkUT, "Walls.UTX", "Textures"}, DestinationCase{gkUT, "Boom.uax", "Sounds"},
                      DestinationCase{gkUT, "New.ut2", ""}, DestinationCase{gkUT, "Code.u", ""}));

TEST(Extract, UnrealAndGenericKindsPutEverythingIntoTheContentRoot) {
    for (TGameKind kind : {gkUnreal, TGameKind(7)}) {
        GameFixture g(gkUT2004);
        g.addCacheEntry("K1", "Walls.utx");
        TFormMain& form = begin(g);
        ui(form).FGameKind = kind;
        g.focus(0);
        ui(form).ButtonExtract->click();
        EXPECT_EQ(readFile(g.gameDir + "Walls.utx"), "package K1") << int(kind);
        EXPECT_FALSE(g.root.exists("Game/Textures/Walls.utx"));
    }
}

// ---- mods and the missing-folder question ----

struct ModCase {
    std::string label;
    std::vector<std::string> modFolders;
    std::string name;
    std::vector<DlgButton> answers;
    std::string expectedFile;  // relative to the game folder; "" = stays in the cache
    std::vector<std::string> expectedDialogs;
    std::string expectedStatus;
};

class ModDestination : public ::testing::TestWithParam<ModCase> {};

std::string missingFolderQuestion(const std::string& folder) {
    return "Folder '" + folder +
           "' does not exist\nWould you like to extract to the default UT folder for this file type?";
}

TEST_P(ModDestination, FollowsTheModFolderThenTheGameFolder) {
    const ModCase& c = GetParam();
    // The game lacks StaticMeshes, so a ".usx" file has no folder anywhere.
    GameFixture g(gkUT2004, {"Maps", "Textures", "Sounds", "System"});
    g.addMod("MyMod", c.modFolders);
    g.addCacheEntry("K1", c.name);
    TFormMain& form = begin(g);
    ASSERT_EQ(ui(form).cmbMod->count(), 2);
    g.selectMod(1);
    g.dialogs.answers.assign(c.answers.begin(), c.answers.end());

    g.focus(0);
    ui(form).ButtonExtract->click();

    std::vector<std::string> expectedDialogs = c.expectedDialogs;
    for (std::string& t : expectedDialogs)
        if (t == "Q") t = missingFolderQuestion(g.gameDir + "StaticMeshes");
    EXPECT_EQ(g.dialogs.texts(), expectedDialogs);
    EXPECT_EQ(form.statusText(), c.expectedStatus);
    if (c.expectedFile.empty()) {
        EXPECT_EQ(g.root.read("Game/Cache/K1.uxx"), "package K1");
        EXPECT_TRUE(hasKey(g, "K1"));
        EXPECT_EQ(g.lines().size(), 1u);
    } else {
        EXPECT_EQ(g.root.read("Game/" + c.expectedFile), "package K1");
        EXPECT_FALSE(hasKey(g, "K1"));
        EXPECT_TRUE(g.lines().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ModDestination,
    ::testing::Values(
        ModCase{"ModFolder", {"Textures"}, "Walls.utx", {}, "MyMod/Textures/Walls.utx", {}, "Extracted 1 file(s)."},
        ModCase{"ModRoot", {}, "notes.txt", {}, "MyMod/notes.txt", {}, "Extracted 1 file(s)."},
        ModCase{"GameFolderWithoutQuestion", {}, "Boom.uax", {}, "Sounds/Boom.uax", {}, "Extracted 1 file(s)."},
        // Both folders missing ("Q": the question naming the game's folder).
        ModCase{"MissingEverywhereNo", {}, "Rocks.usx", {DlgButton::No}, "", {"Q"}, "File Skipped."},
        ModCase{"MissingEverywhereClosed", {}, "Rocks.usx", {DlgButton::None}, "", {"Q"}, "File Skipped."}),
    [](const auto& info) { return info.param.label; });

// Yes goes on to the game's folder for the type, which is missing too and
// is not created: the move fails and the entry stays whole.
TEST(ExtractMod, MissingFolderQuestionNamesTheGameFolderAndYesFailsTheWrite) {
    GameFixture g(gkUT2004, {"Maps", "System"});
    g.addMod("MyMod");
    g.addCacheEntry("K1", "Rocks.usx");
    TFormMain& form = begin(g);
    g.selectMod(1);
    g.dialogs.answers = {DlgButton::Yes, DlgButton::OK};
    g.focus(0);
    ui(form).ButtonExtract->click();
    const std::string folder = g.gameDir + "StaticMeshes";
    ASSERT_EQ(g.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.dialogs.shown[0].text, missingFolderQuestion(folder));
    EXPECT_EQ(g.dialogs.shown[0].buttons, kFourButtons);
    EXPECT_EQ(g.dialogs.shown[1].kind, DlgKind::Error);
    EXPECT_EQ(g.dialogs.shown[1].text,
              "Could not extract \"" + folder + S + "Rocks.usx\". Write operation failed.");
    EXPECT_EQ(g.root.read("Game/Cache/K1.uxx"), "package K1");
}

TEST(ExtractMod, SkipIsSilentUnlessShowAllMessages) {
    for (bool showAll : {false, true}) {
        GameFixture g(gkUT2004, {"Maps", "System"});
        g.addMod("MyMod");
        g.addCacheEntry("K1", "Rocks.usx");
        TFormMain& form = begin(g);
        g.selectMod(1);
        ui(form).miShowAllMessages->setChecked(showAll);
        g.dialogs.answers = {DlgButton::No, DlgButton::OK};
        g.focus(0);
        ui(form).ButtonExtract->click();
        ASSERT_EQ(g.dialogs.shown.size(), showAll ? 2u : 1u);
        if (showAll) {
            EXPECT_EQ(g.dialogs.shown[1].kind, DlgKind::Information);
            EXPECT_EQ(g.dialogs.shown[1].text, "Skipping file \"Rocks.usx\"");
        }
        EXPECT_EQ(form.statusText(), "File Skipped.");
        EXPECT_EQ(g.root.read("Game/Cache/K1.uxx"), "package K1");
    }
}

// ---- one action's answers: No to All and Yes to All ----

struct ToAllCase {
    std::string label;
    bool modFolderQuestion;  // the missing-folder question instead of ".u"
    DlgButton firstAnswer;
    size_t dialogs;  // shown during the first action
    int extracted;   // by the first action
};

class ToAllScope : public ::testing::TestWithParam<ToAllCase> {};

TEST_P(ToAllScope, HoldsForOneActionOnly) {
    const ToAllCase& c = GetParam();
    GameFixture g(gkUT2004, {"Maps", "System", "Textures"});
    if (c.modFolderQuestion) g.addMod("MyMod");
    const std::string ext = c.modFolderQuestion ? ".usx" : ".u";
    g.addCacheEntry("A", "A" + ext);
    g.addCacheEntry("T", "Walls.utx");
    g.addCacheEntry("B", "B" + ext);
    g.addCacheEntry("C", "C" + ext);
    TFormMain& form = begin(g);
    ui(form).FAskDoUCCExportCache = false;
    ui(form).miDoUCCExportCache->setChecked(false);
    if (c.modFolderQuestion) g.selectMod(1);
    // With No the question comes for every entry; the later ones get No too.
    g.dialogs.answers = {c.firstAnswer, DlgButton::No, DlgButton::No};
    g.select({0, 1, 2, 3});
    ui(form).ButtonExtract->click();

    ASSERT_EQ(g.dialogs.shown.size(), c.dialogs);
    // Bottom-up: the last line is asked first.
    if (!c.modFolderQuestion) {
        EXPECT_EQ(g.dialogs.shown[0].text, dotUQuestion("C.u"));
    }
    EXPECT_EQ(form.statusText(), "Extracted " + std::to_string(c.extracted) + " file(s).");
    EXPECT_FALSE(hasKey(g, "T"));
    EXPECT_EQ(hasKey(g, "C"), c.extracted == 1);

    // The next action asks again.
    g.dialogs.shown.clear();
    g.dialogs.answers = {DlgButton::No, DlgButton::No, DlgButton::No};
    std::vector<int> all;
    for (int i = 0; i < ui(form).ListBoxCache->count(); ++i) all.push_back(i);
    g.select(all);
    ui(form).ButtonExtract->click();
    EXPECT_EQ(g.dialogs.shown.size(), all.size());
}

INSTANTIATE_TEST_SUITE_P(Cases, ToAllScope,
                         ::testing::Values(ToAllCase{"DotUNoToAll", false, DlgButton::NoToAll, 1, 1},
                                           ToAllCase{"DotUYesToAll", false, DlgButton::YesToAll, 1, 4},
                                           ToAllCase{"DotUNo", false, DlgButton::No, 3, 1},
                                           ToAllCase{"FolderNoToAll", true, DlgButton::NoToAll, 1, 1},
                                           // Yes to All goes on without asking, into the
                                           // missing game folder: three write failures.
                                           ToAllCase{"FolderYesToAll", true, DlgButton::YesToAll, 4, 1},
                                           ToAllCase{"FolderNo", true, DlgButton::No, 3, 1}),
                         [](const auto& info) { return info.param.label; });

// ---- the one-time mutator-import question ----

TEST(ExtractMutatorQuestion, AskedOncePerGameEvenWhenTheEntryFails) {
    for (DlgButton answer : {DlgButton::Yes, DlgButton::No}) {
        GameFixture g(gkUT2004);
        const std::string gone = g.addCacheEntry("GONE", "Gone.u");
        g.addCacheEntry("MUT", "Mut.u");
        TFormMain& form = begin(g);
        ui(form).FAskDoUCCExportCache = true;
        ui(form).miDoUCCExportCache->setChecked(answer == DlgButton::No);
        // The line carries its key, but the file went after the list was built.
        ASSERT_EQ(std::remove(gone.c_str()), 0);

        g.dialogs.answers = {DlgButton::Yes, answer, DlgButton::OK};
        g.focus(g.rowOf("Gone.u"));
        ui(form).ButtonExtract->click();
        ASSERT_EQ(g.dialogs.shown.size(), 3u);
        EXPECT_EQ(g.dialogs.shown[1].text,
                  "Do you wish to import any items from the .u file (such as Mutators) into UT2004?");
        EXPECT_EQ(g.dialogs.shown[1].buttons, (DlgButtons{DlgButton::Yes, DlgButton::No}));
        EXPECT_EQ(g.dialogs.shown[2].text, notFound("Gone.u"));
        EXPECT_FALSE(ui(form).FAskDoUCCExportCache);
        EXPECT_EQ(ui(form).miDoUCCExportCache->isChecked(), answer == DlgButton::Yes);

        // The next ".u" entry gets only its own question (the import itself
        // is not under test here).
        ui(form).miDoUCCExportCache->setChecked(false);
        g.dialogs.shown.clear();
        g.dialogs.answers = {DlgButton::Yes};
        g.focus(g.rowOf("Mut.u"));
        ui(form).ButtonExtract->click();
        ASSERT_EQ(g.dialogs.shown.size(), 1u);
        EXPECT_EQ(g.dialogs.shown[0].text, dotUQuestion("Mut.u"));
        EXPECT_EQ(form.statusText(), "Extracted 1 file(s).");
    }
}

TEST(ExtractMutatorQuestion, NotAskedForOtherKindsOrAfterNoToTheDotUQuestion) {
    {
        GameFixture g(gkUT);
        g.addCacheEntry("MUT", "Mut.u");
        TFormMain& form = begin(g);
        ui(form).FAskDoUCCExportCache = true;
        g.dialogs.answers = {DlgButton::Yes};
        g.focus(0);
        ui(form).ButtonExtract->click();
        EXPECT_EQ(g.dialogs.shown.size(), 1u);
        EXPECT_TRUE(ui(form).FAskDoUCCExportCache);
    }
    {
        GameFixture g(gkUT2004);
        g.addCacheEntry("MUT", "Mut.u");
        TFormMain& form = begin(g);
        ui(form).FAskDoUCCExportCache = true;
        g.dialogs.answers = {DlgButton::No};
        g.focus(0);
        ui(form).ButtonExtract->click();
        EXPECT_EQ(g.dialogs.shown.size(), 1u);
        EXPECT_TRUE(ui(form).FAskDoUCCExportCache);
        EXPECT_EQ(form.statusText(), "File Skipped.");
    }
}

// ---- single mode: the focused line ----

TEST(ExtractSingle, ActsOnTheFocusedLineEvenWhenAnotherIsSelected) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("A", "A.utx");
    g.addCacheEntry("B", "B.utx");
    TFormMain& form = begin(g);
    g.select({0});
    g.focus(1);
    ui(form).ButtonExtract->click();
    EXPECT_TRUE(g.root.exists("Game/Textures/B.utx"));
    EXPECT_FALSE(g.root.exists("Game/Textures/A.utx"));
    EXPECT_EQ(form.statusText(), "Extracted 1 file(s).");
}

TEST(ExtractSingle, NothingToActOn) {
    GameFixture empty(gkUT2004);
    TFormMain& f1 = begin(empty);
    ui(f1).ButtonExtract->click();
    EXPECT_EQ(f1.statusText(), "Please select a file to extract.");

    GameFixture g(gkUT2004);
    g.addCacheEntry("A", "A.utx");
    TFormMain& form = begin(g);
    g.focus(-1);
    ui(form).miGo->trigger();
    EXPECT_EQ(form.statusText(), "Please select a file to extract.");
    EXPECT_TRUE(g.dialogs.shown.empty());
    EXPECT_TRUE(g.root.exists("Game/Cache/A.uxx"));
}

TEST(ExtractSingle, SeparatorAndMissingLines) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("A", "A.utx", "A.uxx", {2024, 3, 1, 10, 0, 0});
    g.addCacheEntry("B", "B.utx", "B.uxx", {2024, 3, 1, 11, 0, 0});
    g.addMissingEntry("GONE", "Gone.utx");
    TFormMain& form = begin(g);
    ASSERT_EQ(g.lines().size(), 4u);

    g.focus(1);  // the separator
    ui(form).ButtonExtract->click();
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Warning);
    EXPECT_EQ(g.dialogs.shown[0].text,
              "The dashed lines are separators to help identify which cache items were downloaded for a given file.  "
              "You can't extract them");

    g.dialogs.shown.clear();
    g.focus(g.rowOf("Gone.utx"));
    ui(form).ButtonExtract->click();
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Error);
    EXPECT_EQ(g.dialogs.shown[0].text, notFound("Gone.utx"));
    EXPECT_EQ(form.statusText(), "Error extracting file.");
    EXPECT_EQ(g.lines().size(), 4u);
    EXPECT_TRUE(hasKey(g, "GONE"));
}

// ---- multiple mode ----

TEST(ExtractMultiple, BottomUpPassingSeparatorsAndReportingMissingLines) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("A", "A.utx", "A.uxx", {2024, 3, 1, 10, 0, 0});
    g.addCacheEntry("B", "B.ut2", "B.uxx", {2024, 3, 1, 10, 1, 0});
    g.addCacheEntry("C", "C.uax", "C.uxx", {2024, 3, 1, 10, 30, 0});
    g.addMissingEntry("D", "D.utx");
    g.addCacheEntry("E", "E.ogg", "E.uxx", {2024, 3, 1, 10, 31, 0});
    g.addCacheEntry("F", "F.utx", "F.uxx", {2024, 3, 1, 10, 32, 0});
    TFormMain& form = begin(g);
    const std::vector<std::string> before = g.lines();
    ASSERT_EQ(before.size(), 7u);
    ASSERT_EQ(before[2], kSeparatorLine);
    // F stays unselected; everything else, separator included, is selected.
    g.select({0, 1, 2, 3, 4, 5});
    g.dialogs.answers = {DlgButton::OK};
    ui(form).ButtonExtract->click();

    EXPECT_EQ(g.dialogs.texts(), std::vector<std::string>{notFound("D.utx")});
    EXPECT_EQ(form.statusText(), "Extracted 4 file(s).");
    EXPECT_EQ(g.lines(), (std::vector<std::string>{kSeparatorLine, before[4], before[6]}));
    EXPECT_EQ(g.indexKeys(), (std::vector<std::string>{"D", "F"}));
    for (const char* f : {"Textures/A.utx", "Maps/B.ut2", "Sounds/C.uax", "Music/E.ogg"})
        EXPECT_TRUE(g.root.exists(std::string("Game/") + f)) << f;
}

TEST(ExtractMultiple, OnlySeparatorsSelectedCountsNothing) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("A", "A.utx", "A.uxx", {2024, 3, 1, 10, 0, 0});
    g.addCacheEntry("B", "B.utx", "B.uxx", {2024, 3, 1, 10, 10, 0});
    g.addCacheEntry("C", "C.utx", "C.uxx", {2024, 3, 1, 10, 20, 0});
    TFormMain& form = begin(g);
    ASSERT_EQ(g.lines().size(), 5u);
    g.select({1, 3});
    ui(form).ButtonExtract->click();
    EXPECT_EQ(form.statusText(), "Extracted 0 file(s).");
    EXPECT_TRUE(g.dialogs.shown.empty());
    EXPECT_EQ(g.lines().size(), 5u);
}

// ---- Extract To ----

TEST(ExtractTo, CopiesAndKeepsTheEntryThenRefusesASecondCopy) {
    for (const std::string& tail : {std::string(), S}) {
        GameFixture g(gkUT2004);
        g.addCacheEntry("A", "A.utx");
        TFormMain& form = begin(g);
        const std::string out = g.root.mkdir("Out");
        g.dialogs.folders = {out + tail, out + tail};
        g.focus(0);
        ui(form).miExtractTo->trigger();
        EXPECT_EQ(readFile(out + S + "A.utx"), "package A");
        EXPECT_EQ(form.statusText(), "Extracted 1 file(s).");
        EXPECT_EQ(g.root.read("Game/Cache/A.uxx"), "package A");
        EXPECT_TRUE(hasKey(g, "A"));
        EXPECT_EQ(g.lines().size(), 1u);
        EXPECT_FALSE(g.root.exists("Game/Textures/A.utx"));

        g.dialogs.answers = {DlgButton::OK};
        ui(form).miExtractTo->trigger();
        ASSERT_EQ(g.dialogs.shown.size(), 3u);  // select, select, error
        EXPECT_EQ(g.dialogs.shown[2].text, "Could not extract \"" + out + S + "A.utx\". File Already exists.");
        EXPECT_EQ(form.statusText(), "Error extracting file.");
    }
}

TEST(ExtractTo, CancelledInBothModesMovesNothing) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("A", "A.utx");
    g.addCacheEntry("B", "B.utx");
    TFormMain& form = begin(g);
    for (bool multiple : {false, true}) {
        if (multiple) g.select({0, 1});
        g.focus(0);
        g.dialogs.folders = {std::nullopt};
        ui(form).miExtractTo->trigger();
        EXPECT_EQ(form.statusText(), "Action Cancelled");
        EXPECT_EQ(g.lines().size(), 2u);
        EXPECT_TRUE(g.root.exists("Game/Cache/A.uxx"));
        EXPECT_TRUE(g.root.exists("Game/Cache/B.uxx"));
    }
}

TEST(ExtractTo, RootFolderJoinsWithOneSeparator) {
    // The copy into the root is refused by the wrapper; the failure text
    // shows the target that would have been written.
    GameFixture g(gkUT2004);
    FaultyFileSystem faulty(*g.realFs);
    faulty.failWhen = [](const std::string& op, const std::string& p) { return op == "copy" && p == "/A.utx"; };
    g.useFileSystem(&faulty);
    g.addCacheEntry("A", "A.utx");
    TFormMain& form = begin(g);
    g.dialogs.folders = {std::string(1, path::kSeparator)};
    g.dialogs.answers = {DlgButton::OK};
    g.focus(0);
    ui(form).miExtractTo->trigger();
    ASSERT_EQ(g.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.dialogs.shown[1].text, "Could not extract \"" + S + "A.utx\". Write operation failed.");
    EXPECT_TRUE(g.root.exists("Game/Cache/A.uxx"));
}

// ---- failures that leave the entry whole ----

struct KeptCase {
    std::string label;
    std::function<void(GameFixture&, FaultyFileSystem&)> arrange;
    std::string expected;  // the error text; "%T" stands for the target path
};

class EntryKeptWhole : public ::testing::TestWithParam<KeptCase> {};

TEST_P(EntryKeptWhole, OnFailure) {
    const KeptCase& c = GetParam();
    GameFixture g(gkUT2004);
    FaultyFileSystem faulty(*g.realFs);
    g.useFileSystem(&faulty);
    g.addCacheEntry("A", "DM-Deck.ut2");
    const std::string target = g.gameDir + "Maps" + S + "DM-Deck.ut2";
    c.arrange(g, faulty);
    TFormMain& form = begin(g);
    g.dialogs.answers = {DlgButton::OK};
    g.focus(0);
    ui(form).ButtonExtract->click();

    std::string expected = c.expected;
    expected.replace(expected.find("%T"), 2, target);
    EXPECT_EQ(g.dialogs.texts(), std::vector<std::string>{expected});
    EXPECT_EQ(form.statusText(), "Error extracting file.");
    EXPECT_EQ(g.root.read("Game/Cache/A.uxx"), "package A");
    EXPECT_TRUE(hasKey(g, "A"));
    EXPECT_EQ(g.lines().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EntryKeptWhole,
    ::testing::Values(
        KeptCase{"TargetExists",
                 [](GameFixture& g, FaultyFileSystem&) { g.root.write("Game/Maps/DM-Deck.ut2", "mine"); },
                 "Could not extract \"%T\". File Already exists."},
        KeptCase{"TargetExistsOtherCase",
                 [](GameFixture& g, FaultyFileSystem&) { g.root.write("Game/Maps/dm-deck.UT2", "mine"); },
                 "Could not extract \"%T\". File Already exists."},
        KeptCase{"AppearsBeforeTheMove",
                 [](GameFixture& g, FaultyFileSystem& f) {
                     f.appearBeforeTransfer.insert(g.gameDir + "Maps" + S + "DM-Deck.ut2");
                 },
                 "Could not extract \"%T\". File Already exists."},
        KeptCase{"MoveFails",
                 [](GameFixture&, FaultyFileSystem& f) {
                     f.failWhen = [](const std::string& op, const std::string&) { return op == "move"; };
                 },
                 "Could not extract \"%T\". Write operation failed."}),
    [](const auto& info) { return info.param.label; });

TEST(ExtractFailures, ExistingAndRacedTargetsKeepTheirContent) {
    GameFixture g(gkUT2004);
    FaultyFileSystem faulty(*g.realFs);
    g.useFileSystem(&faulty);
    g.addCacheEntry("A", "DM-Deck.ut2");
    g.addCacheEntry("B", "DM-Raced.ut2");
    g.root.write("Game/Maps/DM-Deck.ut2", "mine");
    faulty.appearBeforeTransfer.insert(g.gameDir + "Maps" + S + "DM-Raced.ut2");
    TFormMain& form = begin(g);
    g.select({0, 1});
    g.dialogs.answers = {DlgButton::OK, DlgButton::OK};
    ui(form).ButtonExtract->click();
    EXPECT_EQ(g.root.read("Game/Maps/DM-Deck.ut2"), "mine");
    EXPECT_EQ(g.root.read("Game/Maps/DM-Raced.ut2"), "raced");
    EXPECT_EQ(g.root.read("Game/Cache/A.uxx"), "package A");
    EXPECT_EQ(g.root.read("Game/Cache/B.uxx"), "package B");
    EXPECT_EQ(form.statusText(), "Extracted 0 file(s).");
}

// ---- unsafe text from Cache.ini ----

TEST(ExtractUnsafe, RealNamesThatAreNotPlainFileNamesAreRefused) {
    for (const std::string& name :
         {std::string("../Evil.ut2"), std::string("..\\Evil.ut2"), std::string("Sub/Evil.utx"), std::string(".."),
          std::string("C:Evil.u"), std::string("Tab\tEvil.utx"), std::string("")}) {
        GameFixture g(gkUT2004);
        g.addCacheEntry("A", name);
        TFormMain& form = begin(g);
        g.dialogs.answers = {DlgButton::OK};
        g.focus(0);
        ui(form).ButtonExtract->click();
        EXPECT_EQ(g.dialogs.texts(),
                  std::vector<std::string>{"Could not extract \"" + name +
                                           "\". The file name in Cache.ini is not a plain file name."})
            << name;
        EXPECT_EQ(g.root.read("Game/Cache/A.uxx"), "package A") << name;
        EXPECT_FALSE(g.root.exists("Game/Evil.ut2"));
        EXPECT_FALSE(g.root.exists("Evil.ut2"));
        EXPECT_TRUE(hasKey(g, "A"));
    }
}

TEST(ExtractUnsafe, KeysAreLiteralNamesInsideTheCacheFolder) {
    struct Case {
        std::string key;
        std::string file;  // relative to the game folder
    } cases[] = {
        {"../Outside", "Outside.uxx"},   // a file beside the cache folder
        {"K*", "Cache/Kabc.uxx"},        // a wildcard matches only itself
        {"K?", "Cache/K1.uxx"},
    };
    for (const Case& c : cases) {
        GameFixture g(gkUT2004);
        g.addCacheEntry(c.key, "Walls.utx", "");
        g.root.write("Game/" + c.file, "other");
        TFormMain& form = begin(g);
        // The list test is the cache list's business; make sure a line with
        // the key exists whatever it decided.
        if (g.rowOf("Walls.utx") < 0 || FormAccess::lineKey(form, g.rowOf("Walls.utx")).empty()) {
            CacheLine line;
            line.key = c.key;
            line.realName = "Walls.utx";
            line.time = {2024, 3, 1, 10, 0, 0};
            FormAccess::appendLine(form, line);
        }
        g.dialogs.answers = {DlgButton::OK};
        g.focus(ui(form).ListBoxCache->count() - 1);
        ASSERT_EQ(FormAccess::lineKey(form, ui(form).ListBoxCache->currentRow()), c.key);
        ui(form).ButtonExtract->click();
        EXPECT_EQ(g.dialogs.texts(), std::vector<std::string>{notFound("Walls.utx")}) << c.key;
        EXPECT_EQ(g.root.read("Game/" + c.file), "other") << c.key;
        EXPECT_FALSE(g.root.exists("Game/Textures/Walls.utx")) << c.key;
    }
}

// ---- the busy rule ----

TEST(ExtractBusy, ASecondStartWhileRunningDoesNothing) {
    GameFixture g(gkUT2004);
    g.addCacheEntry("B", "B.utx");
    g.addCacheEntry("A", "A.u");  // last, so its question comes first
    TFormMain& form = begin(g);
    ui(form).FAskDoUCCExportCache = false;
    ui(form).miDoUCCExportCache->setChecked(false);
    // The ".u" question is modal; a click that arrives while it is open
    // must not start a second extraction over the same lines.
    g.dialogs.answers = {DlgButton::Yes};
    g.select({0, 1});
    QMetaObject::invokeMethod(
        &form, [&] { ui(form).ButtonExtract->click(); }, Qt::QueuedConnection);
    ui(form).ButtonExtract->click();
    QCoreApplication::processEvents();
    EXPECT_EQ(form.statusText(), "Extracted 2 file(s).");
    EXPECT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_TRUE(g.root.exists("Game/System/A.u"));
    EXPECT_TRUE(g.root.exists("Game/Textures/B.utx"));
    EXPECT_TRUE(g.lines().empty());
}

}  // namespace
}  // namespace qm::test
