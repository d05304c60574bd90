// Kalvex on a desktop of its own (Xvfb): real windows, close requests, clipboard.
#include "Clock.h"
#include "E2eSession.h"
#include "KalvexBus.h"
#include "ServerLifetime.h"
#include "TestFiles.h"
#include "WindowCaptions.h"
#include "XDesktop.h"

#include <QProcess>
#include <QtTest>

class KalvexDesktopTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<XDesktop> m_desktop;
    std::unique_ptr<E2eSession> m_s;

    QProcess* startWithManager()
    {
        QProcess* kalvex = m_s->startProgram(QStringLiteral("Kalvex"));
        E2eSession::waitFor([&] { return m_s->hasOwner(KalvexBus::serviceName); });
        m_s->call(KalvexBus::serviceName, KalvexBus::objectPath, KalvexBus::interfaceName,
                  QStringLiteral("ShowList"), {0});
        return kalvex;
    }
    // xclip on the test's desktop: with a text, holds the clipboard until
    // another program takes it; without, gives the clipboard's text.
    QString xclip(QProcess& p, const QString& text = {}) const
    {
        p.setProcessEnvironment(m_s->environment());
        p.start("xclip", QStringList{"-selection", "clipboard"} +
                             (text.isEmpty() ? QStringList{"-target", "UTF8_STRING", "-o"}
                                             : QStringList{"-quiet", "-i"}));
        p.write(text.toUtf8());
        p.closeWriteChannel();
        return text.isEmpty() && p.waitForFinished(10000) ? QString::fromUtf8(p.readAll()) : text;
    }
    QString clipboard() const { return xclip(*std::make_unique<QProcess>()); }

private slots:
    void init()
    {
        m_desktop = std::make_unique<XDesktop>();
        QString error;
        QVERIFY2(m_desktop->start(false, &error), qPrintable(error));
        m_s = std::make_unique<E2eSession>(
            E2eOptions{.environment = {{"DISPLAY", m_desktop->display()}}});
        QVERIFY2(m_s->isReady(), qPrintable(m_s->error()));
    }
    void cleanup() { m_s.reset(), m_desktop.reset(); }

    // As Tolvane's exit command does while the user is in a modal window of the
    // manager: the advanced options, or the box about a new reminder without title.
    void closingTheManagerEndsItsModalWindowsFirst()
    {
        m_s->setEnvironmentValue(QStringLiteral("KV_PROMPT_LOG"), QString()); // real boxes
        m_s->addReminder(Clock::now().addDays(1));
        for (const QStringList& steps :
             {QStringList{"cmdAdvOpt"}, QStringList{"cmdNew", "CCaption=", "cmdNew"}}) {
            QProcess* kalvex = startWithManager();
            for (const QString& step : steps) {
                const QStringList typed = step.split(QLatin1Char('='));
                QVERIFY(m_s->call(KalvexBus::serviceName, "/TestHooks", "Kalvex.TestHooks",
                                  typed.size() == 2 ? "SetText" : "Click",
                                  QVariantList(typed.cbegin(), typed.cend()), false)
                            .arguments()
                            .value(0)
                            .toBool());
            }
            QVERIFY(E2eSession::waitFor(
                [&] { return m_desktop->topLevelWindows("Kalvex").size() == 2; }));
            QProcess request;
            request.setProcessEnvironment(m_s->environment());
            request.start(QStringLiteral(KV_CLOSE_WINDOW), {managerWindowCaption()});
            QVERIFY(request.waitForFinished(15000));
            QCOMPARE(request.exitCode(), 0); // the manager was closed when the request returned
            QVERIFY(kalvex->waitForFinished(10000));
            QVERIFY(kalvex->exitStatus() == QProcess::NormalExit && kalvex->exitCode() == 0);
        }
        QCOMPARE(m_s->scalarSql(QStringLiteral("SELECT COUNT(*) FROM Main_tbl")).toInt(), 1);
        QCOMPARE(m_s->logText(), QString());
        // Only the test builds answer prompts from KV_PROMPT_LOG and the like.
        for (const char* program : {"Kalvex", "Tolvane"})
            QVERIFY2(!fileBytes(qEnvironmentVariable("KV_PROGRAM_BUILD_DIR") + '/' + program)
                          .contains("KV_PROMPT_"),
                     program);
    }

    // On X11 the text lives with the program that owns the clipboard: Kalvex
    // keeps serving after its last window closes, until another program takes
    // the clipboard. (The text itself is the manager tests'.)
    void aCopiedListStaysOnTheClipboardAfterTheManagerCloses()
    {
        m_s->addReminder(Date::fromParts(2026, 4, 1, 9, 30), QStringLiteral("פגישה"));
        QProcess after;
        QProcess* kalvex = startWithManager();
        QTRY_VERIFY(
            m_desktop->windowsTitled(managerWindowCaption()).contains(m_desktop->focusedWindow()));
        // "העתק רשימה" of the menu "&עריכה", from the keyboard.
        QVERIFY(m_desktop->keys({"alt+hebrew_ayin", "Down", "Down", "Down", "Return"}));
        QTRY_VERIFY_WITH_TIMEOUT(clipboard().contains("\r\n01/04/2026 09:30\t"), 10000);
        const QString copied = clipboard();
        QCOMPARE(m_s->call(KalvexBus::serviceName, KalvexBus::objectPath,
                           KalvexBus::debugInterfaceName, "CloseWindows", {QStringLiteral("RMain")},
                           false)
                     .arguments()
                     .value(0),
                 1);
        QVERIFY(!kalvex->waitForFinished(2 * ServerLifetime::kIdleGraceMs + 500));
        QCOMPARE(clipboard(), copied);
        xclip(after, "after");
        QVERIFY(E2eSession::waitFor([&] { return kalvex->state() == QProcess::NotRunning; }));
        QCOMPARE(kalvex->exitCode(), 0);
        QCOMPARE(m_s->logText(), QString());
    }
};

QTEST_MAIN(KalvexDesktopTest)
#include "tst_kalvex_desktop.moc"
