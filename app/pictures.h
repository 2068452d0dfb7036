#pragma once
// The program's own pictures, drawn in code: game emblems, sort marks and
// button glyphs.
#include <QIcon>
#include <QPixmap>

namespace qm::pictures {

// 32 x 32 emblem for a game kind: 0 UT2003, 1 UT, 2 UT2004.
QPixmap emblem(int kind);
// 16 x 16 grey triangle (172, 168, 153) on transparent: down or up.
QPixmap sortMark(bool up);

QIcon glyphCheck();
QIcon glyphRefresh();
QIcon glyphWalk();
QIcon glyphCross();
QIcon glyphDoor();

}  // namespace qm::pictures
