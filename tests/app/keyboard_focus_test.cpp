// What the keyboard does in the main window: Enter on a focused button,
// access keys that act on the first press, the focus after an action, and
// a window coming back from minimised keeping its list.
#include <QAction>
#include <QListWidget>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <map>

#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {
namespace {

TEST(Keyboard, EnterOnAFocusedButtonClicksThatButton) {
    GameFixture g;
    g.addCacheEntry("K", "Walls.utx");
    TFormMain& form = g.start();
    form.show();
    QApplication::setActiveWindow(&form);
    g.focus(0);
    QSignalSpy extract(ui(form).ButtonExtract, &QPushButton::clicked);
    QSignalSpy deleted(ui(form).BitBtn1, &QPushButton::clicked);
    ui(form).BitBtn1->setFocus();
    QTest::keyClick(ui(form).BitBtn1, Qt::Key_Return);
    EXPECT_EQ(deleted.count(), 1);
    EXPECT_EQ(form.statusText(), "Removed 1 cache entry.");
    QSignalSpy refreshed(ui(form).ButtonRefresh, &QPushButton::clicked);
    ui(form).ButtonRefresh->setFocus();
    QTest::keyClick(ui(form).ButtonRefresh, Qt::Key_Return);
    EXPECT_EQ(refreshed.count(), 1);
    EXPECT_EQ(form.statusText().rfind("Cache List refreshed ", 0), 0u) << form.statusText();
    EXPECT_EQ(extract.count(), 0);
    EXPECT_FALSE(g.root.exists("Game/Textures/Walls.utx"));
}

// The letter after "&" in a caption, in lower case; 0 for none.
QChar accessKey(const QString& caption) {
    const qsizetype at = caption.indexOf('&');
    return at >= 0 && at + 1 < caption.size() ? caption[at + 1].toLower() : QChar();
}

TEST(Keyboard, EveryAccessKeyOfAPageIsItsOwn) {
    GameFixture g;
    TFormMain& form = g.start();
    form.show();
    for (QWidget* page : {ui(form).TabSheetCache, ui(form).TabSheetMaps}) {
        ui(form).PageControl1->setCurrentWidget(page);
        std::map<QChar, QStringList> owners;
        for (QAction* menu : form.menuBar()->actions())
            if (menu->isVisible()) owners[accessKey(menu->text())].push_back(menu->text());
        for (QPushButton* b : form.findChildren<QPushButton*>())
            if (b->isVisibleTo(&form)) owners[accessKey(b->text())].push_back(b->text());
        owners.erase(QChar());
        for (const auto& [key, captions] : owners)
            EXPECT_EQ(captions.size(), 1) << page->objectName().toStdString() << ": "
                                           << captions.join(", ").toStdString();
    }
}

TEST(Keyboard, TheListHasTheFocusAndACurrentLineAfterAnAction) {
    GameFixture g;
    g.addCacheEntry("A", "A.utx");
    g.addCacheEntry("B", "B.utx");
    g.addCacheEntry("C", "C.utx");
    TFormMain& form = g.start();
    form.show();
    QApplication::setActiveWindow(&form);
    g.focus(2);
    ui(form).ButtonExtract->click();
    ASSERT_EQ(form.statusText(), "Extracted 1 file(s).");
    EXPECT_EQ(QApplication::focusWidget(), ui(form).ListBoxCache);
    ASSERT_GE(ui(form).ListBoxCache->currentRow(), 0);
    EXPECT_LT(ui(form).ListBoxCache->currentRow(), 2);

    // The next key acts on the line the user sees.
    const int row = ui(form).ListBoxCache->currentRow();
    const std::string name = row == 0 ? "A.utx" : "B.utx";
    QTest::keyClick(ui(form).ListBoxCache, Qt::Key_Return);
    EXPECT_TRUE(g.root.exists("Game/Textures/" + name));
}

TEST(CacheListLife, ComingBackFromMinimisedKeepsTheSelection) {
    GameFixture g;
    g.addCacheEntry("A", "A.utx");
    g.addCacheEntry("B", "B.utx");
    TFormMain& form = g.start();
    form.show();
    g.select({1});
    g.addCacheEntry("C", "C.utx");  // a rebuild would show it
    form.showMinimized();
    QCoreApplication::processEvents();
    form.showNormal();
    QCoreApplication::processEvents();
    EXPECT_EQ(g.lines().size(), 2u);
    EXPECT_TRUE(ui(form).ListBoxCache->item(1)->isSelected());
}

TEST(DuplicateKeys, EachLineTakesTheFirstNameTheIndexHoldsAtItsTurn) {
    // Two lines of one key: the first extraction removes the first line of
    // the key at once, so the second finds the next name and file.
    GameFixture g;
    g.addCacheEntry("H", "One.utx");
    g.addCacheEntry("H", "Two.utx", "H-0.uxx");
    TFormMain& form = g.start();
    g.dialogs.shown.clear();  // the first-run question
    ASSERT_EQ(g.lines().size(), 2u);
    g.select({0, 1});
    ui(form).ButtonExtract->click();
    EXPECT_EQ(form.statusText(), "Extracted 2 file(s).");
    EXPECT_EQ(readFile(g.game("Textures/One.utx")), "package H");
    EXPECT_EQ(readFile(g.game("Textures/Two.utx")), "package H");
    EXPECT_TRUE(g.indexKeys().empty());
    EXPECT_TRUE(g.dialogs.shown.empty());
}

}  // namespace
}  // namespace qm::test
