// The alert window on a real database file, found and clicked by control name.
#include "Beep.h"
#include "Clock.h"
#include "Database.h"
#include "DueCheck.h"
#include "Ini.h"
#include "Log.h"
#include "ProgramDir.h"
#include "Prompt.h"
#include "Queries.h"
#include "Recordset.h"
#include "Remind.h"
#include "Reminder.h"
#include "TempProgramDir.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QToolButton>
#include <QWindow>
#include <QtTest>

#include <optional>

namespace {

Date jan31(int hour, int minute, int second = 0)
{
    return Date::fromParts(2027, 1, 31, hour, minute, second);
}

// A daily or one-time reminder as the editor saves it.
qint32 addReminder(const Date& date, short eventType = EventOnce, short importance = 0,
                   std::optional<Date> next = {}, bool active = true)
{
    auto db = OpenReminderDb();
    db->exec(
        QStringLiteral("INSERT INTO Main_tbl (RCaption, RDetail, RDate, RNext, RImportance, "
                       "REventType, RActive, Adv_AdvOpt, Adv_Period, Adv_PeriodN, Adv_NoEnd) "
                       "VALUES ('ישיבת צוות', 'להביא את הדוח', %1, %2, %3, %4, %5, 0, 2, 1, 1)")
            .arg(date.serial(), 0, 'g', 17)
            .arg(next.value_or(date).serial(), 0, 'g', 17)
            .arg(importance)
            .arg(eventType)
            .arg(active ? 1 : 0));
    return qint32(db->lastInsertId());
}

struct Stored
{
    Date date, next;
    bool active;
};
std::optional<Stored> stored(qint32 id)
{
    auto db = OpenReminderDb();
    Snapshot rs(*db, Queries::byId(id));
    if (rs.recordCount() == 0)
        return std::nullopt;
    rs.moveFirst();
    return Stored{dateField(rs.value("RDate")), dateField(rs.value("RNext")),
                  rs.value("RActive").toBool()};
}

void removeRow(qint32 id)
{
    OpenReminderDb()->exec(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(id));
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
    QFile log(ProgramDir::file("Kalvex.log"));
    return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll()) : QString();
}

} // namespace

class TestRemind : public QObject
{
    Q_OBJECT
    std::optional<TempProgramDir> m_dir;
    int m_beeps = 0;

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
        const qint32 id = addReminder(jan31(10, 0), EventDaily, 2);
        Clock::setNow(jan31(10, 0, 30));
        Remind* window = open(id);
        QVERIFY(window);
        QCOMPARE(window->windowTitle(), "ישיבת צוות");
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(m_beeps, 1);
        QCOMPARE(text(window, "CTarget"), "31/01/2027 10:00");
        QCOMPARE(text(window, "CImportance"), "גבוהה");
        QCOMPARE(text(window, "CEventType"), EventTypeName(EventDaily));
        QCOMPARE(control<QComboBox>(window, "RDelay")->currentIndex(), 0);
        QVERIFY(!control<QLabel>(window, "ILate")->isVisible());
        QVERIFY(!control<QLabel>(window, "IPostpone")->isVisible());

