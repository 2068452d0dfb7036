// Package compression from the content list: the pop-up item's state, the
// starts of the game's tool (recorded, and once for real with the stand-in
// tool), failed starts, and a mod's packages.
#include <QAction>
#include <QComboBox>
#include <QMenu>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/content_list.h"
#include "support/form_access.h"
#include "support/scoped_env.h"

namespace qm::test {
namespace {

const std::string kSep(1, path::kSeparator);
using Args = std::vector<std::string>;

struct MapsPage {
    explicit MapsPage(GameFixture& g) : form(openPage(g)) {}
    TFormMain& form;
};

TEST(Compression, ThePopupItemFollowsTheClicks) {
    GameFixture g(gkUT2004);
    for (const char* n : {"DM-A.ut2", "DM-B.ut2"}) addPackage(g, std::string("Maps/") + n);
    MapsPage page(g);
    TFormMain& form = page.form;
    EXPECT_FALSE(ui(form).miCompressFiles->isEnabled());
    EXPECT_EQ(ui(form).miCompressFiles->text(), "&Compress File");
    clickName(form, "DM-A.ut2");
    EXPECT_TRUE(ui(form).miCompressFiles->isEnabled());
    EXPECT_EQ(ui(form).miCompressFiles->text(), "Compress File");
    clickName(form, "DM-B.ut2", Qt::ControlModifier);
    EXPECT_TRUE(ui(form).miCompressFiles->isEnabled());
    EXPECT_EQ(ui(form).miCompressFiles->text(), "Compress File(s)");
    // A click below the last row leaves nothing selected.
    QTest::mouseClick(ui(form).ListViewMaps->viewport(), Qt::LeftButton, {},
                      QPoint(10, ui(form).ListViewMaps->viewport()->height() - 3));
    EXPECT_TRUE(ui(form).ListViewMaps->selectionModel()->selectedRows().isEmpty());
    EXPECT_FALSE(ui(form).miCompressFiles->isEnabled());
    // The keyboard changes the selection too, and the item follows it.
    ui(form).ListViewMaps->setFocus();
    ui(form).ListViewMaps->selectAll();
    EXPECT_TRUE(ui(form).miCompressFiles->isEnabled());
    EXPECT_EQ(ui(form).miCompressFiles->text(), "Compress File(s)");
    // A refill empties the selection.
    ui(form).ButtonRefreshMaps->click();
    EXPECT_FALSE(ui(form).miCompressFiles->isEnabled());
}

// Every way of asking compresses the selection, top down in the list's
// order, once per package, with the game's tool in the game's System folder.
TEST(Compression, StartsTheToolOncePerSelectedPackage) {
    const std::vector<std::pair<const char*, std::function<void(TFormMain&)>>> ways = {
        {"Enter", [](TFormMain& f) { QTest::keyClick(ui(f).ListViewMaps, Qt::Key_Return); }},
        {"ButtonCompress", [](TFormMain& f) { ui(f).ButtonCompress->click(); }},
        {"miCompressFiles", [](TFormMain& f) { ui(f).miCompressFiles->trigger(); }},
        {"miCompress", [](TFormMain& f) { ui(f).miCompress->trigger(); }},
    };
    for (const auto& [way, ask] : ways) {
        GameFixture g(gkUT2004);
        for (const char* n : {"DM-C.ut2", "DM-A.ut2", "DM-B.ut2", "DM-D.ut2"}) addPackage(g, std::string("Maps/") + n);
        MapsPage page(g);
        TFormMain& form = page.form;
        clickName(form, "DM-D.ut2");
        clickName(form, "DM-A.ut2", Qt::ControlModifier);
        clickName(form, "DM-C.ut2", Qt::ControlModifier);
        ui(form).ListViewMaps->setFocus();
        ask(form);

        const std::string maps = g.gameDir + "Maps" + kSep;
        ASSERT_EQ(g.launcher.starts.size(), 3u) << way;
        const char* order[] = {"DM-A.ut2", "DM-C.ut2", "DM-D.ut2"};
        for (size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(g.launcher.starts[i].program, g.gameDir + "System" + kSep + "ucc") << way;
            EXPECT_EQ(g.launcher.starts[i].arguments, (Args{"compress", maps + order[i]})) << way;
            EXPECT_EQ(g.launcher.starts[i].workingFolder, g.gameDir + "System") << way;
        }
        EXPECT_EQ(form.statusText(), "Compressed 3 file(s).") << way;
        EXPECT_TRUE(g.dialogs.shown.empty()) << way;
    }
}

TEST(Compression, NothingSelectedDoesNothing) {
    GameFixture g(gkUT2004);
    addPackage(g, "Maps/DM-A.ut2");
    MapsPage page(g);
    const std::string status = page.form.statusText();
    ui(page.form).ButtonCompress->click();
    ui(page.form).miCompress->trigger();
    EXPECT_TRUE(g.launcher.starts.empty());
    EXPECT_EQ(page.form.statusText(), status);
    EXPECT_TRUE(g.dialogs.shown.empty());
}

TEST(Compression, EachFailedStartShowsTheSystemsReason) {
    GameFixture g(gkUT2004);
    for (const char* n : {"DM-A.ut2", "DM-B.ut2", "DM-C.ut2"}) addPackage(g, std::string("Maps/") + n);
    MapsPage page(g);
    TFormMain& form = page.form;
    ui(form).ListViewMaps->selectAll();
    g.launcher.results = {Status::failure("The system cannot find the file specified."), Status::success(),
                          Status::failure("Access is denied.")};
    ui(form).ButtonCompress->click();
    EXPECT_EQ(g.launcher.starts.size(), 3u);  // a failure does not stop the others
    ASSERT_EQ(g.dialogs.shown.size(), 2u);
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Error);
    EXPECT_EQ(g.dialogs.shown[0].title, "Error");
    EXPECT_EQ(g.dialogs.shown[0].text, "The system cannot find the file specified.");
    EXPECT_EQ(g.dialogs.shown[0].buttons, DlgButtons{DlgButton::OK});
    EXPECT_EQ(g.dialogs.shown[1].text, "Access is denied.");
    EXPECT_EQ(form.statusText(), "Compressed 1 file(s).");
}

// A mod's packages lie in the mod's folder; the tool and its working folder
// stay the game's (the native tool when the game has one), and a path with
// blanks is one argument.
TEST(Compression, AModsPackagesWithTheGamesTool) {
    GameFixture g(gkUT2004);
    g.addMod("My Mod", {"System"});
    addPackage(g, "My Mod/Maps/DM-Mod Arena.ut2");
    addPackage(g, "Maps/DM-Game.ut2");
#ifndef _WIN32
    g.root.write("Game/System/ucc-bin", "tool");
#endif
    MapsPage page(g);
    TFormMain& form = page.form;
    const int mod = ui(form).cmbMod->findText("My Mod");
    ASSERT_GT(mod, 0);
    ui(form).cmbMod->setCurrentIndex(mod);
    emit ui(form).cmbMod->activated(mod);
    ASSERT_EQ(column(form, 0), std::vector<std::string>{"DM-Mod Arena.ut2"});
    clickName(form, "DM-Mod Arena.ut2");
    QTest::keyClick(ui(form).ListViewMaps, Qt::Key_Enter);
    ASSERT_EQ(g.launcher.starts.size(), 1u);
#ifdef _WIN32
    EXPECT_EQ(g.launcher.starts[0].program, g.gameDir + "System" + kSep + "ucc");
#else
    EXPECT_EQ(g.launcher.starts[0].program, g.gameDir + "System" + kSep + "ucc-bin");
#endif
    EXPECT_EQ(g.launcher.starts[0].arguments,
              (Args{"compress", g.gameDir + "My Mod" + kSep + "Maps" + kSep + "DM-Mod Arena.ut2"}));
    EXPECT_EQ(g.launcher.starts[0].workingFolder, g.gameDir + "System");
    EXPECT_EQ(form.statusText(), "Compressed 1 file(s).");
}

// The package's name is the one the list shows, also after an edit.
TEST(Compression, AnEditedNameIsThePackageNamed) {
    GameFixture g(gkUT2004);
    addPackage(g, "Maps/DM-Old.ut2");
    MapsPage page(g);
    TFormMain& form = page.form;
    QAbstractItemModel* m = ui(form).ListViewMaps->model();
    ASSERT_TRUE(m->setData(m->index(0, 0), "DM-New.ut2"));
    clickName(form, "DM-New.ut2");
    ui(form).ButtonCompress->click();
    ASSERT_EQ(g.launcher.starts.size(), 1u);
    EXPECT_EQ(g.launcher.starts[0].arguments, (Args{"compress", g.gameDir + "Maps" + kSep + "DM-New.ut2"}));
}

// The real start: the stand-in tool runs detached and leaves a .uz2 beside
// each package; without a tool, each package gets the system's reason.
TEST(Compression, TheStandInToolCompressesForReal) {
    ScopedEnv display("DISPLAY", nullptr);  // no terminal windows from a test
    ScopedEnv wayland("WAYLAND_DISPLAY", nullptr);
    for (bool toolThere : {true, false}) {
        GameFixture g(gkUT2004, {"Maps", "System"});
        g.services.launcher = g.real.launcher.get();
        if (toolThere) {
            std::filesystem::copy_file(QM_STAND_IN_UCC, g.game("System/ucc"));
            std::filesystem::permissions(g.game("System/ucc"), std::filesystem::perms::owner_all);
        }
        for (const char* n : {"DM-A.ut2", "DM B.ut2"}) addPackage(g, std::string("Maps/") + n, 2048);
        MapsPage page(g);
        TFormMain& form = page.form;
        ui(form).ListViewMaps->selectAll();
        ui(form).ListViewMaps->setFocus();
        QTest::keyClick(ui(form).ListViewMaps, Qt::Key_Return);
        if (toolThere) {
            EXPECT_EQ(form.statusText(), "Compressed 2 file(s).");
            EXPECT_TRUE(g.dialogs.shown.empty());
            for (const char* n : {"Maps/DM-A.ut2.uz2", "Maps/DM B.ut2.uz2"}) {
                const std::string uz2 = g.game(n);
                for (int i = 0; i < 500 && !std::filesystem::exists(uz2); ++i) QTest::qWait(20);
                EXPECT_TRUE(std::filesystem::exists(uz2)) << n;
            }
        } else {
            EXPECT_EQ(form.statusText(), "Compressed 0 file(s).");
            EXPECT_EQ(g.dialogs.texts(),
                      (std::vector<std::string>{std::strerror(ENOENT), std::strerror(ENOENT)}));
        }
    }
}

}  // namespace
}  // namespace qm::test
