// The main window as a whole: layout, menus, pages, keys, posted requests,
// the failure report and the ways of ending.
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QTreeView>
#include <gtest/gtest.h>

#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {
namespace {

std::vector<std::string> tabs(TFormMain& form) {
    std::vector<std::string> out;
    for (int i = 0; i < ui(form).PageControl1->count(); ++i) out.push_back(ui(form).PageControl1->tabText(i).toStdString());
    return out;
}

std::vector<std::string> menu(QMenu* m) {
    std::vector<std::string> out;
    for (QAction* a : m->actions()) out.push_back(a->isSeparator() ? "-" : a->text().toStdString());
    return out;
}

TEST(MainWindow, LayoutAndNames) {
    GameFixture g;
    TFormMain& form = g.start();
    EXPECT_EQ(form.windowTitle(), "Quillmere");
    EXPECT_EQ(form.size(), QSize(534, 412));
    for (const char* name :
         {"PageControl1", "TabSheetCache", "TabSheetMaps", "TabSheetTextures", "TabSheetSounds", "TabSheetMusic",
          "TabSheetStaticMeshes", "TabSheetAnimations", "PanelLeft", "ListBoxCache", "PanelRight", "ImageIcon",
          "ButtonExtract", "ButtonRefresh", "ButtonValidate", "BitBtn1", "lblCheckForUpdates", "Panel1", "ButtonClose",
          "Panel4", "ListViewMaps", "PanelCompressCommand", "ImageIcon2", "ButtonCompress", "ButtonRefreshMaps",
          "Panel3", "ButtonCloseMaps", "lblExtractTo", "StatusBar1", "cmbMod", "MainMenu1", "MenuFile", "MenuCache",
          "MenuMaps", "MenuOptions", "MenuHelp", "PopupMenu1", "PopupMenu2", "tmrUpdateCheck", "ImageListIcons",
          "imlHeader", "objApplicationEvents"})
        EXPECT_NE(form.findChild<QObject*>(name), nullptr) << name;
    EXPECT_EQ(tabs(form), (std::vector<std::string>{"Cache", "Maps", "Textures", "Sounds", "Music", "StaticMeshes",
                                                     "Animations"}));
    EXPECT_EQ(ui(form).PageControl1->currentWidget(), ui(form).TabSheetCache);
    EXPECT_EQ(ui(form).ListBoxCache->selectionMode(), QAbstractItemView::ExtendedSelection);
    // At least the designed width, and wide enough for its whole entry.
    EXPECT_GE(ui(form).cmbMod->width(), 105);
    EXPECT_GT(ui(form).cmbMod->width(),
              ui(form).cmbMod->fontMetrics().horizontalAdvance(ui(form).cmbMod->currentText()));
    EXPECT_EQ(ui(form).ButtonExtract->geometry(), QRect(8, 48, 89, 41));
    EXPECT_TRUE(ui(form).ButtonExtract->font().bold());
    EXPECT_EQ(ui(form).ListViewMaps->model()->headerData(3, Qt::Horizontal).toString(), "Path");
    EXPECT_FALSE(ui(form).tmrUpdateCheck->isActive());
    EXPECT_EQ(ui(form).tmrUpdateCheck->interval(), 1000);
    EXPECT_FALSE(ui(form).miCompressFiles->isEnabled());
    ASSERT_EQ(ui(form).imlHeader->images.size(), 2u);
    EXPECT_EQ(ui(form).imlHeader->images[0].size(), QSize(16, 16));
    // The emblem of the game found: kind 2 of the image list.
    ASSERT_EQ(ui(form).ImageListIcons->images.size(), 3u);
    EXPECT_EQ(ui(form).ImageIcon->pixmap().toImage(), ui(form).ImageListIcons->images[gkUT2004].toImage());
    EXPECT_EQ(ui(form).ImageIcon2->pixmap().toImage(), ui(form).ImageListIcons->images[gkUT2004].toImage());
}

TEST(MainWindow, Menus) {
    GameFixture g;
    TFormMain& form = g.start();
    EXPECT_EQ(menu(ui(form).MenuFile), std::vector<std::string>{"&Exit"});
    EXPECT_EQ(menu(ui(form).MenuCache), (std::vector<std::string>{"&Extract", "&Validate", "-", "Delete Cache Entry"}));
    EXPECT_EQ(menu(ui(form).MenuMaps), std::vector<std::string>{"&Compress"});
    EXPECT_EQ(menu(ui(form).MenuOptions), (std::vector<std::string>{"&Show All Messages", "Import Mutators into UT2004"}));
    EXPECT_EQ(menu(ui(form).MenuHelp),
              (std::vector<std::string>{"View Readme", "Help Forums", "-", "Harthollow Website", "Make a Donation",
                                        "More Quillmere Info", "-", "Check For Update",
                                        "Automatically Check for Update", "-", "&About"}));
    EXPECT_EQ(menu(ui(form).PopupMenu1), (std::vector<std::string>{"Delete Cache Entry", "-", "&Extract To..."}));
    EXPECT_EQ(menu(ui(form).PopupMenu2), std::vector<std::string>{"&Compress File"});
    EXPECT_EQ(ui(form).MenuCache->defaultAction(), ui(form).miGo);
    for (QAction* option : {ui(form).miShowAllMessages, ui(form).miDoUCCExportCache, ui(form).miAutoCheckUpdate}) {
        EXPECT_TRUE(option->isCheckable());
        const bool before = option->isChecked();
        option->trigger();  // a click inverts the check mark
        EXPECT_NE(option->isChecked(), before);
    }
    const bool shown = ui(form).miShowAllMessages->isChecked();
    ui(form).miShowAllMessages->trigger();
    EXPECT_NE(ui(form).miShowAllMessages->isChecked(), shown);
    ui(form).miDoUCCExportCache->trigger();
    ui(form).miDoUCCExportCache->trigger();
    EXPECT_TRUE(ui(form).miDoUCCExportCache->isChecked());  // toggled on above, twice here
    // Items whose actions come later do nothing, and nothing crashes.
    for (QAction* a : {ui(form).miCompress}) a->trigger();
}

TEST(MainWindow, TheMutatorItemNamesTheGame) {
    for (TGameKind kind : {gkUT2003, gkUT, gkUT2004}) {
        GameFixture g(kind);
        TFormMain& form = g.start();
        EXPECT_EQ(ui(form).miDoUCCExportCache->text().toStdString(), "Import Mutators into " + gameName(kind));
    }
}

TEST(MainWindow, UTLosesTwoPagesWhenShown) {
    struct Case {
        TGameKind kind;
        size_t pages;
    } cases[] = {{gkUT, 5}, {gkUT2003, 7}, {gkUT2004, 7}};
    for (const auto& c : cases) {
        GameFixture g(c.kind);
        TFormMain& form = g.start();
        EXPECT_EQ(tabs(form).size(), 7u);
        form.show();
        EXPECT_EQ(tabs(form).size(), c.pages) << int(c.kind);
        EXPECT_EQ(tabs(form)[0], "Cache");
    }
}

TEST(MainWindow, PageChangeSwapsTheMenus) {
    GameFixture g;
    TFormMain& form = g.start();
    EXPECT_TRUE(ui(form).MenuCache->menuAction()->isVisible());
    EXPECT_FALSE(ui(form).MenuMaps->menuAction()->isVisible());
    ui(form).PageControl1->setCurrentWidget(ui(form).TabSheetTextures);
    EXPECT_FALSE(ui(form).MenuCache->menuAction()->isVisible());
    EXPECT_TRUE(ui(form).MenuMaps->menuAction()->isVisible());
    ui(form).PageControl1->setCurrentWidget(ui(form).TabSheetCache);
    EXPECT_TRUE(ui(form).MenuCache->menuAction()->isVisible());
    EXPECT_FALSE(ui(form).MenuMaps->menuAction()->isVisible());
}

TEST(MainWindow, MinimumSizeIsTheSizeAtCreation) {
    GameFixture g;
    TFormMain& form = g.start();
    form.show();
    form.resize(300, 200);
    EXPECT_EQ(form.size(), QSize(534, 412));
    form.resize(900, 700);
    EXPECT_EQ(form.size(), QSize(900, 700));
    EXPECT_EQ(ui(form).FMinWidth, 534);
    EXPECT_EQ(ui(form).FMinHeight, 412);
}

TEST(MainWindow, EnterRunsTheDefaultButtonOfThePage) {
    GameFixture g;
    TFormMain& form = g.start();
    form.show();
    QSignalSpy extract(ui(form).ButtonExtract, &QPushButton::clicked);
    QSignalSpy compress(ui(form).ButtonCompress, &QPushButton::clicked);
    ui(form).ListBoxCache->setFocus();
    QTest::keyClick(ui(form).ListBoxCache, Qt::Key_Return);
    EXPECT_EQ(extract.count(), 1);
    EXPECT_EQ(compress.count(), 0);
    ui(form).PageControl1->setCurrentWidget(ui(form).TabSheetMaps);
    ui(form).ListViewMaps->setFocus();
    QTest::keyClick(ui(form).ListViewMaps, Qt::Key_Enter);
    EXPECT_EQ(extract.count(), 1);
    EXPECT_EQ(compress.count(), 1);
}

TEST(MainWindow, PostedOpenRequestOpensOnceWhenHandled) {
    GameFixture g;
    TFormMain& form = g.start();
    g.shell.opened.clear();
    QCoreApplication::postEvent(&form, new OpenUrlEvent("http://example.invalid/page"));
    EXPECT_TRUE(g.shell.opened.empty());  // posted, not sent
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    EXPECT_EQ(g.shell.opened, std::vector<std::string>{"http://example.invalid/page"});
}

TEST(MainWindow, OpenDocumentShowsItsOwnFailure) {
    GameFixture g;
    TFormMain& form = g.start();
    g.dialogs.shown.clear();
    g.shell.result = Status::failure("No application is associated with the specified file for this operation.");
    form.OpenDocument("/nowhere/readme.txt");
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.dialogs.shown[0].kind, DlgKind::Error);
    EXPECT_EQ(g.dialogs.shown[0].title, "Error");
    EXPECT_EQ(g.dialogs.shown[0].text, "No application is associated with the specified file for this operation.");
    EXPECT_EQ(g.dialogs.shown[0].buttons, DlgButtons{DlgButton::OK});
}

