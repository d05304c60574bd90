// Many due at once: a few alert windows, the rest rows of one list, on a real database file.
#include "alert/AlertList.h"
#include "alert/AlertPile.h"
#include "alert/AlertRows.h"
#include "alert/DueAlerts.h"
#include "alert/Remind.h"
#include "common/Ini.h"
#include "platform/ui/Beep.h"
#include "scheduling/CheckRemind.h"
#include "scheduling/ShownAlerts.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "tests/support/ReminderRows.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

namespace {

Date jan31(int h, int m)
{
    return Date::fromParts(2027, 1, 31, h, m);
}

// Due at 09:00 + i minutes; every other one daily, every third one of high importance.
QList<qint32> addDue(int count, int first = 0)
{
    QList<qint32> ids;
    for (int i = first; i < first + count; ++i) {
        const QVariantMap more{{"RCaption", QString("תזכורת %1").arg(i, 4, 10, QChar('0'))},
                               {"RImportance", i % 3 == 0 ? 2 : 0}};
        ids << insertReminder(reminderFields(i % 2 ? EventDaily : EventOnce,
                                             jan31(9, 0).addMinutes(i), jan31(9, 0).addMinutes(i),
                                             more));
    }
    return ids;
}

QList<Remind*> alertWindows()
{
    QList<Remind*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* r = qobject_cast<Remind*>(w); r && r->isVisible())
            found << r;
    return found;
}

QTableView* table()
{
    return AlertList::instance()->findChild<QTableView*>("List1");
}
QString cell(int row, int column)
{
    return table()->model()->index(row, column).data().toString();
}
int listed()
{
    return AlertList::instance() ? int(AlertList::listedIds().size()) : 0;
}
QList<qint32> sorted(QList<qint32> ids)
{
    return std::sort(ids.begin(), ids.end()), ids;
}

} // namespace

class TestAlertList : public QObject
{
    Q_OBJECT
    std::optional<SchedulingDir> m_dir;
    int m_beeps = 0;

    template <typename T = QAbstractButton> static T* control(const char* name)
    {
        return AlertList::instance()->findChild<T*>(QLatin1String(name));
    }
    static void choose(const QList<int>& rows)
    {
        table()->clearSelection();
        for (int row : rows)
            table()->selectionModel()->select(table()->model()->index(row, 0),
                                              QItemSelectionModel::Select |
                                                  QItemSelectionModel::Rows);
    }
    // A check of the due rows, until every one shows, the list's rows read.
    static void check(int shown)
    {
        CheckRemind();
        QTRY_COMPARE(AlertPile::instance().count(), shown);
        QTRY_COMPARE(AlertList::instance() ? table()->model()->rowCount() : 0, listed());
    }

private slots:
    void initTestCase()
    {
        setAlertOpener(&openDueAlert);
        setAlertBeepObserver([this] { ++m_beeps; });
    }
    void init()
    {
        m_dir.emplace(jan31(10, 5));
        QDir(ProgramDir::path()).mkdir("RIcons");
        const QDir icons(qEnvironmentVariable("KV_PROGRAM_BUILD_DIR") + "/RIcons");
        for (const QFileInfo& icon : icons.entryInfoList(QDir::Files))
            QVERIFY(QFile::copy(icon.filePath(), ProgramDir::file("RIcons/" + icon.fileName())));
        m_beeps = 0;
    }
    void cleanup()
    {
        AlertPile::instance().closeAll();
        QTRY_COMPARE(AlertPile::instance().count(), 0);
        QTRY_VERIFY(!AlertList::instance());
        QCOMPARE(logLines(), QStringList());
        m_dir.reset();
    }

