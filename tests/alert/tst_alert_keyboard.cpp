// On a desktop of its own (Xvfb, 1024×768, with a window manager that frames windows and gives
// new ones the keyboard): an alert, and the notice of the undo after "מחק", come up without
// taking the keyboard from the window in use, and a pile of alerts leaves every title bar in
// sight. The offscreen platform of the other tests activates every window it shows.
#include "alert/AlertList.h"
#include "alert/AlertPile.h"
#include "alert/DueAlerts.h"
#include "alert/Remind.h"
#include "platform/ui/Beep.h"
#include "platform/ui/UndoDelete.h"
#include "scheduling/ShownAlerts.h"
#include "tests/support/PromptGuard.h"
#include "tests/support/ReminderRows.h"
#include "tests/support/XDesktop.h"

#include <QtTest>
#include <QtWidgets>

namespace {

const XDesktop* g_desktop = nullptr;

// Whether the window was ever activated.
class Activations : public QObject
{
public:
    QSet<QObject*> activated;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::WindowActivate)
            activated << watched;
        return false;
    }
};

} // namespace

class TestAlertKeyboard : public QObject
{
    Q_OBJECT
    std::optional<SchedulingDir> m_dir;

    // Once the window manager shows the window (by its title) on the desktop.
    static bool onDesktop(const QWidget* window, int timeoutMs = 10000)
    {
        return QTest::qWaitFor(
            [&] { return !g_desktop->clientsTitled(window->windowTitle()).isEmpty(); }, timeoutMs);
    }
    // Shows a window and gives it the keyboard by the user's click; once it has it, the window
    // manager has handled every window mapped before it. The window stands in the top left
    // corner, where the click cannot land on an alert, which stays on top in the middle.
    static bool activatedAfter(QWidget& next, const QString& title, int timeoutMs = 10000)
    {
        next.setWindowTitle(title);
        next.setGeometry(QRect(40, 40, 200, 120));
        next.show();
        return onDesktop(&next, timeoutMs) && g_desktop->click(quint32(next.winId()), 1) &&
               QTest::qWaitForWindowActive(&next, timeoutMs);
    }

private slots:
    void initTestCase()
    {
        setAlertOpener(openDueAlert);
        setAlertBeepObserver([] {});
        installPromptGuard();
        m_dir.emplace(at(2027, 1, 31, 10, 5));
        // A window mapped while the window manager is still starting may stay unshown: the
        // first is shown again until the manager has taken it.
        QWidget first;
        bool settled = false;
        for (int tries = 0; tries < 10 && !settled; ++tries) {
            first.hide();
            settled = activatedAfter(first, "first", 1000);
        }
        QVERIFY(settled);
    }

    void neitherTheAlertNorItsNoticeTakesTheKeyboard()
    {
        QWidget inUse;
        QVERIFY(activatedAfter(inUse, "in use"));
        Activations seen;
        qApp->installEventFilter(&seen);
        ShowAlert(
            insertReminder(reminderFields(0, at(2027, 1, 31, 10, 0), at(2027, 1, 31, 10, 0))));
        QWidget* alert = AlertPile::instance().alerts().value(0);
        QVERIFY(alert);
        QVERIFY(onDesktop(alert));
        QWidget probe;
        QVERIFY(activatedAfter(probe, "probe"));
        QVERIFY(!seen.activated.contains(alert));

        probe.close();
        QVERIFY(activatedAfter(inUse, "in use"));
        QTest::mouseClick(alert->findChild<QToolButton*>("cmdDelete"), Qt::LeftButton);
        QWidget* notice = UndoDelete::notice();
        QVERIFY(notice);
        QVERIFY(onDesktop(notice));
        QWidget after;
        QVERIFY(activatedAfter(after, "after"));
        QVERIFY(!seen.activated.contains(notice));
        notice->close();
    }

    // Twelve due at once after a weekend: the alert windows and the list of the rest, framed
    // by the window manager, all inside the screen, and no title bar covered by a window
    // opened after it (they all stay on top, the latest above).
    void twelveAlertsStayInsideTheScreenWithEveryTitleBarInSight()
    {
        for (int i = 0; i < 12; ++i)
            ShowAlert(
                insertReminder(reminderFields(0, at(2027, 1, 31, 9, i), at(2027, 1, 31, 9, i),
                                              {{"RCaption", QStringLiteral("תזכורת %1").arg(i)}})));
        QList<QWidget*> windows;
        for (PiledAlert* alert : AlertPile::instance().alerts())
            windows << alert;
        windows << AlertList::instance();
        QCOMPARE(windows.size(), AlertPile::kMaxWindows + 1);
        const QRect screen(0, 0, 1024, 768);
        QCOMPARE(windows[0]->screen()->geometry(), screen);
        for (int i = 0; i < windows.size(); ++i) {
            QWidget* window = windows[i];
            QVERIFY(onDesktop(window));
            QTRY_VERIFY(window->frameGeometry().top() < window->geometry().top());
            QVERIFY2(screen.contains(window->frameGeometry()), qPrintable(window->windowTitle()));
            const QRect frame = window->frameGeometry();
            const QRect titleBar(frame.topLeft(),
                                 QSize(frame.width(), window->geometry().top() - frame.top()));
            for (QWidget* later : windows.mid(i + 1))
                QVERIFY2(!titleBar.intersects(later->frameGeometry()),
                         qPrintable(window->windowTitle() + " / " + later->windowTitle()));
        }
        AlertPile::instance().closeAll();
        QTRY_COMPARE(AlertPile::instance().count(), 0);
    }
};

// The desktop is up before the application connects to it.
int main(int argc, char* argv[])
{
    XDesktop desktop;
    QString error;
    if (!desktop.start(false, &error) || !desktop.startWindowManager(&error)) {
        qCritical("%s", qPrintable(error));
        return 1;
    }
    g_desktop = &desktop;
    qputenv("DISPLAY", desktop.display().toUtf8());
    qputenv("QT_QPA_PLATFORM", "xcb");
    QApplication app(argc, argv);
    TestAlertKeyboard test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_alert_keyboard.moc"
