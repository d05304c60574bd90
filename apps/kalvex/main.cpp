#include "Log.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    StartLogging(QStringLiteral("Kalvex.log"));
    return 0;
}
