// The alert window on a real database file, found and clicked by control name.
#include "Beep.h"
#include "Clock.h"
#include "Database.h"
#include "DueCheck.h"
#include "Ini.h"
#include "Log.h"
#include "Prompt.h"
#include "Remind.h"
#include "Reminder.h"
#include "ReminderRows.h"
#include "TempProgramDir.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QWindow>
#include <QtTest>

#include <optional>

namespace {

Date jan31(int hour, int minute, int second = 0)
{
    return Date::fromParts(2027, 1, 31, hour, minute, second);
}

qint32 addReminder(const Date& date, short eventType = EventOnce, std::optional<Date> next = {},
                   const QVariantMap& more = {})
{
    return insertReminder(reminderFields(eventType, date, next.value_or(date), more));
}

QList<Remind*> alertWindows()
{
    QList<Remind*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* r = qobject_cast<Remind*>(w))
            found << r;
    return found;
}

// Opens the alert as the due check does.
Remind* open(qint32 id)
{
    ShowAlert(id);
    for (Remind* r : alertWindows())
        if (r->reminderId() == id && r->isVisible())
            return r;
    return nullptr;
}

template <typename T> T* control(QWidget* window, const char* name)
{
    T* child = window->findChild<T*>(QString::fromLatin1(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}
QString text(QWidget* window, const char* name)
{
    return control<QLineEdit>(window, name)->text();
}

QString logText()
{
    return logLines().join('\n');
}

} // namespace

class TestRemind : public QObject
{
    Q_OBJECT
    std::optional<TempProgramDir> m_dir;
    int m_beeps = 0;

    void click(QWidget* window, const char* button)
    {
        QTest::mouseClick(control<QAbstractButton>(window, button), Qt::LeftButton);
    }

private slots:
    void initTestCase()
    {
        setAlertOpener([](qint32 id) { (new Remind)->RLoad(id); });
        setAlertBeepObserver([this] { ++m_beeps; });
        StartLogging("Kalvex.log");
    }

    void init()
    {
        m_dir.emplace();
        const QDir icons(qEnvironmentVariable("KV_PROGRAM_BUILD_DIR") + "/RIcons");
        QDir(m_dir->path()).mkdir("RIcons");
        for (int i = 0; i < 3; ++i) {
            const QString name = QStringLiteral("RIcon%1.bmp").arg(i);
            QVERIFY(QFile::copy(icons.filePath(name), m_dir->file("RIcons/" + name)));
        }
        Clock::setNow(jan31(10, 5));
        Prompt::clearHistory();
        Remind::setOpenInListHandler({});
        m_beeps = 0;
    }

    void cleanup()
    {
        for (Remind* r : alertWindows())
            r->close();
        QTRY_VERIFY(alertWindows().isEmpty());
        m_dir.reset();
    }

    void showsTheReminderOnTopWithItsIcon()
    {
        const qint32 id = addReminder(jan31(10, 0), EventDaily, {}, {{"RImportance", 2}});
        Clock::setNow(jan31(10, 0, 30));
        Remind* window = open(id);
        QVERIFY(window);
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(m_beeps, 1);
        QCOMPARE(text(window, "CTarget"), "31/01/2027 10:00");
        QCOMPARE(text(window, "CImportance"), "גבוהה");

        const auto icon = [this](int i) {
            return QImage(m_dir->file(QStringLiteral("RIcons/RIcon%1.bmp").arg(i)))
                .convertToFormat(QImage::Format_RGB32);
        };
        const QImage shown = control<QLabel>(window, "Image1")->pixmap().toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), icon(2));
        QVERIFY(icon(2) != icon(0) && icon(2) != icon(1));
    }

    // A lost icon file costs the picture, not the alert.
    void missingIconStillAlerts()
    {
        QVERIFY(QDir(m_dir->file("RIcons")).removeRecursively());
        Remind* window = open(addReminder(jan31(10, 0)));
        QVERIFY(window && window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(m_beeps, 1);
        QVERIFY(logText().contains(" -> RLoad: "));
    }

    void lateAndPostponedMarks_data()
    {
        QTest::addColumn<Date>("next");
        QTest::addColumn<Date>("now");
        QTest::addColumn<bool>("late");
        QTest::addColumn<bool>("postponed");
        QTest::newRow("10:01:40") << jan31(10, 0) << jan31(10, 1, 40) << false << false;
        QTest::newRow("10:02:00") << jan31(10, 0) << jan31(10, 2, 0) << true << false;
        QTest::newRow("postponed") << jan31(10, 30) << jan31(10, 30, 50) << false << true;
    }
    void lateAndPostponedMarks()
    {
        QFETCH(Date, next);
        QFETCH(Date, now);
        QFETCH(bool, late);
        QFETCH(bool, postponed);
        const qint32 id = addReminder(jan31(10, 0), EventOnce, next);
        Clock::setNow(now);
        Remind* window = open(id);
        QVERIFY(window);
        QCOMPARE(control<QLabel>(window, "ILate")->isVisible(), late);
        QCOMPARE(control<QLabel>(window, "IPostpone")->isVisible(), postponed);
        if (postponed)
            QCOMPARE(control<QLabel>(window, "IPostpone")->toolTip(), "נדחה ל- 31/01/2027 10:30");
        QCOMPARE(text(window, "CTarget"), "31/01/2027 10:00");
    }

    void postponeChoices_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("choice");
        QTest::addColumn<Date>("next");
        const auto at = [](int month, int day, int hour, int minute) {
            return Date::fromParts(2027, month, day, hour, minute);
        };
        QTest::newRow("5 minutes") << 0 << "5 דקות" << at(1, 31, 16, 25);
        QTest::newRow("hour") << 4 << "שעה" << at(1, 31, 17, 20);
        QTest::newRow("day") << 6 << "יום" << at(2, 1, 16, 20);
        QTest::newRow("week") << 8 << "שבוע" << at(2, 7, 16, 20);
        QTest::newRow("month") << 10 << "חודש" << at(2, 28, 16, 20);
        QTest::newRow("two months") << 11 << "חודשיים" << at(3, 31, 16, 20);
    }
    void postponeChoices()
    {
        QFETCH(int, position);
        QFETCH(QString, choice);
        QFETCH(Date, next);
        // Inactive beforehand: postponing must switch it on.
        const qint32 id = addReminder(jan31(16, 0), EventDaily, {}, {{"RActive", 0}});
        Clock::setNow(jan31(16, 20, 45));
        QPointer<Remind> window = open(id);
        QVERIFY(window);
        auto* delay = control<QComboBox>(window, "RDelay");
        delay->setCurrentIndex(position);
        QCOMPARE(delay->currentText(), choice);
        click(window, "cmdDelay");
        QTRY_VERIFY(window.isNull());
        QCOMPARE(reminderDate(id, "RNext"), next);
        QCOMPARE(reminderDate(id, "RDate"), jan31(16, 0)); // not rescheduled
        QCOMPARE(reminderRow(id).value("RActive").toInt(), 1);
        QVERIFY(!IsShown(id));
    }

    // Every other way out moves a daily reminder on to tomorrow.
    void dismissingReschedules_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("יציאה") << "cmdExit";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("close box") << "closeBox";
        QTest::newRow("פתח ברשימה") << "cmdShowList";
    }
    void dismissingReschedules()
    {
        QFETCH(QString, how);
        const qint32 id = addReminder(jan31(10, 0), EventDaily);
        const Date tomorrow = Date::fromParts(2027, 2, 1, 10, 0);
        QList<Date> nextSeenByList; // the list opens after the window has closed
        Remind::setOpenInListHandler([&](qint32 listed) {
            if (listed == id && !IsShown(id))
                nextSeenByList << reminderDate(id, "RNext");
        });
        QPointer<Remind> window = open(id);
        QVERIFY(window);

        if (how == "Escape") // typed wherever the focus is
            QTest::keyClick(control<QComboBox>(window, "RDelay"), Qt::Key_Escape);
        else if (how == "closeBox")
            window->windowHandle()->close();
        else
            click(window, how.toLatin1().constData());

        QTRY_VERIFY(window.isNull());
        QCOMPARE(reminderDate(id, "RNext"), tomorrow);
        QCOMPARE(reminderDate(id, "RDate"), tomorrow);
        QVERIFY(!IsShown(id));
        QCOMPARE(nextSeenByList, how == "cmdShowList" ? QList<Date>{tomorrow} : QList<Date>{});
    }

    void deleteRemovesWithoutAsking()
    {
        const qint32 id = addReminder(jan31(10, 0));
        QPointer<Remind> window = open(id);
        QVERIFY(window);
        click(window, "cmdDelete");
        QTRY_VERIFY(window.isNull());
        QVERIFY(reminderRow(id).isEmpty());
        QVERIFY(Prompt::history().isEmpty());
        QVERIFY2(logText().isEmpty(), qPrintable(logText())); // nothing sent, nothing failed
    }

    void reminderDeletedMeanwhile()
    {
        const qint32 id = addReminder(jan31(10, 0));
        QPointer<Remind> window = open(id);
        QVERIFY(window);
        OpenReminderDb()->exec(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(id));
        Prompt::setNextAnswer(Prompt::Answer::Ok);
        click(window, "cmdDelay");
        QCOMPARE(Prompt::history().size(), 1);
        QCOMPARE(Prompt::history()[0].text, "תזכורת נמחקה");
        QVERIFY(window && window->isVisible());

        // Dismissing it afterwards writes nothing back and frees its place.
        click(window, "cmdExit");
        QTRY_VERIFY(window.isNull());
        QVERIFY(reminderRow(id).isEmpty());
        QVERIFY(!IsShown(id));

        // Gone before its window loads: nothing shown, nothing held.
        ShowAlert(id);
        QTRY_VERIFY(alertWindows().isEmpty());
        QVERIFY(!IsShown(id));
        QCOMPARE(m_beeps, 1);
    }

    // Closing moves a reminder on only from what its window showed: not one
    // the manager saved with a new date meanwhile, nor one the window could
    // not load (its due date lies beyond the date range).
    void closingLeavesAChangedOrUnseenRowAlone()
    {
        const qint32 saved = addReminder(jan31(10, 0));
        const qint32 unseen = addReminder(jan31(10, 0));
        auto db = OpenReminderDb();
        db->exec(QStringLiteral("UPDATE Main_tbl SET RDate = 1e9 WHERE RMain_Id = %1").arg(unseen));
        QPointer<Remind> windows[] = {open(saved), open(unseen)};
        QVERIFY(windows[0] && windows[1]);
        QVERIFY(logText().contains(" -> RLoad: Overflow"));
        const Date noon = jan31(12, 0);
        db->exec(QStringLiteral("UPDATE Main_tbl SET RDate = %1, RNext = %1 WHERE RMain_Id = %2")
                     .arg(noon.serial(), 0, 'g', 17)
                     .arg(saved));

        for (Remind* window : windows)
            click(window, "cmdExit");
        QTRY_VERIFY(alertWindows().isEmpty());
        QCOMPARE(reminderDate(saved, "RNext"), noon);
        for (qint32 id : {saved, unseen}) {
            QCOMPARE(reminderRow(id).value("RActive").toInt(), 1);
            QVERIFY(!IsShown(id));
        }
    }

    // The published time skips reminders on screen, before and after a close.
    void closingOneOfTwoRepublishesWithoutTheOther()
    {
        const qint32 a = addReminder(jan31(10, 0), EventDaily);
        const qint32 b = addReminder(jan31(10, 3));
        QPointer<Remind> windowA = open(a);
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "310120271003");
        QPointer<Remind> windowB = open(b);
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "NULL");

        click(windowA, "cmdExit");
        QTRY_VERIFY(windowA.isNull());
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "010220271000");
        QVERIFY(windowB && windowB->isVisible());
    }
};

QTEST_MAIN(TestRemind)
#include "tst_alert_remind.moc"
