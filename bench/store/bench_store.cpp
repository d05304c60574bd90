// Prints the store's figures on a table of 100,000 reminders beside their
// targets. Asserts nothing.
#include "platform/Clock.h"
#include "platform/ProgramDir.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "store/ReminderRecord.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

namespace {

constexpr int kRows = 100000;

// Half the reminders active, next alerts spread over a year around now with
// a handful already due; texts of realistic length.
void fill(Database& db, double now)
{
    db.execute(
        QStringLiteral(
            "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < %1) "
            "INSERT INTO Main_tbl (RCaption, RDetail, RDate, RNext, RImportance, REventType, "
            "RActive, "
            "RAuthor, Adv_DateEnd) "
            "SELECT 'תזכורת מספר ' || i, 'פרטים של התזכורת ' || i || char(13, 10) || 'שורה שניה של "
            "הפרטים', "
            "?1 + (i % 365) - 0.0001 * (i % 20 = 0), ?1 + (i % 365) + 0.5 - 400 * (i % 5000 = 1), "
            "i % 3, (i % 8) * 10, i % 2, 'user' || (i % 50), ?1 FROM n")
            .arg(kRows),
        {now});
}

double millis(const std::function<void()>& work, int repeat = 1)
{
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < repeat; ++i)
        work();
    return double(timer.nsecsElapsed()) / 1e6 / repeat;
}

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

void report(const char* what, double ms, const char* target)
{
    std::printf("%-58s %9.2f ms   target %s\n", what, ms, target);
}

} // namespace

int main()
{
    QTemporaryDir dir;
    ProgramDir::setOverride(dir.path());
    const double now = Clock::now().serial();
    auto db = OpenReminderDb();
    std::printf("store benchmark, %d reminders\n", kRows);
    report("fill (one statement)", millis([&] { fill(*db, now); }), "-");

    report("open + close the database", millis([] { OpenReminderDb(); }, 200), "< 1 ms");

    int due = 0;
    report("due query, Snapshot",
           millis([&] { due = Snapshot(*db, Queries::due).recordCount(); }, 20), "a few ms");
    std::printf("    (%d due rows)\n", due);

    int active = 0;
    report("active by RNext, Snapshot of every row",
           millis([&] { active = Snapshot(*db, Queries::activeByNext).recordCount(); }, 5), "-");
    std::printf("    (%d active rows)\n", active);
    report("active by RNext, RowReader to the first row",
           millis(
               [&] {
                   RowReader reader(*db, Queries::activeByNext);
                   reader.next();
               },
               200),
           "a few ms");

    report("SQLite alone: RowReader walk of all full rows", millis([&] {
               RowReader reader(*db, Queries::all);
               while (reader.next()) {
               }
           }),
           "-");
    const long rssBefore = residentKb();
    std::unique_ptr<Snapshot> all;
    report("Snapshot of all full rows",
           millis([&] { all = std::make_unique<Snapshot>(*db, Queries::all); }),
           "well under 1000 ms");
    std::printf("    (%d rows, about %ld MB resident for them)\n", all->recordCount(),
                (residentKb() - rssBefore) / 1024);

    report("clone and walk all rows reading 8 fields", millis([&] {
               Snapshot walk = all->clone();
               qint64 sum = 0;
               for (walk.moveFirst(); !walk.eof(); walk.moveNext()) {
                   sum += FieldText(fieldValue(walk, ReminderField::RCaption)).size() +
                          FieldText(fieldValue(walk, ReminderField::RDetail)).size() +
                          dateField(fieldValue(walk, ReminderField::RDate)).totalSeconds() % 7 +
                          fieldValue(walk, ReminderField::RImportance).toInt() +
                          fieldValue(walk, ReminderField::REventType).toInt() +
                          fieldValue(walk, ReminderField::RAuthor).toString().size() +
                          fieldValue(walk, ReminderField::RActive).toInt();
                   sum += dateField(walk.value(QStringLiteral("RDate0"))).totalSeconds() % 3;
               }
               if (sum < 0)
                   std::printf("impossible\n");
           }),
           "-");
    report("findFirst RMain_Id of the last row",
           millis([&] { all->findFirst(fieldName(ReminderField::RMain_Id), kRows); }, 10), "-");
    report("requery all rows", millis([&] { all->requery(*db); }), "well under 1000 ms");

    report("open, Dynaset by id, edit RNext, update, close",
           millis(
               [&] {
                   auto one = OpenReminderDb();
                   Dynaset rs(*one, Queries::byId(kRows / 2));
                   rs.edit();
                   rs.setValue(fieldName(ReminderField::RNext), dateValue(Clock::now().addDays(1)));
                   rs.update();
               },
               50),
           "-");
    return 0;
}
