#include "Database.h"
#include "DueCheck.h"
#include "Failure.h"
#include "Ini.h"
#include "Log.h"
#include "Reminder.h"
#include "RowReader.h"

namespace {

// Active reminders by next alert time, read lazily: the walk stops at the
// first one without an open alert, so only a few rows of a long table are
// fetched. A null RNext never falls due, so it is left out.
const QString kActiveByNext = QStringLiteral("SELECT RMain_Id,RNext FROM Main_tbl WHERE RActive = "
                                             "TRUE AND RNext IS NOT NULL ORDER BY RNext");

QString nextDueText()
{
    const auto db = OpenReminderDb();
    RowReader rows(*db, kActiveByNext);
    while (rows.next()) {
        if (!IsShown(qint32(rows.value(0).toLongLong())))
            return formatNextDate(dateField(rows.value(1)));
    }
    return QStringLiteral("NULL");
}

} // namespace

void PublishNextDate()
{
    try {
        // Read fully before writing: a failed read keeps the old value. The
        // file is only rewritten when the value changes, as every rewrite
        // is a synced whole-file replacement.
        const QString value = nextDueText();
        const QString section = QStringLiteral("Reminder"), key = QStringLiteral("NextDate");
        if (ReadIni(section, key, QString()) != value)
            WriteIni(section, key, value);
    } catch (const std::exception& e) {
        WriteLog(describe(e), LogError);
    }
}
