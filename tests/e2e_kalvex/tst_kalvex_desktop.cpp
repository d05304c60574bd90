// Kalvex end to end on a desktop of its own (Xvfb): real windows, real
// close requests.
#include "Clock.h"
#include "E2eSession.h"
#include "KalvexBus.h"
#include "WindowCaptions.h"
#include "XDesktop.h"

#include <QProcess>
#include <QtTest>

class KalvexDesktopTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void closingTheManagerEndsItsModalWindowsFirst_data();
    void closingTheManagerEndsItsModalWindowsFirst();
    void shippedProgramsTakeNoPromptAnswersFromTheEnvironment();

private:
    QList<quint32> kalvexWindows() const
    {
        return m_desktop->topLevelWindows(QStringLiteral("Kalvex"));
    }

    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<E2eSession> m_s;
};

void KalvexDesktopTest::init()
{
    m_desktop = std::make_unique<XDesktop>();
    QString error;
    QVERIFY2(m_desktop->start(false, &error), qPrintable(error));
    E2eOptions options;
    options.platform = QStringLiteral("xcb");
    options.environment.insert(QStringLiteral("DISPLAY"), m_desktop->display());
    m_s = std::make_unique<E2eSession>(options);
    QVERIFY2(m_s->isReady(), qPrintable(m_s->error()));
}

void KalvexDesktopTest::cleanup()
{
    m_s.reset();
    m_desktop.reset();
}

void KalvexDesktopTest::closingTheManagerEndsItsModalWindowsFirst_data()
{
    // Test hook calls: a button to click, or "box=text" to type.
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("advanced options") << QStringList{"cmdAdvOpt"};
    // A new reminder without a title, stored as new: the message "יש להזין כותרת".
    QTest::newRow("message box") << QStringList{"cmdNew", "CCaption=", "cmdNew"};
}

// As Tolvane's exit command (or the end of the session) does while the user
// is in one of the manager's modal windows.
void KalvexDesktopTest::closingTheManagerEndsItsModalWindowsFirst()
{
    QFETCH(QStringList, steps);
    m_s->setEnvironmentValue(QStringLiteral("KV_PROMPT_LOG"), QString()); // real boxes
    m_s->addReminder(Clock::now().addDays(1));
    QProcess* kalvex = m_s->startProgram(QStringLiteral("Kalvex"));
    QVERIFY(E2eSession::waitFor([&] { return m_s->hasOwner(KalvexBus::serviceName); }));
    m_s->call(KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::interfaceName,
              QStringLiteral("ShowList"), {0});
    for (const QString& step : steps) {
        const QStringList typed = step.split(QLatin1Char('='));
        const QVariantList args(typed.cbegin(), typed.cend());
        QVERIFY(m_s->call(KalvexBus::serviceName, QStringLiteral("/TestHooks"),
                          QStringLiteral("Kalvex.TestHooks"),
                          typed.size() == 2 ? QStringLiteral("SetText") : QStringLiteral("Click"),
                          args, false)
                    .arguments()
                    .value(0)
                    .toBool());
    }
    QVERIFY(E2eSession::waitFor([&] { return kalvexWindows().size() == 2; }));

    QProcess request;
    request.setProcessEnvironment(m_s->environment());
    request.start(QStringLiteral(KV_CLOSE_WINDOW), {managerWindowCaption()});
    QVERIFY(request.waitForFinished(15000));
    QCOMPARE(request.exitCode(), 0); // the manager was closed when the request returned

    QVERIFY(E2eSession::waitFor([&] { return kalvex->state() == QProcess::NotRunning; }));
    QCOMPARE(kalvex->exitStatus(), QProcess::NormalExit);
    QCOMPARE(kalvex->exitCode(), 0);
    QCOMPARE(m_s->scalarSql(QStringLiteral("SELECT COUNT(*) FROM Main_tbl")).toInt(), 1);
    QCOMPARE(m_s->logLines(), QStringList());
}

// Only the test builds answer prompts from KV_PROMPT_LOG and the like.
void KalvexDesktopTest::shippedProgramsTakeNoPromptAnswersFromTheEnvironment()
{
    for (const char* program : {"Kalvex", "Tolvane"}) {
        QFile shipped(qEnvironmentVariable("KV_PROGRAM_BUILD_DIR") + '/' + program);
        QVERIFY(shipped.open(QIODevice::ReadOnly));
        QVERIFY2(!shipped.readAll().contains("KV_PROMPT_"), program);
    }
}

QTEST_MAIN(KalvexDesktopTest)
#include "tst_kalvex_desktop.moc"
