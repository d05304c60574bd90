// Scripts on the real Kalvex: the reminder methods on its private bus and the command line.
#include "common/KalvexBus.h"
#include "platform/Clock.h"
#include "platform/ProgramDir.h"
#include "store/Reminder.h"
#include "tests/support/E2eSession.h"
#include "tests/support/KalvexProxy.h"
#include "tests/support/ReminderRows.h"
#include "tests/support/XDesktop.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QTemporaryDir>
#include <QUuid>
#include <QtTest>

namespace {

using Run = E2eSession::Ran;

// A caption of 60 characters with a tab, and details with a tab and a line break.
const QString kCaption = QStringLiteral("ישיבת\tצוות ") + QString(49, u'א');
const QString kDetails = QStringLiteral("שורה\tאחת\nשורה שתיים");

} // namespace

class KalvexScriptsE2e : public QObject
{
    Q_OBJECT
    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<E2eSession> m_s;
    std::unique_ptr<KalvexKVClassInterface> m_kalvex; // the bus starts Kalvex

    std::unique_ptr<KalvexKVClassDebugInterface> debug() const
    {
        return runningKalvexOn<KalvexKVClassDebugInterface>(m_s->bus());
    }
    bool hook(const QString& method, const QVariantList& args)
    {
        return m_s->testHook(method, args).toBool();
    }
    QDBusPendingReply<int> add(const QString& caption, const QString& due, int importance = 0,
                               int eventType = 0, const QString& shareTo = QString())
    {
        return answered(
            m_kalvex->AddReminder(caption, due, kDetails, importance, eventType, shareTo));
    }
    QVariantMap reminder(int id) { return m_kalvex->GetReminder(id).value(); }
    int rowCount() { return m_s->scalarSql("SELECT COUNT(*) FROM Main_tbl").toInt(); }
    Run run(const QStringList& args) { return m_s->run("Kalvex", args); }
    // Each command exits 1 and its error output holds the text given with it.
    void verifyRefused(const QList<std::pair<QStringList, QString>>& commands)
    {
        for (const auto& [args, message] : commands) {
            const Run r = run(args);
            QVERIFY2(r.exitCode == 1, qPrintable(args.join(' ')));
            QVERIFY2(r.err.contains(message), qPrintable(r.err));
        }
    }

private slots:
    void init()
    {
        E2eOptions options;
        if (QByteArray(QTest::currentTestFunction()).contains("Editor")) {
            m_desktop = std::make_unique<XDesktop>();
            QString error;
            QVERIFY2(m_desktop->start(false, &error), qPrintable(error));
            options.environment.insert("DISPLAY", m_desktop->display());
        }
        m_s = std::make_unique<E2eSession>(options);
        QVERIFY2(m_s->isReady(), qPrintable(m_s->error()));
        ProgramDir::setOverride(m_s->root() + "/prog dir"); // reminderRow reads its database
        QCOMPARE(m_s->runProgram("Kalvex", {"/REGSERVER"}), 0);
        m_kalvex = kalvexOn<KalvexKVClassInterface>(m_s->bus());
    }
    void cleanup()
    {
        ProgramDir::setOverride(QString());
        m_kalvex.reset(), m_s.reset(), m_desktop.reset();
    }

    // Field by field as the editor's save of the same values; listed at once.
    void addReminderStoresWhatTheEditorSaves()
    {
        m_kalvex->ShowList(0).waitForFinished();
        for (const auto& [method, args] : QList<std::pair<QString, QVariantList>>{
                 {"Click", {"cmdNew"}},
                 {"SetText", {"CCaption", kCaption}},
                 {"SetDateTime", {"CDate1", "2026-12-08T00:00"}},
                 {"SetDateTime", {"CDate2", "2000-01-01T09:30"}},
                 {"Choose", {"CImportance", 2}},
                 {"Choose", {"CEventType", 4}}, // monthly
                 {"SetText", {"CDetail", kDetails}},
                 {"Click", {"cmdNew"}}}) // "שמור כחדש"
            QVERIFY2(hook(method, args), qPrintable(method + ' ' + args.value(0).toString()));
        QTRY_COMPARE(rowCount(), 1);
        const int edited = m_s->scalarSql("SELECT MAX(RMain_Id) FROM Main_tbl").toInt();
        const QDBusPendingReply<int> added = add(kCaption, "2026-12-08T09:30", 2, 20);
        QVERIFY(!added.isError());
        const int id = added.value();
        QVariantMap byEditor = reminderRow(edited), byScript = reminderRow(id);
        QVERIFY(!byScript.value("RDate0").isNull());
        for (const char* own : {"RMain_Id", "RDate0"})
            byEditor.remove(own), byScript.remove(own);
        QStringList differ;
        for (auto it = byEditor.cbegin(); it != byEditor.cend(); ++it)
            if (byScript.value(it.key()) != it.value())
                differ << it.key() + ' ' + it.value().toString() + " / " +
                              byScript.value(it.key()).toString();
        QCOMPARE(differ.join(" | "), QString());
        QCOMPARE(byScript.value("RCaption").toString(), "ישיבת צוות " + QString(39, u'א'));
        QTRY_COMPARE(debug()->ListedIds().value(), (QList<int>{edited, id}));
    }

