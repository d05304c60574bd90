// Draws the program's icon for the applications menu and the auto-start
// entry: the tray icon's clock face (running, LAN on), as hicolor PNGs of
// 16 and 48 pixels, the larger one enlarged pixel by pixel.
#include "tray/TrayIcons.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>

#include <cstdio>

int main(int argc, char* argv[])
{
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s <hicolor dir> <icon name>\n", argv[0]);
        return 2;
    }
    const QString hicolor = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]) + QStringLiteral(".png");
    const QImage face = drawAlarmClock(ClockFace::RunningLan).toImage();
    for (int size : {16, 48}) {
        const QString dir = hicolor + QStringLiteral("/%1x%1/apps").arg(size);
        if (!QDir().mkpath(dir) ||
            !face.scaled(size, size, Qt::IgnoreAspectRatio, Qt::FastTransformation)
                 .save(dir + QLatin1Char('/') + name))
            return 1;
    }
    return 0;
}
