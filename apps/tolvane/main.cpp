#include "Log.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    StartLogging(QStringLiteral("Tolvane.log"));
    return 0;
}
