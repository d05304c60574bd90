// IniWriter <key> <count>: writes <key> = 1 .. <count> to section "Stress" of
// the settings file beside this executable. Before each write it checks that
// the key still holds its previous value, so a write lost to another process
// is noticed. Exit code: number of lost writes (at most 99), 100 when WriteIni
// fails. Like a small tool it keeps no application object.
#include "Ini.h"
#include "Log.h"

#include <QString>

#include <algorithm>
#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc != 3)
        return 101;
    const QString key = QString::fromLocal8Bit(argv[1]);
    const int count = std::atoi(argv[2]);
    StartLogging(QStringLiteral("Kalvex.log"));
    int lost = 0;
    for (int i = 1; i <= count; ++i) {
        if (ReadIni(QStringLiteral("Stress"), key, QStringLiteral("0")) != QString::number(i - 1))
            ++lost;
        if (!WriteIni(QStringLiteral("Stress"), key, QString::number(i)))
            return 100;
    }
    return std::min(lost, 99);
}
