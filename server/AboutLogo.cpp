#include "server/AboutLogo.h"

#include <QPainter>

QPixmap aboutLogoPixmap(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // Two bells above the face.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x8a, 0x1c, 0x1c));
    p.drawEllipse(QRectF(s * 0.05, s * 0.02, s * 0.32, s * 0.32));
    p.drawEllipse(QRectF(s * 0.63, s * 0.02, s * 0.32, s * 0.32));
    // The face.
    p.setBrush(QColor(0xc0, 0x28, 0x28));
    p.drawEllipse(QRectF(s * 0.1, s * 0.14, s * 0.8, s * 0.8));
    p.setBrush(Qt::white);
    p.drawEllipse(QRectF(s * 0.18, s * 0.22, s * 0.64, s * 0.64));
    // Hands at ten past ten.
    QPen hand(Qt::black, qMax(1.0, s / 20), Qt::SolidLine, Qt::RoundCap);
    p.setPen(hand);
    const QPointF centre(s * 0.5, s * 0.54);
    p.drawLine(centre, QPointF(s * 0.36, s * 0.42));
    p.drawLine(centre, QPointF(s * 0.68, s * 0.36));
    return pixmap;
}