    // Each refused with the argument named, nothing written.
    void badArgumentsAreRefusedAndWriteNothing()
    {
        const QList<std::pair<QVariantList, QString>> cases = {
            {{"t", "2026-12-08T09:00", 0, 7, ""}, "eventType"},
            {{"t", "2026-12-08T09:00", 0, 100, ""}, "eventType"},
            {{"t", "2026-02-30T09:00", 0, 0, ""}, "due"},
            {{"t", "8/12/2026 09:00", 0, 0, ""}, "due"},
            {{"", "2026-12-08T09:00", 0, 0, ""}, "caption"},
            {{" \t ", "2026-12-08T09:00", 0, 0, ""}, "caption"},
            {{"t", "2026-12-08T09:00", 3, 0, ""}, "importance"},
            {{"t", "2026-12-08T09:00", 0, 0, "B,,C"}, "shareTo"},
            {{"t", "2026-12-08T09:00", 0, 0, "abcdefghij"}, "shareTo"},
            {{"t", "2026-12-08T09:00", 0, 0, "B\rC"}, "shareTo"},
            {{"t", "2026-12-08T09:00", 0, 0, "B,\U0001F600"}, "shareTo"}};
        QStringList wrong;
        for (const auto& [args, argument] : cases) {
            const QDBusError error = add(args[0].toString(), args[1].toString(), args[2].toInt(),
                                         args[3].toInt(), args[4].toString())
                                         .error();
            if (error.name() != KalvexBus::invalidArgumentError ||
                !error.message().startsWith(argument + ": "))
                wrong << args[1].toString() + ' ' + error.message();
        }
        QCOMPARE(wrong, QStringList());
        QCOMPARE(rowCount(), 0);
    }

    // Read, changed by any subset (also the rule), filtered, deleted; bad changes refused, a good
    // one switches the reminder on.
    void remindersAreReadChangedAndDeleted()
    {
        const QDBusPendingReply<int> added = add("קריאה", "2026-12-08T09:00");
        QCOMPARE(added.error().message(), QString());
        const int id = added.value();
        const QVariantMap read = reminder(id);
        QCOMPARE(read.value("RDate").toString(), QStringLiteral("2026-12-08T09:00"));
        QCOMPARE(read.value("RDetail").toString(), QStringLiteral("שורה אחת\r\nשורה שתיים"));
        QCOMPARE(read.size(), 25); // every field of the row

        const QVariantMap rule{{"REventType", 100},  {"Adv_Period", 3},   {"Adv_PeriodN", 2},
                               {"Adv_AdvOpt", true}, {"Adv_WeekDay", 10}, {"RActive", false}};
        QVERIFY(!answered(m_kalvex->UpdateReminder(id, rule)).isError());
        const QVariantMap changed = reminder(id);
        QCOMPARE(changed.value("Adv_WeekDay").toInt(), 10);
        QCOMPARE(changed.value("RActive").toBool(), false);
        const auto listed = [&](int filter) {
            return int(m_kalvex->ListReminders(filter).value().size());
        };
        QCOMPARE(listed(0), 0);
        QCOMPARE(listed(1), 1);

        const QList<std::pair<QVariantMap, QString>> refused = {
            {{{"RMain_Id", 5}}, "fields.RMain_Id"},
            {{{"Colour", 5}}, "fields.Colour"},
            {{{"RImportance", "2"}}, "fields.RImportance"},
            {{{"RDate", "2026-12-32T09:00"}}, "fields.RDate"},
            {{{"REventType", 5}, {"Adv_Period", 2}}, "fields.Adv_Period"},
            {{{"Adv_PeriodN", 0}}, "fields.Adv_PeriodN"},
            {{{"RCaption", "   "}}, "fields.RCaption"}};
        QStringList wrong;
        for (const auto& [fields, argument] : refused) {
            const QString error = answered(m_kalvex->UpdateReminder(id, fields)).error().message();
            if (!error.startsWith(argument + ": "))
                wrong << argument + ' ' + error;
        }
        QCOMPARE(wrong, QStringList());
        QCOMPARE(reminder(id), changed);
        QCOMPARE(answered(m_kalvex->GetReminder(id + 1)).error().name(),
                 KalvexBus::invalidArgumentError);
        // A changed reminder alerts again: the change switches it back on.
        QVERIFY(!answered(m_kalvex->UpdateReminder(id, {{"RDate", "2026-12-10T09:00"}})).isError());
        QCOMPARE(reminder(id).value("RActive").toBool(), true);

        QCOMPARE(m_kalvex->DeleteReminder(id, false).value(), true);
        QCOMPARE(m_kalvex->DeleteReminder(id, false).value(), false);
    }

