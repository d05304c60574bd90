// The alert window on a real database file, found and clicked by control name.
#include "alert/AlertPile.h"
#include "alert/Remind.h"
#include "common/Ini.h"
#include "common/Log.h"
#include "platform/Clock.h"
#include "platform/ui/Beep.h"
#include "platform/ui/Prompt.h"
#include "platform/ui/UndoDelete.h"
#include "scheduling/DeletionUndo.h"
#include "scheduling/ShownAlerts.h"
#include "store/Reminder.h"
#include "store/ReminderDb.h"
#include "tests/support/PromptGuard.h"
#include "tests/support/ReminderRows.h"

#include <QtTest>
#include <QtWidgets>

#include <optional>

namespace {

qint32 addReminder(const Date& date, short eventType = EventOnce, std::optional<Date> next = {},
                   const QVariantMap& more = {})
{
    return insertReminder(reminderFields(eventType, date, next.value_or(date), more));
}

QList<Remind*> alertWindows(qint32 id = 0)
{
    QList<Remind*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* r = qobject_cast<Remind*>(w);
            r && (!id || (r->reminderId() == id && r->isVisible())))
            found << r;
    return found;
}

// The title each window had when it was first shown, that is, when it was mapped.
class FirstTitles : public QObject
{
public:
    QHash<QObject*, QString> titles;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show && !titles.contains(watched) && watched->isWidgetType())
            titles.insert(watched, static_cast<QWidget*>(watched)->windowTitle());
        return false;
    }
};

} // namespace

class TestRemind : public QObject
{
    Q_OBJECT
    std::optional<TempProgramDir> m_dir;
    int m_beeps = 0;

