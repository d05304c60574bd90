#include "scheduling/PublishNextDate.h"
#include "common/Ini.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "common/Trapped.h"
#include "platform/Failure.h"
#include "platform/Throttle.h"
#include "scheduling/ShownAlerts.h"
#include "store/Queries.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/RowReader.h"

#include <QCoreApplication>
#include <QPointer>

namespace {

int g_held = 0;
bool g_askedWhileHeld = false;

// Active reminders by next alert time, read lazily: the walk stops at the
// first one without an open alert, so only a few rows of a long table are
// fetched.
QString nextDueText()
{
    const auto db = OpenReminderDb();
    RowReader rows(*db, Queries::activeByNext);
    while (rows.next()) {
        if (!IsShown(qint32(rows.value(0).toLongLong())))
            return formatNextDate(dateField(rows.value(1)));
    }
    return SettingsKeys::noNextDate;
}

} // namespace

void PublishNextDate()
{
    if (g_held > 0) {
        g_askedWhileHeld = true;
        return;
    }
    // Read fully before writing: a failed read keeps the old value. The file
    // is only rewritten when the value changes, as every rewrite is a synced
    // whole-file replacement.
    trapped(QString(), [] {
        const QString value = nextDueText();
        using namespace SettingsKeys;
        if (ReadIni(reminderSection, nextDate, QString()) != value)
            WriteIni(reminderSection, nextDate, value);
    });
}

HeldPublication::HeldPublication()
{
    ++g_held;
}

HeldPublication::~HeldPublication()
{
    if (--g_held > 0 || !g_askedWhileHeld)
        return;
    g_askedWhileHeld = false;
    PublishNextDate();
}

// Lives with the application, so its timer never outlasts the event loop.
void PublishNextDateSoon()
{
    static QPointer<Throttle> publication;
    if (!publication)
        publication = new Throttle(kPublishGapMs, &PublishNextDate, QCoreApplication::instance());
    publication->request();
}

void publishOnOutsideChanges()
{
    QObject::connect(ReminderChanges::instance(), &ReminderChanges::changedElsewhere,
                     &PublishNextDateSoon);
}
