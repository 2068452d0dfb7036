#include "line_selection.h"

#include <algorithm>
#include <functional>

namespace qm {

LinePick PickLines(const std::vector<CacheLine>& lines, std::vector<int> selected, int focused) {
    LinePick pick;
    if (selected.size() >= 2) {
        std::sort(selected.begin(), selected.end(), std::greater<int>());
        pick.what = LinePick::What::Many;
        pick.rows = std::move(selected);
        return pick;
    }
    if (focused < 0 || focused >= static_cast<int>(lines.size())) return pick;
    pick.what = lines[static_cast<size_t>(focused)].isSeparator() ? LinePick::What::Separator : LinePick::What::Single;
    pick.rows = {focused};
    return pick;
}

}  // namespace qm
