#pragma once
// The program's logo: a quill over a package on a round badge. One set of
// shapes gives the picture in the About box, the window icon, and the
// desktop icons (a scalable SVG and PNGs of the usual sizes, written at
// build time by tools/make_icons).
#include <QImage>
#include <QString>

namespace qm::logo {

// The logo's own grid: 200 x 200.
inline constexpr int kSize = 200;

// The logo drawn at `size` x `size` pixels on a transparent background.
QImage image(int size);
// The same shapes as an SVG document.
QString svg();

}  // namespace qm::logo