    // Sent together: carried out in order, each answered for itself; a refusal undoes only itself.
    void callsSentTogetherAreCarriedOutInOrder()
    {
        QList<QDBusPendingCall> calls;
        for (const QString& caption : {"א", "", "ב"})
            calls << m_kalvex->AddReminder(caption, "2026-12-08T09:00", "", 0, 0, "");
        const QDBusPendingReply<QList<QVariantMap>> list = m_kalvex->ListReminders(2);
        calls << list;
        QList<bool> refused;
        for (QDBusPendingCall& call : calls)
            call.waitForFinished(), refused << call.isError();
        QCOMPARE(refused, (QList<bool>{false, true, false, false}));
        QStringList listed;
        for (const QVariantMap& r : list.value())
            listed << r.value("RCaption").toString();
        QCOMPARE(listed, (QStringList{"א", "ב"}));
    }

    // As the alert's postponement: the next due time moves to now plus the minutes,
    // the due date stays, it is active again; bad input refused, the row unchanged.
    void remindersArePostponedByScriptsAndTheCommandLine()
    {
        const int id = add("דחייה", "2026-12-08T09:00").value();
        QVERIFY(!answered(m_kalvex->UpdateReminder(id, {{"RActive", false}})).isError());
        const auto nextIsNowPlus = [&](int minutes, const auto& postpone) {
            const Date before = Clock::now().withoutSeconds().addMinutes(minutes);
            postpone();
            const Date after = Clock::now().withoutSeconds().addMinutes(minutes);
            const QString next = reminder(id).value("RNext").toString();
            return next == formatIsoMinute(before) || next == formatIsoMinute(after);
        };
        QVERIFY(nextIsNowPlus(90, [&] { QVERIFY(m_kalvex->PostponeReminder(id, 90).value()); }));
        const QVariantMap postponed = reminder(id);
        QCOMPARE(postponed.value("RDate").toString(), QStringLiteral("2026-12-08T09:00"));
        QCOMPARE(postponed.value("RActive").toBool(), true);

        const QList<std::tuple<int, int, QString>> refused = {
            {id, 0, "minutes: "}, {id, 525601, "minutes: "}, {id + 1, 10, "id: "}};
        QStringList wrong;
        for (const auto& [which, minutes, argument] : refused)
            if (!answered(m_kalvex->PostponeReminder(which, minutes))
                     .error()
                     .message()
                     .startsWith(argument))
                wrong << argument + QString::number(minutes);
        QCOMPARE(wrong, QStringList());
        QCOMPARE(reminder(id), postponed);

        const QString number = QString::number(id);
        QVERIFY(nextIsNowPlus(525600, [&] {
            QCOMPARE(run({"--postpone", number, "525600"}).exitCode, 0);
        }));
        verifyRefused({{{"--postpone", number, "0"}, "--postpone"},
                       {{"--postpone", "99999", "5"}, "--postpone"},
                       {{"--postpone", number, "רבע"}, "--postpone"},
                       {{"--postpone", number}, "--postpone"}});
    }

    // 27 Kislev is 27 December 2027, 15 December 2028 and 4 December 2029; Israel's days off
    // of 2027 as the luach prints them. Bad input exits 1 and stores nothing.
    void commandLineFollowsTheHebrewCalendar()
    {
        const Run added =
            run({"--add", "יום הולדת", "--at", "2027-12-27 09:00", "--repeat", "hebrew-yearly"});
        QCOMPARE(added.exitCode, 0);
        const QString id = added.out.trimmed();
        QCOMPARE(reminder(id.toInt()).value("Adv_HebrewDay").toInt(), 27);
        QCOMPARE(run({"--occurrences", id, "3"}).out,
                 QString("2027-12-27 09:00\n2028-12-15 09:00\n2029-12-04 09:00\n"));
        QCOMPARE(answered(m_kalvex->Occurrences(id.toInt(), 2)).value(),
                 (QStringList{"2027-12-27T09:00", "2028-12-15T09:00"}));
        QStringList dates;
        for (const QString& line : run({"--days-off", "2027"}).out.split('\n', Qt::SkipEmptyParts))
            dates << line.section('\t', 0, 0);
        QCOMPARE(dates,
                 (QStringList{"2027-04-22", "2027-04-28", "2027-05-12", "2027-06-11", "2027-10-02",
                              "2027-10-03", "2027-10-11", "2027-10-16", "2027-10-23"}));
        const int rows = rowCount();
        verifyRefused(
            {{{"--add", "x", "--at", "2201-01-01 09:00", "--repeat", "hebrew-monthly"}, "--at: "},
             {{"--occurrences", id, "0"}, "--occurrences: "},
             {{"--occurrences", "99999"}, "--occurrences: "},
             {{"--days-off", "2201"}, "--days-off: "}});
        QCOMPARE(rowCount(), rows);
    }

