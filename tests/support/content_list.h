#pragma once
// Driving the content list of a running main window the way a user does:
// packages in the game's folders, the page tabs, the column header, clicks
// on rows, and what the list shows.
#include <QHeaderView>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeView>
#include <string>
#include <vector>

#include "app/sort_mark_header.h"
#include "support/form_access.h"
#include "support/game_fixture.h"

namespace qm::test {

// A package of `size` bytes under the game folder ("Maps/DM-Foo.ut2").
inline std::string addPackage(GameFixture& g, const std::string& relative, size_t size = 100,
                              DateTime time = {2024, 5, 1, 9, 30, 0}) {
    const std::string p = g.root.write("Game/" + relative, std::string(size, 'p'));
    setModified(p, time);
    return p;
}

// Clicks the tab of a page.
inline void clickTab(TFormMain& form, QWidget* page) {
    QTabBar* bar = ui(form).PageControl1->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(ui(form).PageControl1->indexOf(page)).center());
}

inline SortMarkHeader* header(TFormMain& form) { return static_cast<SortMarkHeader*>(ui(form).ListViewMaps->header()); }

// Starts the window over the fixture, shows it and clicks the tab of a
// content page; the start-up questions are forgotten.
inline TFormMain& openPage(GameFixture& g, QWidget* FormView::*page = &FormView::TabSheetMaps) {
    TFormMain& form = g.start();
    g.dialogs.shown.clear();
    form.show();
    clickTab(form, ui(form).*page);
    return form;
}

// Clicks a column header.
inline void clickHeader(TFormMain& form, int section) {
    QHeaderView* h = ui(form).ListViewMaps->header();
    const QPoint at(h->sectionViewportPosition(section) + h->sectionSize(section) / 2, h->height() / 2);
    QTest::mouseClick(h->viewport(), Qt::LeftButton, {}, at);
}

// The texts of one column, top down.
inline std::vector<std::string> column(TFormMain& form, int c) {
    std::vector<std::string> out;
    QAbstractItemModel* m = ui(form).ListViewMaps->model();
    for (int r = 0; r < m->rowCount(); ++r) out.push_back(m->index(r, c).data().toString().toStdString());
    return out;
}

inline int rowOfName(TFormMain& form, const std::string& name) {
    const std::vector<std::string> names = column(form, 0);
    for (size_t i = 0; i < names.size(); ++i)
        if (names[i] == name) return static_cast<int>(i);
    return -1;
}

// Clicks a row (with Ctrl: adds it to the selection).
inline void clickRow(TFormMain& form, int row, Qt::KeyboardModifiers modifiers = {}) {
    const QRect r = ui(form).ListViewMaps->visualRect(ui(form).ListViewMaps->model()->index(row, 1));
    QTest::mouseClick(ui(form).ListViewMaps->viewport(), Qt::LeftButton, modifiers, r.center());
}
inline void clickName(TFormMain& form, const std::string& name, Qt::KeyboardModifiers modifiers = {}) {
    clickRow(form, rowOfName(form, name), modifiers);
}

// The sort marks the header shows: one entry per column, "up", "down" or "".
inline std::vector<std::string> marks(TFormMain& form) {
    std::vector<std::string> out;
    for (int i = 0; i < 4; ++i) {
        const QImage shown = header(form)->mark(i).toImage();
        if (shown.isNull())
            out.push_back("");
        else if (shown == ui(form).imlHeader->images[1].toImage())
            out.push_back("up");
        else if (shown == ui(form).imlHeader->images[0].toImage())
            out.push_back("down");
        else
            out.push_back("?");
    }
    return out;
}

}  // namespace qm::test
