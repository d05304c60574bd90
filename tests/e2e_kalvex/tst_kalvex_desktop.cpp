// Kalvex end to end on a desktop of its own (Xvfb): real windows, real
// close requests.
#include "Clock.h"
#include "E2eSession.h"
#include "KalvexBus.h"
#include "ServerLifetime.h"
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
    void aCopiedListStaysOnTheClipboardAfterTheManagerCloses();

private:
    QList<quint32> kalvexWindows() const
    {
        return m_desktop->topLevelWindows(QStringLiteral("Kalvex"));
    }

    // xclip on the test's desktop: the clipboard's text, or a process that
    // holds the clipboard with a text until another program takes it.
    QString readClipboard() const;
    void holdClipboard(QProcess& xclip, const QString& text) const;

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

QString KalvexDesktopTest::readClipboard() const
{
    QProcess xclip;
    xclip.setProcessEnvironment(m_s->environment());
    xclip.start("xclip", {"-selection", "clipboard", "-target", "UTF8_STRING", "-o"});
    xclip.waitForFinished(10000);
    return QString::fromUtf8(xclip.readAllStandardOutput());
}

void KalvexDesktopTest::holdClipboard(QProcess& xclip, const QString& text) const
{
    xclip.setProcessEnvironment(m_s->environment());
    xclip.start("xclip", {"-selection", "clipboard", "-quiet", "-i"});
    xclip.write(text.toUtf8());
    xclip.closeWriteChannel();
}

// On X11 the text lives with the program that owns the clipboard: Kalvex
// keeps serving after its last window closes, until another program takes
// the clipboard. (The text itself is the manager tests'.)
void KalvexDesktopTest::aCopiedListStaysOnTheClipboardAfterTheManagerCloses()
{
    m_s->addReminder(Date::fromParts(2026, 4, 1, 9, 30), QStringLiteral("פגישה"));
    QProcess before;
    holdClipboard(before, QStringLiteral("before"));
    QTRY_COMPARE(readClipboard(), QStringLiteral("before"));

    QProcess* kalvex = m_s->startProgram(QStringLiteral("Kalvex"));
    QVERIFY(E2eSession::waitFor([&] { return m_s->hasOwner(KalvexBus::serviceName); }));
    m_s->call(KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::interfaceName,
              QStringLiteral("ShowList"), {0});
    QTRY_VERIFY(
        m_desktop->windowsTitled(managerWindowCaption()).contains(m_desktop->focusedWindow()));
    // "העתק רשימה" of the menu "&עריכה", from the keyboard.
    QVERIFY(m_desktop->keys({"alt+hebrew_ayin", "Down", "Down", "Down", "Return"}));
    QTRY_VERIFY_WITH_TIMEOUT(readClipboard().contains("\r\n01/04/2026 09:30\t"), 10000);
    const QString copied = readClipboard();
    QTRY_VERIFY(before.state() == QProcess::NotRunning); // it lost the clipboard

    QCOMPARE(m_s->call(KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::debugInterfaceName,
                       QStringLiteral("CloseWindows"), {QStringLiteral("RMain")}, false)
                 .arguments()
                 .value(0),
             1);
    QVERIFY(!E2eSession::waitFor([&] { return kalvex->state() == QProcess::NotRunning; },
                                 2 * ServerLifetime::kIdleGraceMs + 500));
    QCOMPARE(readClipboard(), copied);

    QProcess after;
    holdClipboard(after, QStringLiteral("after"));
    QVERIFY(E2eSession::waitFor([&] { return kalvex->state() == QProcess::NotRunning; }));
    QCOMPARE(kalvex->exitCode(), 0);
    QCOMPARE(m_s->logLines(), QStringList());
}

QTEST_MAIN(KalvexDesktopTest)
#include "tst_kalvex_desktop.moc"
