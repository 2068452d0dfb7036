// The cache list: lines, separators, missing entries, statuses and triggers.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <gtest/gtest.h>

#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {
namespace {

std::vector<std::string> lines(TFormMain& form) {
    std::vector<std::string> out;
    for (int i = 0; i < ui(form).ListBoxCache->count(); ++i) out.push_back(ui(form).ListBoxCache->item(i)->text().toStdString());
    return out;
}

std::vector<std::string> keys(TFormMain& form) {
    std::vector<std::string> out;
    for (int i = 0; i < ui(form).ListBoxCache->count(); ++i) out.push_back(FormAccess::lineKey(form, i));
    return out;
}

DateTime at(int hour, int minute, int second = 0) { return DateTime{2024, 3, 1, hour, minute, second}; }

TEST(CacheList, SeparatorsFollowTheTimesOfListedFiles) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, DateTime>> entries;  // 0 = file, 1 = missing
        std::vector<std::string> expected;                // E entry, S separator, M missing
    } cases[] = {
        {"three downloads", {{0, at(10, 0)}, {0, at(10, 3)}, {0, at(10, 9, 10)}}, {"E", "E", "S", "E"}},
        {"5:58 apart", {{0, at(10, 0)}, {0, at(10, 5, 58)}}, {"E", "E"}},
        {"6:02 apart", {{0, at(10, 0)}, {0, at(10, 6, 2)}}, {"E", "S", "E"}},
        {"backwards", {{0, at(10, 0)}, {0, at(11, 0)}, {0, at(10, 1)}}, {"E", "S", "E", "S", "E"}},
        {"missing between", {{0, at(10, 0)}, {1, {}}, {0, at(10, 30)}}, {"E", "M", "S", "E"}},
        {"missing first", {{1, {}}, {0, at(23, 0)}}, {"M", "E"}},
    };
    for (const auto& c : cases) {
        GameFixture g;
        int n = 0;
        for (const auto& [kind, time] : c.entries) {
            const std::string key = "K" + std::to_string(n), name = "File" + std::to_string(n) + ".utx";
            if (kind == 1)
                g.addMissingEntry(key, name);
            else
                g.addCacheEntry(key, name, key + ".uxx", time);
            ++n;
        }
        TFormMain& form = g.start();
        std::vector<std::string> shape;
        const auto texts = lines(form);
        const auto ks = keys(form);
        for (size_t i = 0; i < texts.size(); ++i) {
            if (texts[i] == "------------") {
                shape.push_back("S");
                EXPECT_EQ(ks[i], "") << c.what;
            } else if (texts[i].rfind("* <File Missing> * - ", 0) == 0) {
                shape.push_back("M");
                EXPECT_EQ(ks[i], "") << c.what;
            } else {
                shape.push_back("E");
                EXPECT_FALSE(ks[i].empty()) << c.what;
            }
        }
        EXPECT_EQ(shape, c.expected) << c.what;
    }
}

TEST(CacheList, LineTextsAndStatus) {
    GameFixture g;
    g.addCacheEntry("AB12", "DM-Deck17.ut2", "AB12.uxx", DateTime{2024, 11, 5, 21, 4, 7});
    g.addMissingEntry("CD34", "Gone.utx");
    g.addCacheEntry("EF56", "", "EF56.uxx", DateTime{2024, 11, 5, 21, 4, 30});
    TFormMain& form = g.start();
    // The file times come at the two-second precision of the classic file date.
    EXPECT_EQ(lines(form), (std::vector<std::string>{" 11/05/24 21:04:06 - DM-Deck17.ut2",
                                                     "* <File Missing> * - Gone.utx", " 11/05/24 21:04:30 - "}));
    EXPECT_EQ(keys(form), (std::vector<std::string>{"AB12", "", "EF56"}));
    EXPECT_EQ(form.statusText(), "Cache List refreshed 12/11/2026 2:05:09 pm - (" + g.cacheDir() + "Cache.ini)");
    EXPECT_TRUE(ui(form).lblExtractTo->text().isEmpty());
}

TEST(CacheList, NumberedVariantsAndLocateCacheFile) {
    struct Case {
        std::vector<std::string> files;
        bool listed;
        std::string located;  // "" = not found
    } cases[] = {
        {{"K-3.uxx"}, true, "K-3.uxx"},
        {{"K.uxx", "K-0.uxx"}, true, "K.uxx"},
        {{"K-0.uxx", "K-7.uxx"}, true, "K-0.uxx"},
        {{"K-100.uxx"}, true, ""},     // listed, but not a name the lookup tries
        {{"Kextra.uxx"}, true, ""},
        {{"k.UXX"}, true, "k.UXX"},    // names compare without case
        {{"K.txt"}, false, ""},
    };
    for (const auto& c : cases) {
        GameFixture g;
        g.addMissingEntry("K", "Pkg.utx");
        for (const std::string& f : c.files) setModified(g.root.write("Game/Cache/" + f), at(9, 0));
        TFormMain& form = g.start();
        ASSERT_EQ(ui(form).ListBoxCache->count(), 1) << c.files[0];
        EXPECT_EQ(FormAccess::lineKey(form, 0) == "K", c.listed) << c.files[0];
        const std::optional<std::string> located = LocateCacheFile(*g.realFs, form.CacheFolder(), "K");
        EXPECT_EQ(located.has_value(), !c.located.empty()) << c.files[0];
        if (located) {
            EXPECT_EQ(*located, g.cacheDir() + c.located) << c.files[0];
        }
    }
}