    static Date jan31(int h, int m, int s = 0) { return Date::fromParts(2027, 1, 31, h, m, s); }
    static Remind* open(qint32 id) { return ShowAlert(id), alertWindows(id).value(0); }
    template <typename T = QWidget> static T* control(QWidget* w, const char* name)
    {
        return w->findChild<T*>(QLatin1String(name));
    }

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
        installPromptGuard();
    }

    void init()
    {
        m_dir.emplace();
        QDir(m_dir->path()).mkdir("RIcons");
        const QDir icons(qEnvironmentVariable("KV_PROGRAM_BUILD_DIR") + "/RIcons");
        for (const QFileInfo& icon : icons.entryInfoList(QDir::Files))
            QVERIFY(QFile::copy(icon.filePath(), m_dir->file("RIcons/" + icon.fileName())));
        Prompt::clearHistory();
        Remind::setOpenInListHandler({});
        m_beeps = 0;
    }

    void cleanup()
    {
        for (Remind* r : alertWindows())
            r->close();
        QTRY_VERIFY(alertWindows().isEmpty());
        if (QWidget* notice = UndoDelete::notice())
            notice->close();
    }

    // On top, one beep, due time and icon; "late" past a minute, "postponed" while RNext
    // differs; a lost icon file costs the picture only.
    void showsTheReminderWithItsMarksAndIcon()
    {
        Clock::setNow(jan31(10, 1, 40));
        Remind* window = open(addReminder(jan31(10, 0), EventDaily, {}, {{"RImportance", 2}}));
        QVERIFY(window);
        QVERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(m_beeps, 1);
        QCOMPARE(control<QLineEdit>(window, "CTarget")->text(), "31/01/2027 10:00");
        QVERIFY(!control<QLabel>(window, "ILate")->isVisible());
        QVERIFY(!control<QLabel>(window, "IPostpone")->isVisible());
        const QImage icon = control<QLabel>(window, "Image1")->pixmap().toImage();
        QCOMPARE(icon.convertToFormat(QImage::Format_RGB32),
                 QImage(m_dir->file("RIcons/RIcon2.bmp")).convertToFormat(QImage::Format_RGB32));

        QVERIFY(QDir(m_dir->file("RIcons")).removeRecursively());
        window = open(addReminder(jan31(9, 0), EventOnce, jan31(9, 59, 59)));
        QVERIFY(window);
        QVERIFY(control<QLabel>(window, "ILate")->isVisible());
        QVERIFY(control<QLabel>(window, "IPostpone")->isVisible());
        QVERIFY(logLines().join('\n').contains(" -> RLoad: "));
    }

    // A title that starts with a Latin word or digits reads from the right too in the label; a
    // date stays. The window is named by it (as stored) already when it is first mapped.
    void theTitleReadsFromTheRightFromTheFirstShow_data()
    {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("shown");
        const QString mark(QChar(0x200F));
        QTest::newRow("Hebrew") << "ישיבה"
                                << "ישיבה";
        QTest::newRow("Latin first") << "Zoom עם הצוות" << mark + "Zoom עם הצוות";
        QTest::newRow("digits, Latin") << "2 Zoom" << mark + "2 Zoom";
        QTest::newRow("digits, Hebrew") << "3 ישיבות"
                                        << "3 ישיבות";
        QTest::newRow("a date") << "05/12/2026 14:30"
                                << "05/12/2026 14:30";
    }
    void theTitleReadsFromTheRightFromTheFirstShow()
    {
        QFETCH(QString, caption);
        QFETCH(QString, shown);
        FirstTitles first;
        qApp->installEventFilter(&first);
        Remind* window = open(addReminder(jan31(10, 0), EventOnce, {}, {{"RCaption", caption}}));
        qApp->removeEventFilter(&first);
        QVERIFY(window);
        QCOMPARE(first.titles.value(window), caption);
        QCOMPARE(control<QLabel>(window, "LblCaption")->text(), shown);
    }

    // Dismissing moves on (the list opens only after that); postponing counts from now in
    // whole minutes, clamps a month and switches on; "מחק" removes it unasked.
    void eachWayOut()
    {
        Clock::setNow(jan31(10, 5, 45));
        const Date tomorrow = Date::fromParts(2027, 2, 1, 10, 0), due = jan31(10, 0);
        const QList<std::tuple<QString, int, Date, Date, QString>> cases = {
            {"Escape", 0, tomorrow, tomorrow, "010220271000"},
            {"cmdShowList", 0, tomorrow, tomorrow, "010220271000"},
            {"cmdDelay", 0, jan31(10, 10), due, "310120271010"},
            {"cmdDelete", 0, {}, {}, "310120271010"}};
        QList<Date> nextSeenByList;
        Remind::setOpenInListHandler([&](qint32 listed) {
            if (!IsShown(listed))
                nextSeenByList << reminderDate(listed, "RNext");
        });
        for (const auto& [way, delay, next, date, published] : cases) {
            const qint32 id = addReminder(due, EventDaily, {}, {{"RActive", way != "cmdDelay"}});
            QPointer<Remind> window = open(id);
            QVERIFY(window);
            control<QComboBox>(window, "RDelay")->setCurrentIndex(delay);
            if (way == "Escape") // typed wherever the focus is
                QTest::keyClick(control<QComboBox>(window, "RDelay"), Qt::Key_Escape);
            else
                click(window, qPrintable(way));
            QTRY_VERIFY2(window.isNull(), qPrintable(way));
            QCOMPARE(reminderDate(id, "RNext"), next);
            QCOMPARE(reminderDate(id, "RDate"), date);
            QVERIFY(!IsShown(id));
            QCOMPARE(reminderRow(id).value("RActive").toBool(), way != "cmdDelete");
            QCOMPARE(ReadIni("Reminder", "NextDate", ""), published);
        }
        QCOMPARE(nextSeenByList, QList<Date>{tomorrow});
        QCOMPARE(Prompt::history().size(), 0);
        QCOMPARE(logLines(), QStringList());
    }

    // "מחק" deletes at once, at the recipients too when this user shared it; the notice's
    // "בטל מחיקה" stores the row again as it was and shares it again. Left alone, the notice
    // closes by itself and the deletion stays.
    void aDeletionFromTheAlertCanBeTakenBack_data()
    {
        QTest::addColumn<int>("author");
        QTest::addColumn<bool>("undone");
        QTest::addColumn<QList<qint32>>("dels");
        QTest::newRow("shared by me, undone") << 1 << true << QList<qint32>{-41};
        QTest::newRow("a received copy, undone") << 0 << true << QList<qint32>();
        QTest::newRow("shared by me, left alone") << 1 << false << QList<qint32>{-41};
    }
    void aDeletionFromTheAlertCanBeTakenBack()
    {
        QFETCH(int, author);
        QFETCH(bool, undone);
        QFETCH(QList<qint32>, dels);
        QList<qint32> sentDels, sentAgain;
        setSharingHooks({[&](qint32 id) { return sentDels << id, true; },
                         [&](qint32 id) { return sentAgain << id, true; }});
        UndoDelete::setShownMs(undone ? UndoDelete::kShownMs : 50);
        const qint32 id = addReminder(jan31(10, 0), EventDaily, {},
                                      {{"RCaption", "ישיבה"},
                                       {"IAMAuthor", author},
                                       {"BroadcastId", -41},
                                       {"RDetail", QVariant()}});
        const QVariantMap before = reminderRow(id);
        QPointer<Remind> window = open(id);
        click(window, "cmdDelete");
        QTRY_VERIFY(window.isNull());
        QCOMPARE(reminderRow(id), QVariantMap());
        QCOMPARE(sentDels, dels);
        if (undone) {
            QWidget* notice = UndoDelete::notice();
            QVERIFY(notice);
            QVERIFY(control<QLabel>(notice, "LblUndo")->text().contains("ישיבה"));
            click(notice, "cmdUndo");
        }
        QTRY_VERIFY(!UndoDelete::notice());
        QCOMPARE(reminderRow(id), undone ? before : QVariantMap());
        QCOMPARE(sentAgain, undone && author ? QList<qint32>{id} : QList<qint32>());
        QCOMPARE(Prompt::history().size(), 0);
        UndoDelete::setShownMs(UndoDelete::kShownMs);
        setSharingHooks({});
    }

    // Once the alert has the keyboard, its first focus is the postponement; Tab reaches every
    // other button before the trash, and neither Tab nor Shift+Tab from there lands on it.
    void theTrashIsFarFromTheFirstFocus()
    {
        QPointer<Remind> window = open(addReminder(jan31(10, 0)));
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QWidget* first = control(window, "RDelay");
        QCOMPARE(QApplication::focusWidget(), first);
        QStringList walked;
        do {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        } while (QApplication::focusWidget() != first && walked.size() < 30);
        const qsizetype trash = walked.indexOf("cmdDelete");
        for (const char* button : {"cmdDelay", "cmdShowList", "cmdExit"})
            QVERIFY2(walked.indexOf(button) < trash, qPrintable(walked.join(' ')));
        QVERIFY2(trash > 0, qPrintable(walked.join(' ')));
        QTest::keyClick(first, Qt::Key_Tab, Qt::ShiftModifier);
        QVERIFY(QApplication::focusWidget() != control(window, "cmdDelete"));
    }

    // Every choice of "תזכיר לי בעוד" in list order: its text, and where it moves the reminder,
    // counted from now without its seconds.
    void everyPostponementChoice()
    {
        Clock::setNow(jan31(10, 5, 45));
        const QStringList texts = {"5 דקות", "10 דקות", "15 דקות", "30 דקות", "שעה",  "שעתיים",
                                   "יום",    "יומיים",  "שבוע",    "שבועיים", "חודש", "חודשיים"};
        const QList<Date> moved = {
            jan31(10, 10),          jan31(10, 15),          jan31(10, 20),
            jan31(10, 35),          jan31(11, 5),           jan31(12, 5),
            at(2027, 2, 1, 10, 5),  at(2027, 2, 2, 10, 5),  at(2027, 2, 7, 10, 5),
            at(2027, 2, 14, 10, 5), at(2027, 2, 28, 10, 5), at(2027, 3, 31, 10, 5)};
        for (int i = 0; i < texts.size(); ++i) {
            const qint32 id = addReminder(jan31(10, 0));
            QPointer<Remind> window = open(id);
            QVERIFY(window);
            auto* delay = control<QComboBox>(window, "RDelay");
            QCOMPARE(delay->count(), texts.size());
            delay->setCurrentIndex(i);
            QCOMPARE(delay->currentText(), texts[i]);
            click(window, "cmdDelay");
            QTRY_VERIFY(window.isNull());
            QCOMPARE(reminderDate(id, "RNext"), moved[i]);
        }
    }

    // An open alert follows its reminder as stored: a change fills it again, without a beep,
    // and marks it; a deletion shows in it, also on postponing before it was noticed, and leaves
    // nothing to postpone or delete. Closing moves on only the occurrence shown: not a row
    // changed (noticed or not) or unreadable meanwhile; a deleted one is not written back, nor
    // shown again.
    void followsItsReminderWhileOpen()
    {
        Clock::setNow(jan31(10, 5));
        const qint32 moved = addReminder(jan31(10, 0), EventDaily),
                     renamed = addReminder(jan31(10, 0), EventDaily),
                     gone = addReminder(jan31(10, 0), EventDaily),
                     unseen = addReminder(jan31(10, 0)), saved = addReminder(jan31(10, 0));
        auto db = OpenReminderDb();
        db->exec(QStringLiteral("UPDATE Main_tbl SET RDate = 1e9 WHERE RMain_Id = %1").arg(unseen));
        const QPointer<Remind> windows[] = {open(moved), open(renamed), open(gone), open(unseen),
                                            open(saved)};
        for (Remind* window : windows)
            QVERIFY(window);
        QVERIFY(logLines().join('\n').contains(" -> RLoad: Overflow"));
        const int beeps = m_beeps;
        db->exec(QStringLiteral("UPDATE Main_tbl SET RDate = %1, RNext = %1 WHERE RMain_Id IN (%2, "
                                "%3)")
                     .arg(jan31(15, 0).serial(), 0, 'g', 17)
                     .arg(moved)
                     .arg(saved));
        db->exec(QStringLiteral("UPDATE Main_tbl SET RCaption = 'חדש' WHERE RMain_Id = %1")
                     .arg(renamed));
        db->exec(QStringLiteral("DELETE FROM Main_tbl WHERE RMain_Id = %1").arg(gone));
        click(windows[4], "cmdExit");  // before the windows heard of it
        click(windows[2], "cmdDelay"); // the same
        QCOMPARE(control<QLabel>(windows[2], "LblState")->text(), "התזכורת נמחקה");
        QVERIFY(windows[2]->isVisible());
        QTRY_COMPARE(control<QLineEdit>(windows[0], "CTarget")->text(), "31/01/2027 15:00");
        QTRY_COMPARE(control<QLabel>(windows[1], "LblCaption")->text(), "חדש");
        QCOMPARE(windows[1]->windowTitle(), "חדש");
        for (int i : {0, 1})
            QCOMPARE(control<QLabel>(windows[i], "LblState")->text(), "התזכורת עודכנה");
        for (const char* button : {"cmdDelay", "cmdDelete"})
            QTRY_VERIFY(!control(windows[2], button)->isEnabled());
        QCOMPARE(m_beeps, beeps);

        click(windows[0], "cmdExit"); // the others keep following
        QTRY_VERIFY(windows[0].isNull());
        db->exec(QStringLiteral("UPDATE Main_tbl SET RCaption = 'שוב' WHERE RMain_Id = %1")
                     .arg(renamed));
        QTRY_COMPARE(control<QLabel>(windows[1], "LblCaption")->text(), "שוב");
        for (Remind* window : {windows[1], windows[2], windows[3]})
            click(window, "cmdExit");
        QTRY_VERIFY(alertWindows().isEmpty());
        QCOMPARE(reminderDate(moved, "RNext"), jan31(15, 0));
        QCOMPARE(reminderDate(renamed, "RNext"), Date::fromParts(2027, 2, 1, 10, 0));
        QCOMPARE(reminderRow(gone), QVariantMap());
        for (qint32 id : {unseen, saved})
            QCOMPARE(reminderRow(id).value("RActive").toBool(), true);
        QCOMPARE(reminderDate(saved, "RNext"), jan31(15, 0));
        ShowAlert(gone);
        QTRY_VERIFY(alertWindows().isEmpty());
        for (qint32 id : {moved, renamed, gone, unseen, saved})
            QVERIFY(!IsShown(id));
        QCOMPARE(logLines().filter(" -> RLoad: Overflow"), logLines());
        QVERIFY(Prompt::history().isEmpty());
    }

    // After a weekend: alerts open in a cascade without taking the keyboard, their first
    // focus on the postponement. From two on each offers the pair: "דחה הכל" postpones every
    // one by this alert's choice, Shift+Escape closes every one as its own close does.
    void aPileOfAlertsIsHandledAtOnce()
    {
        Clock::setNow(jan31(10, 5, 45));
        const qint32 once = addReminder(jan31(9, 0)), daily = addReminder(jan31(9, 30), EventDaily);
        QPointer<Remind> first = open(once);
        QVERIFY(first->testAttribute(Qt::WA_ShowWithoutActivating));
        QCOMPARE(first->focusWidget(), control(first, "RDelay"));
        QVERIFY(control(first, "cmdCloseAll")->isHidden());
        QPointer<Remind> second = open(daily);
        const int step = AlertPile::kCascadeStepPx;
        QCOMPARE(second->pos(), first->pos() + QPoint(-step, step));
        for (const char* pair : {"cmdCloseAll", "cmdDelayAll"})
            QVERIFY2(control(first, pair)->isVisible(), pair);

        control<QComboBox>(second, "RDelay")->setCurrentIndex(4); // "שעה"
        click(second, "cmdDelayAll");
        QTRY_VERIFY(first.isNull());
        QTRY_VERIFY(second.isNull());
        for (qint32 id : {once, daily})
            QCOMPARE(reminderDate(id, "RNext"), jan31(11, 5));
        QCOMPARE(ReadIni("Reminder", "NextDate", ""), "310120271105");

        QPointer<Remind> typedIn = open(once);
        QVERIFY(open(daily));
        QTest::keyClick(typedIn, Qt::Key_Escape, Qt::ShiftModifier);
        QTRY_COMPARE(AlertPile::instance().count(), 0);
        QCOMPARE(reminderRow(once).value("RActive").toBool(), false);
        QCOMPARE(reminderDate(daily, "RNext"), Date::fromParts(2027, 2, 1, 9, 30));
        QCOMPARE(logLines(), QStringList());
    }

    // As many alerts as open as windows stay inside the screen with their title bars clear of
    // the next one, also after one was moved past the screen's bottom right corner.
    void aCascadeStaysInsideTheScreen()
    {
        Clock::setNow(jan31(10, 5, 45));
        const int moved = 1;
        QList<QPointer<Remind>> opened;
        for (int i = 0; i < AlertPile::kMaxWindows; ++i) {
            opened << open(addReminder(jan31(9, i)));
            if (i == moved) {
                const QRect area = opened.last()->screen()->availableGeometry();
                opened.last()->move(area.right() - 40, area.bottom() - 40);
            }
        }
        const int step = AlertPile::kCascadeStepPx;
        for (int i = 0; i < opened.size(); ++i) {
            const QRect area = opened[i]->screen()->availableGeometry();
            QVERIFY2(i == moved || area.contains(opened[i]->frameGeometry()),
                     qPrintable(QString::number(i)));
            if (i > 0 && i != moved && i != moved + 1) {
                const QRect titleBar(opened[i - 1]->pos(), QSize(opened[i - 1]->width(), step));
                QVERIFY2(!titleBar.intersects(opened[i]->frameGeometry()) ||
                             opened[i]->y() >= titleBar.bottom(),
                         qPrintable(QString::number(i)));
            }
        }
        AlertPile::instance().closeAll();
        QTRY_COMPARE(AlertPile::instance().count(), 0);
    }
};

QTEST_MAIN(TestRemind)
#include "tst_alert_remind.moc"
