// The one door for writes of reminders: each write announces itself, and the postponement.
#include "common/Ini.h"
#include "common/SettingsKeys.h"
#include "scheduling/DeletionUndo.h"
#include "scheduling/ReminderRules.h"
#include "scheduling/ReminderWrites.h"
#include "store/LanSettings.h"
#include "store/Queries.h"
#include "store/Recordset.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "tests/support/ReminderRows.h"

#include <QTest>

namespace {

constexpr qint32 kMine = 77; // the network identity of the reminder this user shared
constexpr qint32 kCopy = 88; // and of a colleague's copy

// A reminder this user shared, due an hour ago, and a received copy.
struct Rows
{
    qint32 mine = insertReminder(reminderFields(
        EventDaily, at(2026, 12, 1, 8, 0), at(2026, 12, 1, 8, 0),
        {{"BroadcastId", kMine}, {"IAMAuthor", 1}, {"RAuthor", "me"}, {"ReceivedBy", "a\r"}}));
    qint32 copy = insertReminder(
        reminderFields(EventOnce, at(2026, 12, 5), at(2026, 12, 5),
                       {{"BroadcastId", kCopy}, {"IAMAuthor", 0}, {"RAuthor", "other"}}));

    QList<QVariantMap> stored() const { return {reminderRow(mine), reminderRow(copy)}; }
};

ReminderRecord edited(qint32 id)
{
    ReminderRecord r = *storedReminder(*OpenReminderDb(), id);
    r.RCaption = QStringLiteral("שונה");
    return r;
}

// Every public write of the door, each once.
struct WriteCase
{
    const char* name;
    std::function<void(const Rows&)> write;
};
const WriteCase kWrites[] = {
    {"SaveReminder", [](const Rows& rows) { SaveReminder(edited(rows.mine), rows.mine); }},
    {"MarkSent",
     [](const Rows& rows) {
         const auto db = OpenReminderDb();
         Dynaset rs(*db, Queries::byId(rows.mine));
         MarkSent(rs, kMine, QStringLiteral("b\r"));
     }},
    {"StoreReceivedCopy", [](const Rows& rows) { StoreReceivedCopy(edited(rows.copy)); }},
    {"DeleteReceivedCopy", [](const Rows&) { DeleteReceivedCopy(kCopy); }},
    {"NoteReceipt", [](const Rows&) { NoteReceipt(kMine, QStringLiteral("b")); }},
    {"DeleteReminder",
     [](const Rows& rows) {
         DeleteReminder(rows.mine, [] { return NetworkDeletion::LocalOnly; }, {});
     }},
    {"DeleteReminders",
     [](const Rows& rows) {
         DeleteReminders({rows.mine, rows.copy});
     }},
    {"PostponeReminder", [](const Rows& rows) { PostponeReminder(rows.mine, Date::Hour, 2); }},
    {"PostponeReminderMinutes", [](const Rows& rows) { PostponeReminderMinutes(rows.mine, 5); }},
    {"Reschedular", [](const Rows& rows) { Reschedular(rows.mine); }},
    {"RestoreReminder",
     [](const Rows& rows) {
         const auto db = OpenReminderDb(); // gone unannounced, stored again changed
         StoredRow row = storedRow(Snapshot(*db, Queries::byId(rows.copy)));
         row[int(ReminderField::RCaption)] = QStringLiteral("שונה");
         db->exec(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(rows.copy));
         RestoreReminder(row);
     }},
};

const QString kStale = QStringLiteral("stale");

} // namespace

class ReminderWritesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<SchedulingDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<SchedulingDir>(at(2026, 12, 1, 9, 0, 30));
        LANNick = QStringLiteral("me");
    }
    void cleanup() { m_dir.reset(); }

    // The write itself raises the notice of change and has the next due time published.
    void everyWriteAnnouncesItself_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < int(std::size(kWrites)); ++i)
            QTest::newRow(kWrites[i].name) << i;
    }
    void everyWriteAnnouncesItself()
    {
        QFETCH(int, index);
        const Rows rows;
        const QList<QVariantMap> before = rows.stored();
        QVERIFY(WriteIni(SettingsKeys::reminderSection, SettingsKeys::nextDate, kStale));
        const quint64 changes = ReminderChanges::serial();
        kWrites[index].write(rows);
        QVERIFY(rows.stored() != before);
        QCOMPARE(ReminderChanges::serial(), changes + 1);
        QTRY_VERIFY(publishedNextDate() != kStale);
    }

    // A write that finds nothing to change announces nothing.
    void nothingWrittenNothingAnnounced()
    {
        const Rows rows;
        const QList<QVariantMap> before = rows.stored();
        const quint64 changes = ReminderChanges::serial();
        QCOMPARE(int(NoteReceipt(kMine, QStringLiteral("a"))), int(Receipt::AlreadyNoted));
        QCOMPARE(int(NoteReceipt(kCopy, QStringLiteral("b"))), int(Receipt::NotStored));
        QCOMPARE(int(PostponeReminderMinutes(4242, 5)), int(Postponement::NotStored));
        Reschedular(rows.mine, at(2026, 12, 1, 8, 5)); // moved meanwhile
        QVERIFY(rows.stored() == before);
        QCOMPARE(ReminderChanges::serial(), changes);
    }

    // Taken back exactly, RMain_Id, nulls and the rule's later fields too; a deletion that went out
    // on the network goes out again; a row that took its RMain_Id meanwhile is not overwritten.
    void aDeletionIsTakenBackExactly_data()
    {
        QTest::addColumn<bool>("mine");
        QTest::addColumn<int>("answer");
        QTest::addColumn<QList<qint32>>("dels");
        QTest::addColumn<bool>("sentAgain");
        QTest::newRow("shared, on the network")
            << true << int(NetworkDeletion::Also) << QList<qint32>{kMine} << true;
        QTest::newRow("shared, here only")
            << true << int(NetworkDeletion::LocalOnly) << QList<qint32>() << false;
        QTest::newRow("a received copy")
            << false << int(NetworkDeletion::Also) << QList<qint32>() << false;
    }
    void aDeletionIsTakenBackExactly()
    {
        QFETCH(bool, mine);
        QFETCH(int, answer);
        QFETCH(QList<qint32>, dels);
        QFETCH(bool, sentAgain);
        QList<qint32> sentDels, sent;
        setSharingHooks({[&](qint32 id) { return sentDels << id, true; },
                         [&](qint32 id) { return sent << id, true; }});
        const Rows rows;
        const qint32 id = mine ? rows.mine : rows.copy;
        OpenReminderDb()->exec(
            QStringLiteral("UPDATE Main_tbl SET RDetail = NULL, Adv_HebrewMonth = 6, "
                           "Adv_HebrewDay = 30, Adv_SkipDaysOff = 1 WHERE RMain_Id = %1")
                .arg(id));
        const QVariantMap before = reminderRow(id);
        const std::optional<DeletedReminder> deleted =
            DeleteUndoably(id, [answer] { return NetworkDeletion(answer); });
        QVERIFY(deleted);
        QCOMPARE(sentDels, dels);
        QCOMPARE(reminderRow(id), QVariantMap());
        const quint64 changes = ReminderChanges::serial();
        QCOMPARE(UndoDeletion(*deleted), QString());
        QCOMPARE(reminderRow(id), before);
        QCOMPARE(ReminderChanges::serial(), changes + 1);
        QCOMPARE(sent, sentAgain ? QList<qint32>{id} : QList<qint32>());

        DeleteUndoably(id, [] { return NetworkDeletion::LocalOnly; });
        OpenReminderDb()->exec(
            QStringLiteral("INSERT INTO Main_tbl (RMain_Id, RCaption) VALUES (%1, 'x')").arg(id));
        QVERIFY(!UndoDeletion(*deleted).isEmpty());
        QCOMPARE(reminderRow(id).value("RCaption").toString(), "x");
        QCOMPARE(logLines().size(), 1);
        QVERIFY(logLines().constFirst().contains(" -> UndoDeletion: "));
        setSharingHooks({});
    }

    // The alert's rule: now to the minute plus the amount, active again; the due date stays.
    void postponementByMinutes_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<bool>("refused");
        QTest::newRow("none") << 0 << true;
        QTest::newRow("one") << 1 << false;
        QTest::newRow("a year") << kMaxPostponeMinutes << false;
        QTest::newRow("past a year") << kMaxPostponeMinutes + 1 << true;
    }
    void postponementByMinutes()
    {
        QFETCH(int, minutes);
        QFETCH(bool, refused);
        const qint32 id = insertReminder(reminderFields(EventDaily, at(2026, 12, 1, 8, 0),
                                                        at(2026, 12, 1, 8, 0), {{"RActive", 0}}));
        const QVariantMap before = reminderRow(id);
        if (refused) {
            QVERIFY_THROWS_EXCEPTION(ReminderRefused, PostponeReminderMinutes(id, minutes));
            QCOMPARE(reminderRow(id), before);
            return;
        }
        QCOMPARE(int(PostponeReminderMinutes(id, minutes)), int(Postponement::Postponed));
        QCOMPARE(reminderDate(id, "RNext"), at(2026, 12, 1, 9, 0).addMinutes(minutes));
        QCOMPARE(reminderRow(id).value("RActive").toInt(), 1);
        QCOMPARE(reminderDate(id, "RDate"), at(2026, 12, 1, 8, 0));
    }
};

QTEST_GUILESS_MAIN(ReminderWritesTest)
#include "tst_scheduling_writes.moc"
