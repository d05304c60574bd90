// The rules home: what a reminder stores, what it may not be, how it is written and deleted.
#include "calendar/HebrewDate.h"
#include "scheduling/Occurrences.h"
#include "scheduling/Recurrence.h"
#include "scheduling/ReminderRules.h"
#include "scheduling/ReminderWrites.h"
#include "store/LanSettings.h"
#include "store/Reminder.h"
#include "store/ReminderChanges.h"
#include "store/ReminderDb.h"
#include "store/Schema.h"
#include "tests/support/ReminderRows.h"
#include "tests/support/StoreTestFiles.h"

#include <QTest>

using F = ReminderField;

namespace {

// 1 Heshvan of the first year from 5787 whose Heshvan has 29 days.
Date firstOfShortHeshvan()
{
    int year = 5787;
    while (daysInHebrewMonth(year, HebrewMonth::Heshvan) != 29)
        ++year;
    return Date::fromParts(*gregorianDateOf({year, HebrewMonth::Heshvan, 1}), QTime(9, 0));
}

// A valid reminder to change one thing of.
ReminderRecord valid()
{
    ReminderRecord r;
    r.RCaption = QStringLiteral("פגישה");
    r.RDate = at(2026, 12, 8, 9, 0);
    r.REventType = EventDaily;
    r.RActive = true;
    return r;
}

// The field a reminder is refused for, or nothing.
std::optional<F> refusedField(const ReminderRecord& r)
{
    try {
        RequireAuthored(r);
        return std::nullopt;
    } catch (const ReminderRefused& e) {
        return e.field();
    }
}

} // namespace

class ReminderRulesTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<SchedulingDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<SchedulingDir>(at(2026, 12, 1, 9, 0));
        LANNick = QStringLiteral("me");
    }
    void cleanup() { m_dir.reset(); }

    // What is typed, then as the caption and as the details store it.
    void textsAsStored()
    {
        const QString fifty(50, u'א');
        const QStringList cases[] = {
            {fifty, fifty, fifty},     {fifty + "ב", fifty, fifty + "ב"}, {"a\tb", "a b", "a b"},
            {"a\nb", "a b", "a\r\nb"}, {"a\r\nb", "a  b", "a\r\nb"},      {"a\rb", "a b", "a\r\nb"},
            {"  ", "  ", "  "}};
        for (const QStringList& c : cases) {
            QCOMPARE(StoredCaption(c[0]), c[1]);
            QCOMPARE(StoredDetail(c[0]), c[2]);
        }
    }

    // Every type code: RNext = RDate, the end of a simple type, and a rule (Adv_Period,
    // Adv_PeriodN) that steps as the type's own recurrence does, from a month's end; one-time
    // keeps the rule stored before, the advanced type takes the rule entered.
    void authoredSaveWritesTheRuleOfItsType_data()
    {
        QTest::addColumn<short>("type");
        for (const short type : kEventTypeCodes)
            QTest::addRow("%d", type) << type;
    }
    void authoredSaveWritesTheRuleOfItsType()
    {
        QFETCH(short, type);
        const bool advanced = type == EventAdvanced;
        ReminderRecord stored = valid();
        std::tie(stored.Adv_Period, stored.Adv_PeriodN, stored.RAuthor) = std::tuple(7, 9, "other");
        stored.RNext = at(2026, 12, 9);
        ReminderRecord entered = valid();
        entered.RDate = at(2027, 1, 31, 9);
        entered.REventType = type;
        std::tie(entered.Adv_Period, entered.Adv_PeriodN, entered.Adv_NoEnd) =
            std::tuple(Date::Minute, 15, false);
        const ReminderRecord r = AuthoredSave(stored, entered, QStringLiteral("me"));
        QCOMPARE(r.Adv_NoEnd, !advanced);
        QCOMPARE(r.Adv_AdvOpt, advanced);
        QCOMPARE(r.Adv_DateEnd.has_value(), !advanced);
        QCOMPARE(r.RNext, entered.RDate);
        QCOMPARE(r.RAuthor, QStringLiteral("other"));
        if (type == EventOnce) {
            QCOMPARE(r.Adv_Period, short(7));
            QCOMPARE(r.Adv_PeriodN, short(9));
            return;
        }
        if (isHebrewEventType(type)) { // the count entered, the due date's day and month
            QCOMPARE(r.Adv_PeriodN, short(15));
            QCOMPARE(storedAnchor(r), std::optional(hebrewAnchorOf(entered.RDate.date())));
            return;
        }
        const Date stepped = NextByPeriod(r.RDate, r.Adv_Period, r.Adv_PeriodN, r.RDate);
        QCOMPARE(stepped, advanced ? r.RDate.addMinutes(15) : NextByType(r.RDate, type, r.RDate));
    }

    // Each case names the field refused, or none; the boundaries of every width and range.
    void refusedForTheFieldAtFault()
    {
        using Change = std::function<void(ReminderRecord&)>;
        const auto advanced = [](short unit, short n, bool flag) {
            return Change([=](ReminderRecord& r) {
                r.REventType = EventAdvanced;
                std::tie(r.Adv_Period, r.Adv_PeriodN, r.Adv_AdvOpt) = std::tuple(unit, n, flag);
            });
        };
        const auto hebrew = [](short type, short n, short month, short day) {
            return Change([=](ReminderRecord& r) {
                std::tie(r.REventType, r.Adv_PeriodN) = std::tuple(type, n);
                std::tie(r.Adv_HebrewMonth, r.Adv_HebrewDay) = std::tuple(month, day);
                r.RDate = firstOfShortHeshvan();
            });
        };
        const std::optional<F> none;
        const QList<std::tuple<const char*, Change, std::optional<F>>> cases = {
            {"valid", [](ReminderRecord&) {}, none},
            {"caption 50", [](ReminderRecord& r) { r.RCaption = QString(50, 'x'); }, none},
            {"caption 51", [](ReminderRecord& r) { r.RCaption = QString(51, 'x'); }, F::RCaption},
            {"caption empty", [](ReminderRecord& r) { r.RCaption.clear(); }, F::RCaption},
            {"caption blanks", [](ReminderRecord& r) { r.RCaption = " \t\u00a0"; }, F::RCaption},
            {"caption in blanks", [](ReminderRecord& r) { r.RCaption = " a "; }, none},
            {"author 9", [](ReminderRecord& r) { r.RAuthor = QString(9, 'x'); }, none},
            {"author 10", [](ReminderRecord& r) { r.RAuthor = QString(10, 'x'); }, F::RAuthor},
            {"importance 2", [](ReminderRecord& r) { r.RImportance = 2; }, none},
            {"importance 3", [](ReminderRecord& r) { r.RImportance = 3; }, F::RImportance},
            {"importance -1", [](ReminderRecord& r) { r.RImportance = -1; }, F::RImportance},
            {"type 2", [](ReminderRecord& r) { r.REventType = 2; }, F::REventType},
            {"type 101", [](ReminderRecord& r) { r.REventType = 101; }, F::REventType},
            {"unit 6", [](ReminderRecord& r) { r.Adv_Period = 6; }, F::Adv_Period},
            {"mask 127", [](ReminderRecord& r) { r.Adv_WeekDay = 127; }, none},
            {"mask 128", [](ReminderRecord& r) { r.Adv_WeekDay = 128; }, F::Adv_WeekDay},
            {"mask -1", [](ReminderRecord& r) { r.Adv_WeekDay = -1; }, F::Adv_WeekDay},
            {"day kind 10", [](ReminderRecord& r) { r.Adv_MonthDay = 10; }, F::Adv_MonthDay},
            {"occurrence 5", [](ReminderRecord& r) { r.Adv_MonthCount = 5; }, F::Adv_MonthCount},
            {"simple type, no step", [](ReminderRecord& r) { r.Adv_PeriodN = 0; }, none},
            {"advanced step 0", advanced(Date::Day, 0, false), F::Adv_PeriodN},
            {"advanced days", advanced(Date::Day, 1, true), F::Adv_AdvOpt},
            {"advanced weeks, no day", advanced(Date::Week, 2, true), none},
            {"advanced months", advanced(Date::Month, 1, true), none},
            {"hebrew step 0", hebrew(EventHebrewMonthly, 0, 0, 0), F::Adv_PeriodN},
            {"hebrew 29 heshvan", hebrew(EventHebrewYearly, 1, 1, 29), none},
            {"hebrew 30 heshvan, short", hebrew(EventHebrewYearly, 1, 1, 30), F::Adv_HebrewDay},
            {"hebrew 30 kislev anchor", hebrew(EventHebrewYearly, 1, 2, 30), none},
            {"hebrew day 31", hebrew(EventHebrewMonthly, 1, 1, 31), F::Adv_HebrewDay},
            {"hebrew month 13", hebrew(EventHebrewMonthly, 1, 13, 1), F::Adv_HebrewMonth},
            {"hebrew 2201",
             [&](ReminderRecord& r) {
                 hebrew(EventHebrewYearly, 1, 0, 0)(r);
                 r.RDate = at(2201, 1, 1, 9, 0);
             },
             F::RDate},
            {"skip days off, daily", [](ReminderRecord& r) { r.Adv_SkipDaysOff = true; }, none},
            {"skip days off, monthly",
             [](ReminderRecord& r) { r.REventType = EventMonthly, r.Adv_SkipDaysOff = true; },
             F::Adv_SkipDaysOff}};
        for (const auto& type : kEventTypeCodes) {
            ReminderRecord r = valid();
            r.REventType = type;
            QVERIFY2(!refusedField(r), qPrintable(EventTypeName(type)));
        }
        QStringList mismatches;
        for (const auto& [name, change, field] : cases) {
            ReminderRecord r = valid();
            change(r);
            if (refusedField(r) != field)
                mismatches << QString::fromUtf8(name);
        }
        QCOMPARE(mismatches, QStringList());
    }

    // A refused one writes nothing; a new row gets this user as author; an edited one keeps its
    // author; a gone one is not stored again.
    void savedAsTheEditorSaves()
    {
        const quint64 before = ReminderChanges::serial();
        ReminderRecord refused = valid();
        refused.REventType = 7;
        QVERIFY_THROWS_EXCEPTION(ReminderRefused, SaveReminder(refused, 0));
        QCOMPARE(OpenReminderDb()->scalar("SELECT COUNT(*) FROM Main_tbl").toInt(), 0);
        const qint32 id = SaveReminder(valid(), 0);
        QCOMPARE(reminderRow(id).value("RAuthor").toString(), QStringLiteral("me"));
        QCOMPARE(ReminderChanges::serial(), before + 1);
        OpenReminderDb()->exec(QStringLiteral("UPDATE Main_tbl SET RAuthor = 'other'"));
        ReminderRecord changed = valid();
        changed.RCaption = QStringLiteral("שונה");
        QCOMPARE(SaveReminder(changed, id), id);
        QCOMPARE(reminderRow(id).value("RAuthor").toString(), QStringLiteral("other"));
        QCOMPARE(reminderRow(id).value("RCaption").toString(), QStringLiteral("שונה"));
        OpenReminderDb()->exec(QStringLiteral("DELETE FROM Main_tbl"));
        QVERIFY_THROWS_EXCEPTION(ReminderGone, SaveReminder(changed, id));
        QCOMPARE(OpenReminderDb()->scalar("SELECT COUNT(*) FROM Main_tbl").toInt(), 0);
        QVERIFY(SaveReminder(changed, 0) > id);
        QTRY_COMPARE(publishedNextDate(), QStringLiteral("081220260900"));
    }

    // A script may write before the manager window ever loaded the list.
    void aSaveUpgradesADatabaseOfAnOlderRelease()
    {
        QFile::remove(reminderDbPath());
        rawSql(reminderDbPath(), baseTableSql({"RDate0"}) + "PRAGMA user_version = 150;");
        const qint32 id = SaveReminder(valid(), 0);
        QCOMPARE(reminderRow(id).value("RAuthor").toString(), QStringLiteral("me"));
        QCOMPARE(GetDbVersion(*OpenReminderDb()), kCurrentDbVersion);
    }

    // A reminder this user shared asks; the others go without a question.
    void deletionAsksOnlyForAReminderSharedHere_data()
    {
        QTest::addColumn<bool>("author");
        QTest::addColumn<NetworkDeletion>("answer");
        QTest::addColumn<Deletion>("result");
        QTest::addColumn<int>("sent");
        using N = NetworkDeletion;
        QTest::newRow("also") << true << N::Also << Deletion::Deleted << 77;
        QTest::newRow("local") << true << N::LocalOnly << Deletion::Deleted << 0;
        QTest::newRow("cancel") << true << N::Cancel << Deletion::Cancelled << 0;
        QTest::newRow("a copy") << false << N::Cancel << Deletion::Deleted << 0;
    }
    void deletionAsksOnlyForAReminderSharedHere()
    {
        QFETCH(bool, author);
        QFETCH(NetworkDeletion, answer);
        QFETCH(Deletion, result);
        QFETCH(int, sent);
        const qint32 id =
            insertReminder(reminderFields(0, at(2026, 12, 8), at(2026, 12, 8),
                                          {{"BroadcastId", 77}, {"IAMAuthor", author ? 1 : 0}}));
        qint32 sentId = 0;
        const Deletion deletion = DeleteReminder(
            id, [answer] { return answer; },
            [&sentId](qint32 broadcastId) { sentId = broadcastId; });
        QCOMPARE(deletion, result);
        QCOMPARE(sentId, sent);
        QCOMPARE(reminderRow(id).isEmpty(), deletion == Deletion::Deleted);
        const auto local = [] { return NetworkDeletion::LocalOnly; };
        QCOMPARE(int(DeleteReminder(id, local, {})),
                 int(deletion == Deletion::Deleted ? Deletion::NotStored : Deletion::Deleted));
    }
};

QTEST_GUILESS_MAIN(ReminderRulesTest)
#include "tst_scheduling_rules.moc"
