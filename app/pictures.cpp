#include "app/pictures.h"

#include <QPainter>
#include <QPainterPath>
#include <functional>

namespace qm::pictures {

namespace {

QPixmap canvas(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    return pm;
}

// A round badge with a two-line caption; the colours tell the games apart.
QPixmap badge(const QColor& ring, const QColor& fill, const QString& top, const QString& bottom) {
    QPixmap pm = canvas(32);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(ring, 2));
    p.setBrush(fill);
    p.drawEllipse(QRectF(1.5, 1.5, 29, 29));
    p.setPen(Qt::white);
    QFont f("DejaVu Sans");
    f.setPixelSize(bottom.isEmpty() ? 12 : 9);
    f.setBold(true);
    p.setFont(f);
    if (bottom.isEmpty()) {
        p.drawText(QRectF(0, 0, 32, 32), Qt::AlignCenter, top);
    } else {
        p.drawText(QRectF(0, 5, 32, 12), Qt::AlignCenter, top);
        p.drawText(QRectF(0, 15, 32, 12), Qt::AlignCenter, bottom);
    }
    return pm;
}

QIcon icon(const std::function<void(QPainter&)>& draw) {
    QPixmap pm = canvas(16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    draw(p);
    p.end();
    return QIcon(pm);
}

}  // namespace

QPixmap emblem(int kind) {
    switch (kind) {
        case 0: return badge(QColor(40, 70, 140), QColor(70, 110, 190), "UT", "2003");
        case 1: return badge(QColor(120, 80, 20), QColor(190, 130, 40), "UT", "");
        case 2: return badge(QColor(130, 20, 20), QColor(190, 40, 40), "UT", "2004");
        default: return {};
    }
}

QPixmap sortMark(bool up) {
    QPixmap pm = canvas(16);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(172, 168, 153));
    QPolygonF tri;
    if (up)
        tri << QPointF(8, 4) << QPointF(13, 11) << QPointF(3, 11);
    else
        tri << QPointF(3, 5) << QPointF(13, 5) << QPointF(8, 12);
    p.drawPolygon(tri);
    return pm;
}

QIcon glyphCheck() {
    return icon([](QPainter& p) {
        p.setPen(QPen(QColor(0, 140, 0), 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPolygonF tick;
        tick << QPointF(2.5, 8.5) << QPointF(6.5, 12.5) << QPointF(13.5, 3.5);
        p.drawPolyline(tick);
    });
}

QIcon glyphRefresh() {
    return icon([](QPainter& p) {
        p.setPen(QPen(QColor(0, 90, 170), 1.8, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        QRectF r(2.5, 2.5, 11, 11);
        p.drawArc(r, 30 * 16, 140 * 16);
        p.drawArc(r, 210 * 16, 140 * 16);
        p.setBrush(QColor(0, 90, 170));
        p.setPen(Qt::NoPen);
        p.drawPolygon(QPolygonF() << QPointF(12.5, 1.5) << QPointF(15, 6) << QPointF(10, 6));
        p.drawPolygon(QPolygonF() << QPointF(3.5, 14.5) << QPointF(1, 10) << QPointF(6, 10));
    });
}

QIcon glyphWalk() {
    return icon([](QPainter& p) {
        p.setPen(QPen(QColor(60, 60, 60), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(60, 60, 60));
        p.drawEllipse(QRectF(7, 0.8, 3, 3));
        p.drawLine(QPointF(8.5, 4.5), QPointF(7.5, 9.5));                               // body
        p.drawPolyline(QPolygonF() << QPointF(4.5, 7) << QPointF(8, 5.5) << QPointF(11.5, 8));  // arms
        p.drawPolyline(QPolygonF() << QPointF(4.5, 15) << QPointF(7.5, 9.5) << QPointF(9.5, 12) << QPointF(11.5, 15));
    });
}

QIcon glyphCross() {
    return icon([](QPainter& p) {
        p.setPen(QPen(QColor(200, 0, 0), 2.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(3.5, 3.5), QPointF(12.5, 12.5));
        p.drawLine(QPointF(12.5, 3.5), QPointF(3.5, 12.5));
    });
}

QIcon glyphDoor() {
    return icon([](QPainter& p) {
        p.setPen(QPen(QColor(90, 60, 30), 1.2));
        p.setBrush(Qt::NoBrush);
        p.drawRect(QRectF(3.5, 1.5, 9, 13));  // frame
        p.setBrush(QColor(160, 110, 60));
        p.drawPolygon(QPolygonF() << QPointF(3.5, 1.5) << QPointF(9, 3) << QPointF(9, 16) << QPointF(3.5, 14.5));
        p.setBrush(QColor(240, 200, 60));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QRectF(7, 8, 1.6, 1.6));
    });
}

}  // namespace qm::pictures
