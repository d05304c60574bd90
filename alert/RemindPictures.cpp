#include "alert/RemindPictures.h"

#include <QPainter>
#include <QPainterPath>

namespace {

// A transparent square picture, drawn in the unit square by draw.
template <typename Draw> QPixmap drawnPicture(int size, Draw draw)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.scale(size, size);
        draw(p);
    }
    return pixmap;
}

// A clock face filling the unit square [0,1] of the painter's scale.
void drawClock(QPainter& p, const QColor& face, const QColor& rim)
{
    p.setPen(QPen(rim, 0.07));
    p.setBrush(face);
    p.drawEllipse(QRectF(0.06, 0.06, 0.88, 0.88));
    p.setPen(QPen(Qt::white, 0.09, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(0.5, 0.5), QPointF(0.5, 0.24)); // minute hand
    p.drawLine(QPointF(0.5, 0.5), QPointF(0.7, 0.6));  // hour hand
}

} // namespace

QPixmap lateMarkPicture(int size)
{
    return drawnPicture(size, [](QPainter& p) {
        drawClock(p, QColor(0xd3, 0x2f, 0x2f), QColor(0x8e, 0x1b, 0x1b));
    });
}

QPixmap postponeMarkPicture(int size)
{
    return drawnPicture(size, [](QPainter& p) {
        p.save();
        p.scale(0.8, 0.8);
        drawClock(p, QColor(0x1e, 0x6f, 0xc8), QColor(0x12, 0x47, 0x85));
        p.restore();
        // The forward arrow in the lower corner: moved on in time.
        QPainterPath arrow;
        arrow.moveTo(0.52, 0.74);
        arrow.lineTo(0.78, 0.74);
        arrow.lineTo(0.78, 0.6);
        arrow.lineTo(1.0, 0.82);
        arrow.lineTo(0.78, 1.0);
        arrow.lineTo(0.78, 0.88);
        arrow.lineTo(0.52, 0.88);
        arrow.closeSubpath();
        p.setPen(QPen(Qt::white, 0.04));
        p.setBrush(QColor(0x2e, 0x7d, 0x32));
        p.drawPath(arrow);
    });
}

QIcon deleteButtonIcon(int size)
{
    return QIcon(drawnPicture(size, [](QPainter& p) {
        const QColor ink(0x5f, 0x63, 0x68);
        p.setPen(QPen(ink, 0.08, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawLine(QPointF(0.14, 0.22), QPointF(0.86, 0.22));                              // lid
        p.drawPolyline(QPolygonF({{0.38, 0.22}, {0.42, 0.1}, {0.58, 0.1}, {0.62, 0.22}})); // handle
        p.setBrush(QColor(0xe5, 0x39, 0x35));
        p.drawPolygon(QPolygonF({{0.22, 0.3}, {0.78, 0.3}, {0.72, 0.92}, {0.28, 0.92}})); // bin
        p.setPen(QPen(Qt::white, 0.06, Qt::SolidLine, Qt::RoundCap));
        for (double x : {0.4, 0.5, 0.6})
            p.drawLine(QPointF(x, 0.42), QPointF(x, 0.8));
    }));
}