    // Each word of --repeat is stored as its own type, read from the file, not back through the
    // command line's words.
    void commandLineRepeatWordsAreStoredAsTheirTypes()
    {
        const QList<std::pair<QString, int>> words = {
            {"once", EventOnce},     {"hourly", EventHourly},   {"daily", EventDaily},
            {"weekly", EventWeekly}, {"monthly", EventMonthly}, {"bimonthly", EventBiMonthly},
            {"yearly", EventYearly}};
        for (const auto& [word, type] : words) {
            const Run added = run({"--add", word, "--at", "2026-12-08 09:00", "--repeat", word});
            const QString stored =
                m_s->scalarSql("SELECT REventType FROM Main_tbl WHERE RMain_Id = " + added.out)
                    .toString();
            QCOMPARE(word + ' ' + stored, word + ' ' + QString::number(type));
        }
    }

    // Registers the service when needed; prints the id and the list; bad input exits 1.
    void commandLineAddsListsAndDeletes()
    {
        QVERIFY(QFile::remove(m_s->dataHome() + "/dbus-1/services/Kalvex.KVClass.service"));
        const Run added = run({"--add", "כותרת", "--at", "2026-12-08 09:00", "--repeat", "daily",
                               "--importance", "high"});
        QCOMPARE(added.exitCode, 0);
        const QString id = added.out.trimmed();
        QCOMPARE(run({"--list"}).out, id + "\t2026-12-08 09:00\tdaily\thigh\t1\tכותרת\n");

        verifyRefused(
            {{{"--add", "x", "--at", "2026-12-08 09:00", "--repeat", "fortnightly"}, "--repeat: "},
             {{"--add", "x", "--at", "2026-13-01 09:00"}, "--at: "},
             {{"--add", "", "--at", "2026-12-08 09:00"}, "--add: "},
             {{"--add", "   ", "--at", "2026-12-08 09:00"}, "--add: "},
             {{"--add", "x"}, "--at: "},
             {{"--list", "--delete", id}, "--list"},
             {{"--colour"}, "--colour"}});
        QCOMPARE(run({"--delete", id}).exitCode, 0);
        QCOMPARE(run({"--list"}).out, QString());
        verifyRefused({{{"--delete", id}, "--delete: "}});
        // The messages match the help, in Hebrew, and warn of a title cut.
        const QList<std::pair<QStringList, QString>> told = {
            {{"--bogus"}, "--bogus אינה אפשרות מוכרת"},
            {{"--add", "x", "--at", "8/12/2026 9:00"}, "בתבנית yyyy-MM-dd HH:mm"},
            {{"--add", "x", "--at", "2026-12-08 09:00", "--repeat", "x"}, "yearly או קוד"},
            {{"--add", QString(71, u'א'), "--at", "2026-12-08 09:00"}, "אזהרה: --add"}};
        for (const auto& [args, message] : told)
            QVERIFY2(run(args).err.contains(message), qPrintable(message));
        QVERIFY(!run({"--add", "x", "--at", "2026-12-08 09:00", "--repeat", "x"})
                     .err.contains("advanced"));
    }

    // Without the session's bus the command fails in Hebrew, exit 2, and starts no bus of its
    // own (libdbus would launch one for a display).
    void withoutASessionBusNothingIsLaunched()
    {
        QTemporaryDir runtime;
        const QByteArray marker = "KV_NO_BUS_RUN=" + QUuid::createUuid().toByteArray();
        m_s->setEnvironmentValue("DBUS_SESSION_BUS_ADDRESS", "");
        m_s->setEnvironmentValue("XDG_RUNTIME_DIR", runtime.path());
        m_s->setEnvironmentValue("DISPLAY", ":0");
        m_s->setEnvironmentValue("KV_NO_BUS_RUN", QString::fromLatin1(marker.mid(14)));
        const Run r = run({"--list"});
        QCOMPARE(r.exitCode, 2);
        QVERIFY2(r.err.contains("אין חיבור לאפיק ההודעות של ההפעלה"), qPrintable(r.err));
        QCOMPARE(E2eSession::processesMarked(marker), QList<qint64>());
    }
};

QTEST_GUILESS_MAIN(KalvexScriptsE2e)
#include "tst_kalvex_scripts.moc"
