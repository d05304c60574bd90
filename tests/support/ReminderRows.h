#pragma once

#include "common/Log.h"
#include "platform/Clock.h"
#include "platform/Date.h"
#include "tests/support/TempProgramDir.h"

#include <QStringList>
#include <QVariantMap>

inline Date at(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return Date::fromParts(y, mo, d, h, mi, s);
}

// How QCOMPARE shows a date, seconds included.
char* toString(const Date& d);

// An active reminder of a recurrence type due at next, plus further fields.
QVariantMap reminderFields(short eventType, const Date& date, const Date& next,
                           const QVariantMap& more = {});

// Rows of Main_tbl; fields not given take the table's defaults.
qint32 insertReminder(const QVariantMap& fields);
QVariantMap reminderRow(qint32 id);              // empty when the row does not exist
Date reminderDate(qint32 id, const char* field); // the zero date when null or missing

QStringList logLines();
// The next due time published in the settings file; empty while none was.
QString publishedNextDate();

// A fresh program directory with "Kalvex.log" and the clock pinned at now.
class SchedulingDir
{
public:
    explicit SchedulingDir(const Date& now)
    {
        StartLogging(QStringLiteral("Kalvex.log"));
        Clock::setNow(now);
    }
    ~SchedulingDir() { Clock::useSystemClock(); }

private:
    TempProgramDir m_dir;
};