TEST(CacheList, KeysAreLiteralText) {
    GameFixture g;
    g.root.write("Game/Secret.uxx", "outside the cache");
    g.root.write("Game/Cache/Other.uxx", "another entry's file");
    g.addMissingEntry("../Secret", "Evil.u");
    g.addMissingEntry("O*", "Star.utx");
    g.addMissingEntry("Othe?", "Question.utx");
    TFormMain& form = g.start();
    EXPECT_EQ(keys(form), (std::vector<std::string>{"", "", ""}));
    for (const char* k : {"../Secret", "O*", "Othe?"}) {
        EXPECT_FALSE(LocateCacheFile(*g.realFs, form.CacheFolder(), k)) << k;
    }
}

TEST(CacheList, NoIndexAndEmptySection) {
    {
        GameFixture g;
        std::remove((g.cacheDir() + "Cache.ini").c_str());
        g.root.write("Game/Cache/K.uxx");
        TFormMain& form = g.start();
        EXPECT_EQ(ui(form).ListBoxCache->count(), 0);
        EXPECT_EQ(form.statusText(), "Cache not found - 12/11/2026 2:05:09 pm - (" + g.cacheDir() + "Cache.ini)");
        EXPECT_EQ(LookupCacheEntry(*g.realFs, *g.realIni, g.cacheDir() + "Cache.ini", "K"), "");
    }
    {
        GameFixture g;
        g.root.write("Game/Cache/Cache.ini", "[Other]\r\nK=X.utx\r\n[Cache]\r\n");
        g.root.write("Game/Cache/K.uxx");
        TFormMain& form = g.start();
        EXPECT_EQ(ui(form).ListBoxCache->count(), 0);
        EXPECT_EQ(form.statusText().rfind("Cache List refreshed ", 0), 0u) << form.statusText();
    }
}

TEST(CacheList, ValidationModeReportsAndRemovesMissingEntries) {
    GameFixture g;
    g.addCacheEntry("A", "A.utx", "A.uxx", at(10, 0));
    g.addMissingEntry("B", "B.ut2");
    g.addCacheEntry("C", "C.utx", "C.uxx", at(11, 0));
    g.addMissingEntry("D", "D.uax");
    TFormMain& form = g.start();
    std::vector<std::string> log;
    ui(form).FValidationLog = &log;
    form.RefreshCacheList(true);
    ui(form).FValidationLog = nullptr;
    EXPECT_EQ(log, (std::vector<std::string>{"File for ini entry B.ut2 (B) was missing.",
                                             "File for ini entry D.uax (D) was missing."}));
    EXPECT_EQ(g.indexKeys(), (std::vector<std::string>{"A", "C"}));
    EXPECT_EQ(keys(form), (std::vector<std::string>{"A", "", "C"}));
}

TEST(CacheList, LookupRemovesOnlyNamedKeys) {
    GameFixture g;
    g.addCacheEntry("A", "A.utx");
    g.addCacheEntry("E", "");
    const std::string index = g.cacheDir() + "Cache.ini";
    EXPECT_EQ(LookupCacheEntry(*g.realFs, *g.realIni, index, "a"), "A.utx");
    RemoveCacheEntry(*g.realFs, *g.realIni, index, "E");  // an empty name keeps its key
    RemoveCacheEntry(*g.realFs, *g.realIni, index, "A");
    EXPECT_EQ(g.indexKeys(), (std::vector<std::string>{"E"}));
}

TEST(CacheList, RebuildTriggers) {
    GameFixture g;
    g.addCacheEntry("A", "A.utx");
    g.addMod("OwnCache", {"Cache"});
    g.root.write("Game/OwnCache/Cache/Cache.ini", "[Cache]\r\nM=ModMap.ut2\r\n");
    g.root.write("Game/OwnCache/Cache/M.uxx");
    TFormMain& form = g.start();
    ASSERT_EQ(ui(form).ListBoxCache->count(), 1);

    g.addCacheEntry("B", "B.utx");
    ui(form).ButtonRefresh->click();
    EXPECT_EQ(ui(form).ListBoxCache->count(), 2) << "Refresh";

    g.addCacheEntry("C", "C.utx");
    ui(form).PageControl1->setCurrentWidget(ui(form).TabSheetMaps);
    form.show();
    ui(form).PageControl1->setCurrentWidget(ui(form).TabSheetCache);  // the page's show event
    EXPECT_EQ(ui(form).ListBoxCache->count(), 3) << "Cache page shown";

    // Picking a mod with its own index lists that index.
    ASSERT_EQ(ui(form).cmbMod->count(), 2);
    ui(form).cmbMod->setCurrentIndex(1);
    emit ui(form).cmbMod->activated(ui(form).cmbMod->currentIndex());
    EXPECT_EQ(lines(form).size(), 1u);
    EXPECT_NE(lines(form)[0].find("ModMap.ut2"), std::string::npos);
}

}  // namespace
}  // namespace qm::test
