#include "CheckRemind.h"
#include "Database.h"
#include "Failure.h"
#include "Log.h"
#include "Queries.h"
#include "Recordset.h"
#include "ReminderRecord.h"
#include "ShownAlerts.h"
#include "Trapped.h"

// The due rows are read at open, so alert windows that change the table while
// they open do not disturb the walk.
void CheckRemind()
{
    trapped(QStringLiteral("CheckRemind"), [&] {
        const auto db = OpenReminderDb();
        Snapshot rs(*db, Queries::due);
        for (rs.moveFirst(); !rs.eof(); rs.moveNext())
            ShowAlert(reminderId(rs));
    });
}
