#include "manager/ButtonIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace {

constexpr int kSize = 32;

// A triangle pointing right (towards the first row in a right-to-left list) or left.
void triangle(QPainter& p, qreal x, bool pointsRight)
{
    const qreal tip = pointsRight ? x + 9 : x;
    const qreal base = pointsRight ? x : x + 9;
    p.drawPolygon(QPolygonF({QPointF(base, 8), QPointF(base, 24), QPointF(tip, 16)}));
}

void drawMove(QPainter& p, ButtonPicture picture)
{
    p.setBrush(QColor(0, 0, 128));
    p.setPen(Qt::NoPen);
    // Right to left: "first" and "previous" point right, "next" and "last" left.
    const bool right = picture == ButtonPicture::First || picture == ButtonPicture::Previous;
    const bool toEnd = picture == ButtonPicture::First || picture == ButtonPicture::Last;
    triangle(p, toEnd ? (right ? 10 : 13) : 11, right);
    if (toEnd)
        p.drawRect(QRectF(right ? 21 : 8, 8, 3, 16));
}

void drawRefresh(QPainter& p)
{
    p.setPen(QPen(QColor(0, 110, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(7, 7, 18, 18), 60 * 16, 280 * 16);
    p.setBrush(QColor(0, 110, 0));
    p.setPen(Qt::NoPen);
    p.drawPolygon(QPolygonF({QPointF(17, 3), QPointF(25, 8), QPointF(17, 12)}));
}

void drawFind(QPainter& p)
{
    p.setPen(QPen(QColor(40, 40, 40), 3));
    p.drawEllipse(QRectF(6, 6, 14, 14));
    p.setPen(QPen(QColor(120, 70, 20), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(19, 19), QPointF(26, 26));
}

void drawCross(QPainter& p, const QRectF& r)
{
    p.setPen(QPen(QColor(190, 0, 0), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(r.topLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomLeft());
}

void drawDeleteAll(QPainter& p)
{
    p.setPen(QPen(QColor(0, 0, 128), 2));
    for (int y : {8, 14, 20})
        p.drawLine(6, y, 18, y);
    drawCross(p, QRectF(17, 15, 10, 10));
}

void drawDefinitions(QPainter& p)
{
    p.setPen(QPen(QColor(70, 70, 70), 4, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 4; ++i) {
        p.save();
        p.translate(16, 16);
        p.rotate(i * 45);
        p.drawLine(QPointF(0, -11), QPointF(0, 11));
        p.restore();
    }
    p.setBrush(QColor(200, 200, 200));
    p.setPen(QPen(QColor(70, 70, 70), 2));
    p.drawEllipse(QPointF(16, 16), 7, 7);
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(16, 16), 3, 3);
}

void drawExit(QPainter& p)
{
    p.setPen(QPen(QColor(90, 60, 30), 2));
    p.setBrush(QColor(200, 160, 110));
    p.drawRect(QRectF(14, 5, 12, 22));
    p.setPen(QPen(QColor(0, 0, 128), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 16), QPointF(14, 16));
    p.drawLine(QPointF(4, 16), QPointF(9, 11));
    p.drawLine(QPointF(4, 16), QPointF(9, 21));
}

} // namespace

QIcon buttonIcon(ButtonPicture picture)
{
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    switch (picture) {
    case ButtonPicture::First:
    case ButtonPicture::Previous:
    case ButtonPicture::Next:
    case ButtonPicture::Last:
        drawMove(p, picture);
        break;
    case ButtonPicture::Refresh:
        drawRefresh(p);
        break;
    case ButtonPicture::Find:
        drawFind(p);
        break;
    case ButtonPicture::DeleteAll:
        drawDeleteAll(p);
        break;
    case ButtonPicture::Delete:
        drawCross(p, QRectF(9, 9, 14, 14));
        break;
    case ButtonPicture::Definitions:
        drawDefinitions(p);
        break;
    case ButtonPicture::Exit:
        drawExit(p);
        break;
    }
    return QIcon(pixmap);
}
