#pragma once
// Which cache lines an action over the list works on. With fewer than two
// lines selected the action takes the focused line alone; with more it
// takes every selected line, last first, so that handling a line (which
// removes at most that line) keeps the numbers of the lines still to come.
#include <vector>

#include "cache_list.h"

namespace qm {

struct LinePick {
    enum class What { Nothing, Separator, Single, Many };
    What what = What::Nothing;
    std::vector<int> rows;  // Single: the focused row; Many: selected rows, last first
};

// `selected` in any order; `focused` is -1 when no line has the focus.
LinePick PickLines(const std::vector<CacheLine>& lines, std::vector<int> selected, int focused);

}  // namespace qm
