// Extraction without a window: the four-button rule, destinations, and the
// failures decided by the code of the failed move.
#include "core/extraction.h"

#include <gtest/gtest.h>

#include "core/error.h"
#include "support/cache_site.h"
#include "support/faulty_fs.h"
#include "support/scripted_dialogs.h"

namespace qm::test {
namespace {

TEST(FourButtonRule, AnswersAndWhatTheyLeaveForTheNextEntry) {
    struct Case {
        bool yesToAll, noToAll;  // before
        DlgButton answer;
        bool asked, goesOn, yesToAllAfter, noToAllAfter;
    } cases[] = {
        {false, false, DlgButton::Yes, true, true, false, false},
        {false, false, DlgButton::YesToAll, true, true, true, false},
        {false, false, DlgButton::No, true, false, false, false},
        {false, false, DlgButton::NoToAll, true, false, false, true},
        {false, false, DlgButton::None, true, false, false, false},  // closed without an answer
        {true, false, DlgButton::No, false, true, true, false},
        {false, true, DlgButton::Yes, false, false, false, true},
    };
    for (const Case& c : cases) {
        bool yes = c.yesToAll, no = c.noToAll, asked = false;
        bool goesOn = true;
        try {
            goOnOrSkip(yes, no, "Pkg.u", [&](const DlgButtons& buttons) {
                asked = true;
                EXPECT_EQ(buttons, (DlgButtons{DlgButton::Yes, DlgButton::No, DlgButton::NoToAll, DlgButton::YesToAll}));
                return c.answer;
            });
        } catch (const EntrySkipped& e) {
            goesOn = false;
            EXPECT_STREQ(e.what(), "Skipping file \"Pkg.u\"");
        }
        const int answer = static_cast<int>(c.answer);
        EXPECT_EQ(asked, c.asked) << answer;
        EXPECT_EQ(goesOn, c.goesOn) << answer;
        EXPECT_EQ(yes, c.yesToAllAfter) << answer;
        EXPECT_EQ(no, c.noToAllAfter) << answer;
    }
}

struct Game {
    CacheSite cache;
    GameFolder game{cache.root / "Game/", gkUT2004};
    ScriptedDialogs dialogs;
    std::vector<std::string> progress;

    ExtractionSetup setup(FileSystem& fs) {
        return {{fs, *cache.ini, cache.folder(), cache.indexPath()}, dialogs, game, "UT2004", game.dir, false,
                [this](const std::string& s) { progress.push_back(s); }};
    }
    CacheLine line(const std::string& key) {
        for (const CacheLine& l : readCacheList(*cache.fs, *cache.ini, cache.folder()).lines)
            if (l.key == key) return l;
        return {};
    }
};

TEST(ExtractEntry, MovesUnderTheRealNameAndDropsTheKey) {
    Game g;
    g.cache.root.mkdir("Game/Textures");
    g.cache.index({"K=Walls.utx", "O=Other.utx"});
    g.cache.file("K-1.uxx");
    g.cache.file("O.uxx");
    TExtractRun run;
    MutatorImportChoice import;
    const Extracted done = ExtractEntry(g.setup(*g.cache.fs), run, import, g.line("K"));
    const std::string target = g.game.dir + "Textures/Walls.utx";
    EXPECT_EQ(done.target, target);
    EXPECT_TRUE(done.leftCache);
    EXPECT_FALSE(done.importDue);
    EXPECT_EQ(readFile(target), "package K-1.uxx");
    EXPECT_FALSE(g.cache.root.exists("Game/Cache/K-1.uxx"));
    EXPECT_EQ(g.cache.keys(), std::vector<std::string>{"O"});
    EXPECT_EQ(g.progress, std::vector<std::string>{"Extracting: Walls.utx -> " + target});
}

TEST(ExtractEntry, FailedMoveIsReportedByItsCodeAndLeavesTheEntry) {
    struct Case {
        Errc code;
        const char* why;
    } cases[] = {
        {Errc::AlreadyExists, "File Already exists."},
        {Errc::AccessDenied, "Write operation failed."},
        {Errc::Other, "Write operation failed."},
    };
    for (const Case& c : cases) {
        Game g;
        g.cache.root.mkdir("Game/Maps");
        g.cache.index({"K=DM-Deck.ut2"});
        g.cache.file("K.uxx");
        FaultyFileSystem faulty(*g.cache.fs);
        faulty.code = c.code;
        faulty.failMove = {g.cache.folder() + "K.uxx"};
        TExtractRun run;
        MutatorImportChoice import;
        const std::string target = g.game.dir + "Maps/DM-Deck.ut2";
        try {
            ExtractEntry(g.setup(faulty), run, import, g.line("K"));
            ADD_FAILURE() << "no failure";
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), "Could not extract \"" + target + "\". " + c.why);
        }
        EXPECT_TRUE(g.cache.root.exists("Game/Cache/K.uxx"));
        EXPECT_FALSE(g.cache.root.exists("Game/Maps/DM-Deck.ut2"));
        EXPECT_EQ(g.cache.keys(), std::vector<std::string>{"K"});
    }
}

TEST(ExtractEntry, CopyToAFolderKeepsTheEntry) {
    Game g;
    const std::string elsewhere = g.cache.root.mkdir("Elsewhere");
    g.cache.index({"K=Walls.utx"});
    g.cache.file("K.uxx");
    TExtractRun run;
    run.TargetFolder = elsewhere;
    MutatorImportChoice import;
    const Extracted done = ExtractEntry(g.setup(*g.cache.fs), run, import, g.line("K"));
    EXPECT_FALSE(done.leftCache);
    EXPECT_EQ(readFile(elsewhere + "/Walls.utx"), "package K.uxx");
    EXPECT_TRUE(g.cache.root.exists("Game/Cache/K.uxx"));
    EXPECT_EQ(g.cache.keys(), std::vector<std::string>{"K"});
}

TEST(ExtractEntry, CodePackageAsksAndMayTurnTheImportOn) {
    Game g;
    g.cache.root.mkdir("Game/System");
    g.cache.index({"K=Mut.u"});
    g.cache.file("K.uxx");
    g.dialogs.answers = {DlgButton::Yes, DlgButton::Yes};
    TExtractRun run;
    MutatorImportChoice import{true, false};
    const Extracted done = ExtractEntry(g.setup(*g.cache.fs), run, import, g.line("K"));
    ASSERT_EQ(g.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.dialogs.shown[1].text,
              "Do you wish to import any items from the .u file (such as Mutators) into UT2004?");
    EXPECT_FALSE(import.askFirst);
    EXPECT_TRUE(import.on);
    EXPECT_TRUE(done.importDue);
}

TEST(DestinationFolder, TypeFolderOfTheModElseOfTheGame) {
    CacheSite c;
    const GameFolder game{c.root / "Game/", gkUT2004};
    c.root.mkdir("Game/Maps");
    c.root.mkdir("Game/Textures");
    c.root.mkdir("Game/Mod/Maps");
    const std::string mod = c.root / "Game/Mod/";
    EXPECT_EQ(DestinationFolder(*c.fs, game, mod, "DM-A.ut2"), mod + "Maps");
    EXPECT_EQ(DestinationFolder(*c.fs, game, mod, "T.utx"), game.dir + "Textures");
    EXPECT_EQ(DestinationFolder(*c.fs, game, game.dir, "Readme.txt"), game.dir);
}

}  // namespace
}  // namespace qm::test
