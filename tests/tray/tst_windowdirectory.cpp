// The window directory on a private session bus: names follow the windows'
// titles and lives, and a close request from another process is synchronous.
#include "E2eSession.h"
#include "WindowDirectory.h"

#include <QApplication>
#include <QCloseEvent>
#include <QProcess>
#include <QTest>
#include <QWidget>

namespace {

class Window : public QWidget
{
public:
    Window(const QString& title, int* closeRequests = nullptr, bool acceptsClose = true)
        : m_closeRequests(closeRequests), m_accepts(acceptsClose)
    {
        setWindowTitle(title);
    }

protected:
    void closeEvent(QCloseEvent* event) override
    {
        if (m_closeRequests)
            ++*m_closeRequests;
        event->setAccepted(m_accepts);
    }

private:
    int* m_closeRequests;
    bool m_accepts;
};

} // namespace

class WindowDirectoryTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase() { m_session.reset(); }
    void namesFollowTitlesAndLifetimes();
    void sameTitleStaysFoundUntilTheLastWindowGoes();
    void closeFromAnotherProcessReturnsAfterTheWindowHandledIt();

private:
    bool owned(const QString& title) const
    {
        return m_session->hasOwner(WindowDirectory::busNameFor(title));
    }
    int closeFromOutside(const QString& title);

    std::unique_ptr<E2eSession> m_session;
};

void WindowDirectoryTest::initTestCase()
{
    E2eOptions options;
    options.programs = {};
    m_session = std::make_unique<E2eSession>(options);
    QVERIFY2(m_session->isReady(), qPrintable(m_session->error()));
    // Before anything in this process touches the session bus.
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_session->busAddress().toUtf8());
}

void WindowDirectoryTest::namesFollowTitlesAndLifetimes()
{
    auto* window = new Window(QStringLiteral("תזכורון ולטרום"));
    QVERIFY(WindowDirectory::publish(window));
    QVERIFY(owned(QStringLiteral("תזכורון ולטרום")));
    QVERIFY(!owned(QStringLiteral("תזכורון")));

    window->setWindowTitle(QStringLiteral("Veltrum Reminder Main Form"));
    QVERIFY(!owned(QStringLiteral("תזכורון ולטרום")));
    QVERIFY(owned(QStringLiteral("Veltrum Reminder Main Form")));

    // Longer than a bus name can spell out.
    const QString longTitle = QString(200, QChar(0x05D0));
    window->setWindowTitle(longTitle);
    QVERIFY(WindowDirectory::busNameFor(longTitle).size() <= 255);
    QVERIFY(owned(longTitle));
    QVERIFY(!owned(QString(199, QChar(0x05D0))));

    delete window;
    QVERIFY(!owned(longTitle));
}

void WindowDirectoryTest::sameTitleStaysFoundUntilTheLastWindowGoes()
{
    const QString title = QStringLiteral("תזכורת ולטרום");
    auto* first = new Window(title);
    auto* second = new Window(title);
    WindowDirectory::publish(first);
    WindowDirectory::publish(second);
    delete second;
    QVERIFY(owned(title));
    QVERIFY(WindowDirectory::exists(title));
    delete first;
    QVERIFY(!owned(title));
    QVERIFY(!WindowDirectory::exists(title));
}

// Runs CloseWindow while this process keeps serving the bus.
int WindowDirectoryTest::closeFromOutside(const QString& title)
{
    QProcess request;
    request.setProcessEnvironment(m_session->environment());
    request.start(QStringLiteral(KV_CLOSE_WINDOW), {title});
    E2eSession::waitFor([&] { return request.state() == QProcess::NotRunning; }, 30000);
    return request.exitStatus() == QProcess::NormalExit ? request.exitCode() : -1;
}

void WindowDirectoryTest::closeFromAnotherProcessReturnsAfterTheWindowHandledIt()
{
    // A window that refuses the request is still there afterwards.
    int refused = 0;
    Window stubborn(QStringLiteral("עקשן"), &refused, false);
    WindowDirectory::publish(&stubborn);
    QCOMPARE(closeFromOutside(QStringLiteral("עקשן")), 1);
    QCOMPARE(refused, 1);

    // One that goes away on close is gone from the bus by the time the
    // request returns, hidden or not.
    int accepted = 0;
    QPointer<Window> leaving = new Window(QStringLiteral("Veltrum Reminder Main Form"), &accepted);
    leaving->setAttribute(Qt::WA_DeleteOnClose);
    WindowDirectory::publish(leaving);
    QCOMPARE(closeFromOutside(QStringLiteral("Veltrum Reminder Main Form")), 0);
    QCOMPARE(accepted, 1);
    QTRY_VERIFY(!leaving);

    QCOMPARE(closeFromOutside(QStringLiteral("אין כזה")), 0);
}

QTEST_MAIN(WindowDirectoryTest)
#include "tst_windowdirectory.moc"