        const auto icon = [this](int i) {
            return QImage(m_dir->file(QStringLiteral("RIcons/RIcon%1.bmp").arg(i)));
        };
        const QImage shown = control<QLabel>(window, "Image1")->pixmap().toImage();
        QCOMPARE(shown.convertToFormat(QImage::Format_RGB32),
                 icon(2).convertToFormat(QImage::Format_RGB32));
        QVERIFY(icon(2) != icon(0) && icon(2) != icon(1) && icon(0) != icon(1));
    }

    // A lost icon file costs the picture, not the alert.
    void missingIconStillAlerts()
    {
        QVERIFY(QDir(m_dir->file("RIcons")).removeRecursively());
        Remind* window = open(addReminder(jan31(10, 0)));
        QVERIFY(window);
        QCOMPARE(text(window, "CImportance"), "רגילה");
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
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
        const qint32 id = addReminder(jan31(10, 0), EventOnce, 0, next);
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
        QTest::newRow("30 minutes") << 3 << "30 דקות" << at(1, 31, 16, 50);
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
        const qint32 id = addReminder(jan31(16, 0), EventDaily, 0, {}, false);
        Clock::setNow(jan31(16, 20, 45));
        QPointer<Remind> window = open(id);
        QVERIFY(window);
        auto* delay = control<QComboBox>(window, "RDelay");
        delay->setCurrentIndex(position);
        QCOMPARE(delay->currentText(), choice);

        QTest::mouseClick(control<QPushButton>(window, "cmdDelay"), Qt::LeftButton);

        QTRY_VERIFY(window.isNull());
        QCOMPARE(stored(id)->next, next);
        QVERIFY(stored(id)->active);
        QCOMPARE(stored(id)->date, jan31(16, 0)); // not rescheduled
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
                nextSeenByList << stored(id)->next;
        });
        QPointer<Remind> window = open(id);
        QVERIFY(window);

        if (how == "Escape") // typed wherever the focus is
            QTest::keyClick(control<QComboBox>(window, "RDelay"), Qt::Key_Escape);
        else if (how == "closeBox")
            window->windowHandle()->close();
        else
            QTest::mouseClick(control<QPushButton>(window, how.toLatin1().constData()),
                              Qt::LeftButton);

        QTRY_VERIFY(window.isNull());
        QCOMPARE(stored(id)->next, tomorrow);
        QCOMPARE(stored(id)->date, tomorrow);
        QVERIFY(!IsShown(id));
        QCOMPARE(nextSeenByList, how == "cmdShowList" ? QList<Date>{tomorrow} : QList<Date>{});
    }

    void deleteRemovesWithoutAsking()
    {
        const qint32 id = addReminder(jan31(10, 0));
        QPointer<Remind> window = open(id);
        QVERIFY(window);
        QTest::mouseClick(control<QToolButton>(window, "cmdDelete"), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
        QVERIFY(!stored(id));
        QVERIFY(Prompt::history().isEmpty());
        QVERIFY2(logText().isEmpty(), qPrintable(logText())); // nothing sent, nothing failed
    }

    void reminderDeletedMeanwhile()
    {
        const qint32 id = addReminder(jan31(10, 0));
        QPointer<Remind> window = open(id);
        QVERIFY(window);
        removeRow(id);
        Prompt::setNextAnswer(Prompt::Answer::Ok);

        QTest::mouseClick(control<QPushButton>(window, "cmdDelay"), Qt::LeftButton);
        QCOMPARE(Prompt::history().size(), 1);
        QCOMPARE(Prompt::history()[0].text, "תזכורת נמחקה");
        QCOMPARE(Prompt::history()[0].title, "תזכורון ולטרום");
        QCOMPARE(Prompt::history()[0].icon, Prompt::Icon::Critical);
        QVERIFY(window && window->isVisible());

        // Dismissing it afterwards writes nothing back and frees its place.
        QTest::mouseClick(control<QPushButton>(window, "cmdExit"), Qt::LeftButton);
        QTRY_VERIFY(window.isNull());
        QVERIFY(!stored(id));
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
            QTest::mouseClick(control<QPushButton>(window, "cmdExit"), Qt::LeftButton);
        QTRY_VERIFY(alertWindows().isEmpty());
        QCOMPARE(stored(saved)->next, noon);
        QVERIFY(stored(saved)->active);
        QCOMPARE(
            db->scalar(
                  QStringLiteral("SELECT RActive FROM Main_tbl WHERE RMain_Id = %1").arg(unseen))
                .toInt(),
            1);
        QVERIFY(!IsShown(saved) && !IsShown(unseen));
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

        QTest::mouseClick(control<QPushButton>(windowA, "cmdExit"), Qt::LeftButton);
        QTRY_VERIFY(windowA.isNull());
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "010220271000");
        QVERIFY(windowB && windowB->isVisible());
    }
};

QTEST_MAIN(TestRemind)
#include "tst_remind.moc"
