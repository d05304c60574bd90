#include "Database.h"
#include "DueCheck.h"
#include "Failure.h"
#include "Log.h"
#include "Queries.h"
#include "Recordset.h"

// The due rows are read at open, so alert windows that change the table while
// they open do not disturb the walk.
void CheckRemind()
{
    try {
        const auto db = OpenReminderDb();
        Snapshot rs(*db, Queries::due);
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            ShowAlert(qint32(rs.value(QStringLiteral("RMain_Id")).toLongLong()));
    } catch (const std::exception& e) {
        WriteLog(QStringLiteral("CheckRemind: ") + describe(e), LogError);
    }
}
