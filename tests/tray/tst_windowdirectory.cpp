// The window directory on a private session bus: a window's bus name follows
// its title and goes with it. Closing across processes is exercised end to end.
#include "E2eSession.h"
#include "WindowDirectory.h"

#include <QTest>
#include <QWidget>

class WindowDirectoryTest : public QObject
{
    Q_OBJECT

private slots:
    void namesFollowTitlesAndLifetimes();
};

void WindowDirectoryTest::namesFollowTitlesAndLifetimes()
{
    E2eOptions options;
    options.programs = {};
    E2eSession session(options);
    QVERIFY2(session.isReady(), qPrintable(session.error()));
    qputenv("DBUS_SESSION_BUS_ADDRESS", session.busAddress().toUtf8());
    const auto owned = [&](const QString& title) {
        return session.hasOwner(WindowDirectory::busNameFor(title));
    };

    auto* window = new QWidget;
    window->setWindowTitle(QStringLiteral("תזכורון ולטרום"));
    QVERIFY(WindowDirectory::publish(window));
    QVERIFY(owned(QStringLiteral("תזכורון ולטרום")));

    window->setWindowTitle(QStringLiteral("Veltrum Reminder Main Form"));
    QVERIFY(!owned(QStringLiteral("תזכורון ולטרום")));

    // Longer than a bus name can spell out.
    const QString longTitle(200, QChar(0x05D0));
    window->setWindowTitle(longTitle);
    QVERIFY(owned(longTitle));
    QVERIFY(!owned(QString(199, QChar(0x05D0))));

    delete window;
    QVERIFY(!owned(longTitle));
}

QTEST_MAIN(WindowDirectoryTest)
#include "tst_windowdirectory.moc"
