// A window's bus name follows its title and goes with it (closing is tested end to end).
#include "platform/ui/WindowDirectory.h"
#include "tests/support/E2eSession.h"

#include <QTest>
#include <QWidget>

class WindowDirectoryTest : public QObject
{
    Q_OBJECT

private slots:
    void namesFollowTitlesAndLifetimes()
    {
        E2eSession session(E2eOptions{.programs = {}});
        QVERIFY2(session.isReady(), qPrintable(session.error()));
        qputenv("DBUS_SESSION_BUS_ADDRESS", session.busAddress().toUtf8());
        const auto owned = [&](const QString& title) {
            return session.hasOwner(WindowDirectory::busNameFor(title));
        };
        const QString longTitle(200, QChar(0x05D0)); // longer than a bus name can spell out
        auto window = std::make_unique<QWidget>();
        window->setWindowTitle(QStringLiteral("תזכורון ולטרום"));
        QVERIFY(WindowDirectory::publish(window.get()));
        QVERIFY(owned(QStringLiteral("תזכורון ולטרום")));
        window->setWindowTitle(longTitle);
        QVERIFY(owned(longTitle));
        QVERIFY(!owned(QString(199, QChar(0x05D0))));
        QVERIFY(!owned(QStringLiteral("תזכורון ולטרום")));
        window.reset();
        QVERIFY(!owned(longTitle));
    }
};

QTEST_MAIN(WindowDirectoryTest)
#include "tst_windowdirectory.moc"
