// IniWriter <key> <count>: writes [Stress] <key> = 1 .. <count> beside it, checking its
// previous value first. Exit code: writes lost (at most 99), 100 when WriteIni fails.
#include "common/Ini.h"
#include "common/Log.h"

int main(int argc, char** argv)
{
    const QString key = QString::fromLocal8Bit(argc == 3 ? argv[1] : "");
    StartLogging(QStringLiteral("Kalvex.log"));
    int lost = 0;
    for (int i = 1; i <= (argc == 3 ? QByteArray(argv[2]).toInt() : 0); ++i) {
        lost +=
            ReadIni(QStringLiteral("Stress"), key, QStringLiteral("0")) != QString::number(i - 1);
        if (!WriteIni(QStringLiteral("Stress"), key, QString::number(i)))
            return 100;
    }
    return qMin(lost, 99);
}
