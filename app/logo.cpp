#include "app/logo.h"

#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <QTextStream>

namespace qm::logo {

namespace {

// A shape: an outline in a small subset of SVG path data (absolute M, L, C
// and Z only), its fill and its stroke. "none" means no fill or no stroke.
struct Shape {
    const char* path;
    const char* fill;
    const char* stroke;
    double strokeWidth;
};

// Circles are written as four quarter arcs of cubic curves (k = 0.5523).
const Shape kShapes[] = {
    // The badge.
    {"M 100 6 C 151.9 6 194 48.1 194 100 C 194 151.9 151.9 194 100 194 C 48.1 194 6 151.9 6 100 "
     "C 6 48.1 48.1 6 100 6 Z",
     "#23475e", "#102838", 6},
    // The package: a box with its lid.
    {"M 104 118 L 164 118 L 164 166 L 104 166 Z", "#d98c2b", "#7a4a12", 4},
    {"M 98 104 L 170 104 L 170 122 L 98 122 Z", "#eaa447", "#7a4a12", 4},
    {"M 126 104 L 142 104 L 142 166 L 126 166 Z", "#b8731f", "none", 0},
    // The quill: the vane, then the shaft through it.
    {"M 62 150 C 60 104 96 52 160 30 C 150 76 118 128 70 154 Z", "#f4efe2", "#b9ad92", 3},
    {"M 44 176 L 66 146 C 92 108 124 70 156 36", "none", "#c9a24a", 5},
};

// Parses the path subset above into a Qt path.
QPainterPath toPath(const char* data) {
    QPainterPath p;
    const QStringList words = QString::fromLatin1(data).split(' ', Qt::SkipEmptyParts);
    qsizetype i = 0;
    auto number = [&] { return words.value(i++).toDouble(); };
    while (i < words.size()) {
        const QString op = words[i++];
        if (op == "M") {
            const double x = number(), y = number();
            p.moveTo(x, y);
        } else if (op == "L") {
            const double x = number(), y = number();
            p.lineTo(x, y);
        } else if (op == "C") {
            const double x1 = number(), y1 = number(), x2 = number(), y2 = number(), x = number(), y = number();
            p.cubicTo(x1, y1, x2, y2, x, y);
        } else if (op == "Z") {
            p.closeSubpath();
        }
    }
    return p;
}

}  // namespace

QImage image(int size) {
    QImage img(size, size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter painter(&img);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / double(kSize), size / double(kSize));
    for (const Shape& s : kShapes) {
        const QString fill = QString::fromLatin1(s.fill);
        const QString stroke = QString::fromLatin1(s.stroke);
        painter.setBrush(fill == "none" ? QBrush(Qt::NoBrush) : QBrush(QColor(fill)));
        if (stroke == "none")
            painter.setPen(Qt::NoPen);
        else
            painter.setPen(QPen(QColor(stroke), s.strokeWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(toPath(s.path));
    }
    return img;
}

QString svg() {
    QString out;
    QTextStream t(&out);
    t << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << kSize << "\" height=\"" << kSize
      << "\" viewBox=\"0 0 " << kSize << ' ' << kSize << "\">\n"
      << "  <title>Quillmere</title>\n";
    for (const Shape& s : kShapes) {
        t << "  <path d=\"" << s.path << "\" fill=\"" << s.fill << "\" stroke=\"" << s.stroke << '"';
        if (QString::fromLatin1(s.stroke) != "none")
            t << " stroke-width=\"" << s.strokeWidth << "\" stroke-linecap=\"round\" stroke-linejoin=\"round\"";
        t << "/>\n";
    }
    t << "</svg>\n";
    return out;
}

}  // namespace qm::logo