    // Beyond five windows the rest are rows of one list on top, shown without the keyboard,
    // sorted by due time (or the column chosen); all count as shown; a window that closes
    // hands its place to the next reminder that falls due, not to a row.
    void beyondFiveWindowsOneList()
    {
        const QList<qint32> ids = addDue(8);
        const qint32 later = addDue(1, 100).first(); // due at 10:40
        check(8);
        QCOMPARE(alertWindows().size(), AlertPile::kMaxWindows);
        QCOMPARE(sorted(AlertList::listedIds()), ids.mid(5));
        for (qint32 id : ids)
            QVERIFY(IsShown(id));
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "310120271040");
        QCOMPARE(m_beeps, 6); // each window, and the list once
        AlertList* list = AlertList::instance();
        QVERIFY(list->isVisible());
        const QRect area = list->screen()->availableGeometry();
        QVERIFY(area.contains(list->frameGeometry()));
        for (const Remind* window : alertWindows())
            QVERIFY(area.contains(window->frameGeometry()));
        QVERIFY(list->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(list->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(list->layoutDirection(), Qt::RightToLeft);
        QCOMPARE(list->focusProxy(), table());
        QCOMPARE(list->windowTitle(), "תזכורות נוספות (3)");
        QCOMPARE(QStringList({cell(0, 0), cell(0, 1), cell(0, 2)}),
                 QStringList({"תזכורת 0005", "31/01/2027 09:05", "רגילה"}));
        QCOMPARE(cell(1, 2), "גבוהה");
        QCOMPARE(table()->model()->index(0, 1).data(Qt::ToolTipRole).toString(),
                 "כ\"ג בשבט תשפ\"ז");
        table()->sortByColumn(AlertRows::Importance, Qt::AscendingOrder);
        QCOMPARE(cell(0, 0), "תזכורת 0006");

        alertWindows().first()->close();
        QCOMPARE(listed(), 3);
        Clock::setNow(jan31(10, 45));
        check(8);
        QCOMPARE(alertWindows().size(), AlertPile::kMaxWindows);
        QVERIFY(IsShown(later));
        QCOMPARE(listed(), 3);
    }

    // The rows chosen close or postpone exactly as their alerts would: a one-time reminder
    // switched off, a daily one to its next day; "שעה" from now. One action for every alert,
    // windows and rows: "דחה הכל" of the list by its choice, the tray's by each one's own,
    // Shift+Escape closes all. A reminder deleted meanwhile leaves its row, and the list says so.
    void rowsChosenAndEveryAlertAtOnce()
    {
        const QList<qint32> ids = addDue(12);
        check(12); // rows: 0005 (daily), 0006 (once), 0007 (daily), 0008 (once) ... 0011
        choose({0, 1});
        control("cmdExit")->click();
        QCOMPARE(reminderDate(ids[5], "RNext"), Date::fromParts(2027, 2, 1, 9, 5));
        QCOMPARE(reminderRow(ids[6]).value("RActive").toBool(), false);
        control<QComboBox>("RDelay")->setCurrentIndex(4); // "שעה"
        choose({1});
        control("cmdDelay")->click();
        QCOMPARE(reminderDate(ids[8], "RNext"), jan31(11, 5));
        QCOMPARE(AlertList::listedIds(), (QList<qint32>{ids[7], ids[9], ids[10], ids[11]}));
        for (int i : {5, 6, 8})
            QVERIFY(!IsShown(ids[i]));
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "310120271105");

        auto db = OpenReminderDb();
        db->exec(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(ids[11]));
        QTRY_COMPARE(listed(), 3);
        QCOMPARE(control<QLabel>("LblState")->text(), "התזכורת \"תזכורת 0011\" נמחקה");
        control<QComboBox>("RDelay")->setCurrentIndex(1); // "10 דקות"
        control("cmdDelayAll")->click();
        QCOMPARE(AlertPile::instance().count(), 0);
        for (int i : {0, 1, 2, 3, 4, 7, 9, 10})
            QCOMPARE(reminderDate(ids[i], "RNext"), jan31(10, 15));

        Clock::setNow(jan31(11, 0));
        check(8);
        AlertPile::instance().postponeAll();                    // the tray's
        QCOMPARE(reminderDate(ids[0], "RNext"), jan31(11, 5));  // its window's "5 דקות"
        QCOMPARE(reminderDate(ids[10], "RNext"), jan31(11, 5)); // the list's, "5 דקות" again

        Clock::setNow(jan31(11, 10));
        check(9);
        QTest::keyClick(table(), Qt::Key_Escape, Qt::ShiftModifier);
        QCOMPARE(AlertPile::instance().count(), 0);
        QCOMPARE(reminderRow(ids[10]).value("RActive").toBool(), false);
        QCOMPARE(reminderDate(ids[9], "RNext"), Date::fromParts(2027, 2, 1, 9, 9));
    }

    // The list holds kMaxRows at most: the rest stay due, published, and are listed by a
    // later check once rows have gone.
    void theListIsBounded()
    {
        const int beyond = 3, due = AlertPile::kMaxWindows + AlertList::kMaxRows + beyond;
        const QList<qint32> ids = addDue(due);
        Clock::setNow(Date::fromParts(2027, 2, 2, 0, 0));
        check(due - beyond);
        QCOMPARE(control<QLabel>("LblState")->text(),
                 "הרשימה מלאה: תזכורות נוספות יוצגו כשיתפנה בה מקום");
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "010220270145"); // the first not listed
        choose({0, 1, 2, 3});
        control("cmdExit")->click();
        check(due - 4);
        for (qint32 id : ids.mid(ids.size() - beyond))
            QVERIFY(IsShown(id));
    }
};

QTEST_MAIN(TestAlertList)
#include "tst_alert_list.moc"
