// Draws the three importance icons of the alert window as bitmaps:
// normal (0) a blue disc with "i", medium (1) an amber triangle with "!",
// high (2) a red octagon with "!". Shapes only, so no fonts are needed.
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>
#include <cstdio>
#include <numbers>

namespace {

constexpr int kSize = 48;

// The glyph of a sign: a bar and a dot, white or dark, in a 48-pixel frame.
void drawMark(QPainter& p, const QColor& color, bool dotOnTop, double top, double bottom)
{
    p.setPen(Qt::NoPen);
    p.setBrush(color);
    const double barWidth = 6;
    const double dot = 7;
    if (dotOnTop) { // "i"
        p.drawEllipse(QRectF(24 - dot / 2, top, dot, dot));
        p.drawRoundedRect(
            QRectF(24 - barWidth / 2, top + dot + 3, barWidth, bottom - top - dot - 3), 2, 2);
    } else { // "!"
        p.drawRoundedRect(QRectF(24 - barWidth / 2, top, barWidth, bottom - top - dot - 3), 2, 2);
        p.drawEllipse(QRectF(24 - dot / 2, bottom - dot, dot, dot));
    }
}

QPolygonF regularPolygon(int corners, double radius, double rotation)
{
    QPolygonF polygon;
    for (int i = 0; i < corners; ++i) {
        const double angle = rotation + 2 * std::numbers::pi * i / corners;
        polygon << QPointF(24 + radius * std::cos(angle), 24 + radius * std::sin(angle));
    }
    return polygon;
}

void drawNormal(QPainter& p)
{
    QRadialGradient fill(QPointF(18, 16), 30);
    fill.setColorAt(0, QColor(0x5a, 0x9b, 0xe6));
    fill.setColorAt(1, QColor(0x1f, 0x5f, 0xb4));
    p.setPen(QPen(QColor(0x17, 0x48, 0x8a), 1.5));
    p.setBrush(fill);
    p.drawEllipse(QRectF(3, 3, 42, 42));
    drawMark(p, Qt::white, true, 11, 37);
}

void drawMedium(QPainter& p)
{
    QPainterPath triangle;
    triangle.moveTo(24, 4);
    triangle.lineTo(45, 42);
    triangle.lineTo(3, 42);
    triangle.closeSubpath();
    QLinearGradient fill(0, 4, 0, 42);
    fill.setColorAt(0, QColor(0xff, 0xd5, 0x4f));
    fill.setColorAt(1, QColor(0xf5, 0xa6, 0x23));
    p.setPen(QPen(QColor(0xb7, 0x79, 0x0f), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPath(triangle);
    drawMark(p, QColor(0x3a, 0x2a, 0x05), false, 15, 38);
}

void drawHigh(QPainter& p)
{
    QRadialGradient fill(QPointF(18, 16), 30);
    fill.setColorAt(0, QColor(0xf0, 0x5a, 0x4f));
    fill.setColorAt(1, QColor(0xb7, 0x1c, 0x1c));
    p.setPen(QPen(QColor(0x8a, 0x12, 0x12), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(fill);
    p.drawPolygon(regularPolygon(8, 22, std::numbers::pi / 8));
    drawMark(p, Qt::white, false, 10, 38);
}

QImage drawIcon(int importance)
{
    // 24-bit bitmap on white: it sits on the alert window's white header.
    QImage image(kSize, kSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    switch (importance) {
    case 0:
        drawNormal(p);
        break;
    case 1:
        drawMedium(p);
        break;
    default:
        drawHigh(p);
        break;
    }
    return image.convertToFormat(QImage::Format_RGB888);
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <RIcons directory>\n", argv[0]);
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(dir)) {
        std::fprintf(stderr, "cannot create %s\n", argv[1]);
        return 1;
    }
    for (int importance = 0; importance < 3; ++importance) {
        const QString path = QDir(dir).filePath(QStringLiteral("RIcon%1.bmp").arg(importance));
        if (!drawIcon(importance).save(path, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
