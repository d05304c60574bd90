#include "scheduling/CheckRemind.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "scheduling/ShownAlerts.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"

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
