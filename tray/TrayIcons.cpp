#include "tray/TrayIcons.h"

#include <QPainter>

namespace {

struct Palette
{
    QColor face;
    QColor rim;
    QColor marks;
    QColor hourHand;
    QColor minuteHand;
};

Palette paletteFor(ClockFace face)
{
    switch (face) {
    case ClockFace::RunningLan:
        return {QColor(255, 221, 0), QColor(128, 0, 128), QColor(64, 0, 64), QColor(64, 0, 64),
                QColor(64, 0, 64)};
    case ClockFace::Running:
        return {Qt::white, QColor(40, 40, 40), QColor(40, 40, 40), QColor(40, 40, 40),
                QColor(220, 0, 0)};
    case ClockFace::Stopped:
        break;
    }
    return {QColor(200, 200, 200), QColor(120, 120, 120), QColor(80, 80, 80), QColor(80, 80, 80),
            QColor(80, 80, 80)};
}

} // namespace

QPixmap drawAlarmClock(ClockFace face)
{
    const Palette p = paletteFor(face);
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // Bells and legs first, so the face covers their inner ends.
    painter.setPen(Qt::NoPen);
    painter.setBrush(p.rim);
    painter.drawEllipse(QRect(0, 0, 5, 5));
    painter.drawEllipse(QRect(11, 0, 5, 5));
    painter.drawRect(QRect(2, 13, 2, 3));
    painter.drawRect(QRect(12, 13, 2, 3));

    // Rim and face.
    painter.setBrush(p.face);
    painter.setPen(QPen(p.rim, 2));
    painter.drawEllipse(QRect(2, 2, 12, 12));

    // The four hour marks.
    painter.setPen(QPen(p.marks, 1));
    painter.drawPoint(8, 4);
    painter.drawPoint(12, 8);
    painter.drawPoint(8, 12);
    painter.drawPoint(4, 8);

    // Hands: hour to nine o'clock, minute to twelve.
    painter.setPen(QPen(p.hourHand, 1));
    painter.drawLine(QPoint(8, 8), QPoint(6, 8));
    painter.setPen(QPen(p.minuteHand, 1));
    painter.drawLine(QPoint(8, 8), QPoint(8, 5));
    return pixmap;
}
