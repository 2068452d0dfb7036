// The content pages: the shared list moved onto the page in front, its
// masks, columns and texts, the header clicks and their marks, an edit of a
// name, a change of mod, and the status line.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <filesystem>
#include <gtest/gtest.h>

#include "support/content_list.h"
#include "support/form_access.h"

namespace qm::test {
namespace {

const std::string kSep(1, path::kSeparator);
using Names = std::vector<std::string>;

TEST(ContentPages, FirstVisitListsThePageSortedByName) {
    GameFixture g(gkUT2004);
    addPackage(g, "Maps/DM-B.ut2", 10240, {2004, 3, 15, 21, 5, 7});
    addPackage(g, "Maps/dm-a.ut2", 2048);
    addPackage(g, "Maps/CTF-C.ut2", 1588);
    addPackage(g, "Maps/.Hidden.ut2", 1);
    g.root.mkdir("Game/Maps/Folder.ut2");
    addPackage(g, "Maps/ReadMe.txt");
    addPackage(g, "Textures/Tex.utx");
    TFormMain& form = openPage(g);

    ASSERT_TRUE(ui(form).TabSheetMaps->isAncestorOf(ui(form).ListViewMaps));
    EXPECT_TRUE(ui(form).TabSheetMaps->isAncestorOf(ui(form).PanelCompressCommand));
    EXPECT_TRUE(ui(form).ListViewMaps->isVisible());
    // Hidden entries and matching folders are listed too, the rest not.
    Names names = column(form, 0);
    EXPECT_EQ(names.size(), 5u);
    EXPECT_NE(rowOfName(form, ".Hidden.ut2"), -1);
    EXPECT_NE(rowOfName(form, "Folder.ut2"), -1);
    names.erase(std::remove_if(names.begin(), names.end(),
                               [](const std::string& n) { return n == ".Hidden.ut2" || n == "Folder.ut2"; }),
                names.end());
    EXPECT_EQ(names, (Names{"CTF-C.ut2", "dm-a.ut2", "DM-B.ut2"}));  // case is ignored

    const int b = rowOfName(form, "DM-B.ut2");
    EXPECT_EQ(column(form, 1)[b], "03/15/2004 09:05:06 pm");
    EXPECT_EQ(column(form, 2)[b], "10.0 KB");
    EXPECT_EQ(column(form, 2)[rowOfName(form, "CTF-C.ut2")], "1.6 KB");
    EXPECT_EQ(column(form, 2)[rowOfName(form, "Folder.ut2")], "0.0 KB");
    EXPECT_EQ(column(form, 3)[b], g.gameDir + "Maps" + kSep);

    EXPECT_EQ(marks(form), (Names{"up", "", "", ""}));
    EXPECT_FALSE(ui(form).ListViewMaps->header()->isSortIndicatorShown());
    EXPECT_EQ(form.statusText(), "Maps List refreshed 12/11/2026 2:05:09 pm (" + g.gameDir + "Maps)");
    EXPECT_EQ(ui(form).MenuMaps->title(), "Maps");
    EXPECT_TRUE(ui(form).MenuMaps->menuAction()->isVisible());
    EXPECT_FALSE(ui(form).MenuCache->menuAction()->isVisible());
    EXPECT_TRUE(g.dialogs.shown.empty());
}

// The header as painted: the grey triangle right of the sort column's
// caption, pointing up or down, and in no other section.
TEST(ContentPages, TheSortColumnShowsItsArrowRightOfTheCaption) {
    GameFixture g(gkUT2004);
    addPackage(g, "Maps/DM-A.ut2");
    TFormMain& form = openPage(g);
    const QColor grey(172, 168, 153);
    auto greyPixels = [&](const QRect& area) {
        const QImage shot = header(form)->grab().toImage();
        int n = 0;
        for (int y = area.top(); y <= area.bottom(); ++y)
            for (int x = area.left(); x <= area.right(); ++x)
                if (QRect(QPoint(), shot.size()).contains(x, y) && shot.pixelColor(x, y) == grey) ++n;
        return n;
    };
    auto section = [&](int i) {
        QHeaderView* h = header(form);
        return QRect(h->sectionViewportPosition(i), 0, h->sectionSize(i), h->height());
    };
    for (int sortColumn : {0, 2}) {
        if (sortColumn == 2) clickHeader(form, 2);
        const QRect mark = header(form)->markRect(sortColumn);
        ASSERT_FALSE(mark.isEmpty());
        // Right of the caption's text, inside its own section.
        const QString caption = ui(form).ListViewMaps->model()->headerData(sortColumn, Qt::Horizontal).toString();
        EXPECT_GT(mark.left(), section(sortColumn).left() + header(form)->fontMetrics().horizontalAdvance(caption));
        EXPECT_TRUE(section(sortColumn).contains(mark));
        EXPECT_GT(greyPixels(mark), 10) << sortColumn;
        for (int other = 0; other < 4; ++other) {
            if (other == sortColumn) continue;
            EXPECT_EQ(greyPixels(section(other)), 0) << other;
        }
    }
    // Up: the triangle's top row is narrower than its bottom row.
    auto widthAt = [&](int y) {
        const QImage shot = header(form)->grab().toImage();
        int n = 0;
        for (int x = 0; x < shot.width(); ++x) n += shot.pixelColor(x, y) == grey;
        return n;
    };
    auto rowsOfMark = [&] {
        const QRect m = header(form)->markRect(2);
        std::vector<int> w;
        for (int y = m.top(); y <= m.bottom(); ++y)
            if (int n = widthAt(y)) w.push_back(n);
        return w;
    };
    std::vector<int> up = rowsOfMark();
    ASSERT_GE(up.size(), 3u);
    EXPECT_LT(up.front(), up.back());
    clickHeader(form, 2);
    std::vector<int> down = rowsOfMark();
    ASSERT_GE(down.size(), 3u);
    EXPECT_GT(down.front(), down.back());
}

TEST(ContentPages, HeaderClicksSortAndReverse) {
    GameFixture g(gkUT2004);
    addPackage(g, "Maps/A-Ten.ut2", 10240, {2024, 1, 1, 13, 0, 0});
    addPackage(g, "Maps/B-Two.ut2", 2048, {2024, 1, 1, 11, 0, 0});
    addPackage(g, "Maps/C-Big.ut2", 102400, {2023, 12, 31, 23, 59, 58});
    TFormMain& form = openPage(g);

    struct Step {
        int click;
        Names order;
        Names marks;
    } steps[] = {
        {2, {"B-Two.ut2", "A-Ten.ut2", "C-Big.ut2"}, {"", "", "up", ""}},    // 2.0 KB before 10.0 KB
        {2, {"C-Big.ut2", "A-Ten.ut2", "B-Two.ut2"}, {"", "", "down", ""}},  // the second click reverses
        {0, {"A-Ten.ut2", "B-Two.ut2", "C-Big.ut2"}, {"up", "", "", ""}},    // another column: ascending
        {1, {"C-Big.ut2", "B-Two.ut2", "A-Ten.ut2"}, {"", "up", "", ""}},    // by time, pm after am
        {1, {"A-Ten.ut2", "B-Two.ut2", "C-Big.ut2"}, {"", "down", "", ""}},
    };
    for (const Step& s : steps) {
        clickHeader(form, s.click);
        EXPECT_EQ(column(form, 0), s.order) << s.click;
        EXPECT_EQ(marks(form), s.marks) << s.click;
        EXPECT_EQ(ui(form).FSortColumn, s.click);
    }
    EXPECT_TRUE(ui(form).FSortDescending);
    EXPECT_TRUE(g.dialogs.shown.empty());
}

// Equal shown values keep the order they had: a re-sort by a column where
// all rows agree changes nothing.
TEST(ContentPages, EqualValuesKeepTheirOrder) {
    GameFixture g(gkUT2004);
    for (const char* n : {"Delta.ut2", "alpha.ut2", "Charlie.ut2", "bravo.ut2"}) addPackage(g, std::string("Maps/") + n, 1588);
    addPackage(g, "Maps/Echo.ut2", 1600);  // shows as 1.6 KB as well
    TFormMain& form = openPage(g);
    const Names byName{"alpha.ut2", "bravo.ut2", "Charlie.ut2", "Delta.ut2", "Echo.ut2"};
    EXPECT_EQ(column(form, 0), byName);
    clickHeader(form, 2);  // Size: all "1.6 KB"
    EXPECT_EQ(column(form, 0), byName);
    clickHeader(form, 2);  // descending: still all equal
    EXPECT_EQ(column(form, 0), byName);
    clickHeader(form, 3);  // Path: one folder
    EXPECT_EQ(column(form, 0), byName);
}

TEST(ContentPages, MasksByGameKind) {
    struct Case {
        TGameKind kind;
        QWidget* FormView::*page;
        Names listed;
    } cases[] = {
        {gkUT2004, &FormView::TabSheetMusic, {"Song.ogg"}},
        {gkUT, &FormView::TabSheetMusic, {"Song.umx"}},
        {gkUT2004, &FormView::TabSheetMaps, {"DM-New.ut2"}},
        {gkUT, &FormView::TabSheetMaps, {"DM-Old.unr"}},
        {gkUT2003, &FormView::TabSheetStaticMeshes, {"Mesh.usx"}},
        {gkUT2004, &FormView::TabSheetAnimations, {"Anim.ukx"}},
        {gkUT2004, &FormView::TabSheetSounds, {"Sound.uax"}},
        {gkUT, &FormView::TabSheetTextures, {"Tex.utx"}},
    };
    for (const auto& c : cases) {
        GameFixture g(c.kind, {"Maps", "Music", "Sounds", "Textures", "StaticMeshes", "Animations"});
        for (const char* f : {"Music/Song.ogg", "Music/Song.umx", "Maps/DM-New.ut2", "Maps/DM-Old.unr",
                              "StaticMeshes/Mesh.usx", "Animations/Anim.ukx", "Sounds/Sound.uax", "Textures/Tex.utx"})
            addPackage(g, f);
        TFormMain& form = openPage(g, c.page);
        EXPECT_EQ(column(form, 0), c.listed) << int(c.kind) << " " << ui(form).MenuMaps->title().toStdString();
    }
}

// A kind without masks lists nothing on any page, and still reports.
TEST(ContentPages, AnUnrealGameListsNothingButReports) {
    GameFixture g(gkUT2004);
    addPackage(g, "Maps/DM-A.ut2");
    TFormMain& form = g.start();
    g.dialogs.shown.clear();  // the start-up questions
    form.show();
    ui(form).FGameKind = gkUnreal;
    for (QWidget* page : {ui(form).TabSheetMaps, ui(form).TabSheetTextures, ui(form).TabSheetAnimations}) {
        clickTab(form, page);
        const std::string caption = form.pageCaption(page);
        EXPECT_EQ(ui(form).ListViewMaps->model()->rowCount(), 0) << caption;
        EXPECT_EQ(form.statusText(),
                  caption + " List refreshed 12/11/2026 2:05:09 pm (" + g.gameDir + caption + ")");
    }
    EXPECT_TRUE(g.dialogs.shown.empty());
}

TEST(ContentPages, AMissingFolderGivesAnEmptyList) {
    GameFixture g(gkUT2004, {"Maps"});
    addPackage(g, "Maps/DM-A.ut2");
    TFormMain& form = openPage(g);
    EXPECT_EQ(ui(form).ListViewMaps->model()->rowCount(), 1);
    clickTab(form, ui(form).TabSheetAnimations);
    EXPECT_EQ(ui(form).ListViewMaps->model()->rowCount(), 0);
    EXPECT_EQ(form.statusText(), "Animations List refreshed 12/11/2026 2:05:09 pm (" + g.gameDir + "Animations)");
    EXPECT_TRUE(ui(form).TabSheetAnimations->isAncestorOf(ui(form).ListViewMaps));
    EXPECT_TRUE(g.dialogs.shown.empty());
}

// The sort state belongs to the window: another page, the Cache page in
// between and another mod keep it.
TEST(ContentPages, SortStateCarriesAcrossPagesAndMods) {
    GameFixture g(gkUT2004);
    g.addMod("MyMod", {"Textures"});
    addPackage(g, "Maps/Small.ut2", 1024);
    addPackage(g, "Maps/Large.ut2", 4096);
    addPackage(g, "Textures/Small.utx", 1024);
    addPackage(g, "Textures/Large.utx", 4096);
    addPackage(g, "MyMod/Textures/ModSmall.utx", 1024);
    addPackage(g, "MyMod/Textures/ModLarge.utx", 4096);
    TFormMain& form = openPage(g);
    clickHeader(form, 2);
    clickHeader(form, 2);
    EXPECT_EQ(column(form, 0), (Names{"Large.ut2", "Small.ut2"}));
    clickTab(form, ui(form).TabSheetCache);
    clickTab(form, ui(form).TabSheetTextures);
    EXPECT_EQ(column(form, 0), (Names{"Large.utx", "Small.utx"}));
    EXPECT_EQ(marks(form), (Names{"", "", "down", ""}));
    EXPECT_EQ(ui(form).MenuMaps->title(), "Textures");

    // The user picks the mod while Textures is in front.
    const int mod = ui(form).cmbMod->findText("MyMod");
    ASSERT_GT(mod, 0);
    ui(form).cmbMod->setCurrentIndex(mod);
    emit ui(form).cmbMod->activated(mod);
    EXPECT_EQ(column(form, 0), (Names{"ModLarge.utx", "ModSmall.utx"}));
    EXPECT_EQ(column(form, 3)[0], g.gameDir + "MyMod" + kSep + "Textures" + kSep);
    EXPECT_EQ(form.statusText(),
              "Textures List refreshed 12/11/2026 2:05:09 pm (" + g.gameDir + "MyMod" + kSep + "Textures)");
    EXPECT_EQ(marks(form), (Names{"", "", "down", ""}));
    EXPECT_EQ(ui(form).FSortColumn, 2);
    EXPECT_TRUE(ui(form).FSortDescending);
}

TEST(ContentPages, RefreshShowsFilesAddedSince) {
    GameFixture g(gkUT2004);
    addPackage(g, "Maps/DM-A.ut2");
    TFormMain& form = openPage(g);
    addPackage(g, "Maps/DM-0.ut2");
    std::filesystem::remove(g.game("Maps/DM-A.ut2"));
    EXPECT_EQ(column(form, 0), Names{"DM-A.ut2"});  // not before the next refill
    g.clock.time = {2026, 12, 11, 0, 1, 2};
    ui(form).ButtonRefreshMaps->click();
    EXPECT_EQ(column(form, 0), Names{"DM-0.ut2"});
    EXPECT_EQ(form.statusText(), "Maps List refreshed 12/11/2026 12:01:02 am (" + g.gameDir + "Maps)");
}

// F2 edits the name in place; Enter ends the edit (and starts nothing); only
// the text changes, the file keeps its name, and the list stays sorted.
TEST(ContentPages, AnEditedNameTakesItsPlaceInTheOrder) {
    GameFixture g(gkUT2004);
    for (const char* n : {"DM-A.ut2", "DM-M.ut2", "DM-Z.ut2"}) addPackage(g, std::string("Maps/") + n, 2048);
    TFormMain& form = openPage(g);
    clickName(form, "DM-Z.ut2");
    const int z = rowOfName(form, "DM-Z.ut2");
    const std::string modified = column(form, 1)[z];
    ui(form).ListViewMaps->setFocus();
    QTest::keyClick(ui(form).ListViewMaps, Qt::Key_F2);
    auto* editor = ui(form).ListViewMaps->viewport()->findChild<QLineEdit*>();
    ASSERT_NE(editor, nullptr);
    editor->selectAll();
    QTest::keyClicks(editor, "dm-b.ut2");
    QTest::keyClick(editor, Qt::Key_Return);
    QCoreApplication::processEvents();  // the edit ends once the key is handled

    EXPECT_EQ(column(form, 0), (Names{"DM-A.ut2", "dm-b.ut2", "DM-M.ut2"}));
    const int b = rowOfName(form, "dm-b.ut2");
    EXPECT_EQ(column(form, 1)[b], modified);
    EXPECT_EQ(column(form, 2)[b], "2.0 KB");
    EXPECT_EQ(column(form, 3)[b], g.gameDir + "Maps" + kSep);
    EXPECT_TRUE(std::filesystem::exists(g.game("Maps/DM-Z.ut2")));
    EXPECT_FALSE(std::filesystem::exists(g.game("Maps/dm-b.ut2")));
    EXPECT_TRUE(g.launcher.starts.empty());
    // The edited row is still the one selected.
    const QModelIndexList selected = ui(form).ListViewMaps->selectionModel()->selectedRows();
    ASSERT_EQ(selected.size(), 1);
    EXPECT_EQ(selected[0].row(), b);
}

}  // namespace
}  // namespace qm::test
