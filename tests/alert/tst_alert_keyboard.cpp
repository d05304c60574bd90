// On a desktop of its own (Xvfb with a window manager that gives new windows the keyboard): an
// alert, and the notice of the undo after "מחק", come up without taking the keyboard from the
// window in use. The offscreen platform of the other tests activates every window it shows.
#include "alert/AlertPile.h"
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
        setAlertOpener([](qint32 id) { (new Remind)->RLoad(id); });
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
