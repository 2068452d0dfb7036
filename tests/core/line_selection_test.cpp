#include "core/line_selection.h"

#include <gtest/gtest.h>

namespace qm {
namespace {

TEST(PickLines, FocusedLineUnlessManyAreSelected) {
    std::vector<CacheLine> lines(4);
    lines[1].kind = CacheLine::Kind::Separator;
    using W = LinePick::What;
    struct Case {
        std::vector<int> selected;
        int focused;
        W what;
        std::vector<int> rows;
    } cases[] = {
        {{}, -1, W::Nothing, {}},
        {{}, 9, W::Nothing, {}},
        {{}, 2, W::Single, {2}},
        {{3}, 2, W::Single, {2}},  // one selected line: the focused line counts
        {{}, 1, W::Separator, {1}},
        {{0, 3, 1}, 2, W::Many, {3, 1, 0}},  // last first; separators are the runner's to pass over
    };
    for (const Case& c : cases) {
        const LinePick pick = PickLines(lines, c.selected, c.focused);
        EXPECT_EQ(pick.what, c.what) << c.focused;
        EXPECT_EQ(pick.rows, c.rows) << c.focused;
    }
}

}  // namespace
}  // namespace qm