TEST(MainWindow, FailureReportNamesTheApplication) {
    GameFixture g;
    TFormMain& form = g.start();
    g.dialogs.shown.clear();
    EXPECT_FALSE(form.guarded([] { throw Error("Something broke"); }));
    ASSERT_EQ(g.dialogs.shown.size(), 1u);
    EXPECT_EQ(g.dialogs.shown[0].what, "failure");
    EXPECT_EQ(g.dialogs.shown[0].title, "Quillmere");
    EXPECT_EQ(g.dialogs.shown[0].text, "Something broke");
    EXPECT_TRUE(form.guarded([] {}));
}

TEST(MainWindow, StatusLine) {
    GameFixture g;
    TFormMain& form = g.start();
    form.ShowStatus("one");
    form.ShowStatus("two");
    EXPECT_EQ(form.statusText(), "two");
    EXPECT_EQ(ui(form).StatusPanel->parentWidget(), ui(form).StatusBar1);
}

TEST(MainWindow, CloseButtonsAndExitEndTheProgram) {
    for (const char* how : {"ButtonClose", "ButtonCloseMaps", "frame", "miExit"}) {
        GameFixture g;
        TFormMain& form = g.start();
        form.show();
        if (std::string(how) == "miExit") {
            QTimer::singleShot(0, &form, [&] { ui(form).miExit->trigger(); });
            QTimer stuck;  // a loop that does not end fails the test, and the timer dies with it
            stuck.setSingleShot(true);
            QObject::connect(&stuck, &QTimer::timeout, [] { QCoreApplication::exit(99); });
            stuck.start(2000);
            EXPECT_EQ(QCoreApplication::exec(), 0) << how;
        } else {
            if (std::string(how) == "ButtonClose")
                ui(form).ButtonClose->click();
            else if (std::string(how) == "ButtonCloseMaps")
                ui(form).ButtonCloseMaps->click();
            else
                form.close();
            EXPECT_FALSE(form.isVisible()) << how;
        }
    }
}

}  // namespace
}  // namespace qm::test
