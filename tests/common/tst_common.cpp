#include "common/Ini.h"
#include "common/Log.h"
#include "platform/Clock.h"
#include "tests/support/TempProgramDir.h"
#include "tests/support/TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

class CommonTest : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempProgramDir> m_dir;

    QString logFile() const { return m_dir->file("Kalvex.log"); }
    QByteArray log() const { return fileBytes(logFile()); }
    QString installWriter()
    {
        QFile::copy(QStringLiteral(KV_INI_WRITER), m_dir->file("IniWriter"));
        return m_dir->file("IniWriter");
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        StartLogging(QStringLiteral("Kalvex.log"));
    }
    void cleanup()
    {
        Clock::useSystemClock();
        m_dir.reset();
    }

    // Each file read for one key, the default being "DEF".
    void reading()
    {
        QCOMPARE(ReadIni("Reminder", "NextDate", "DEF"), QStringLiteral("DEF"));
        // clang-format off
        const struct { QByteArray file; const char* section; const char* key; QString expected; } cases[] = {
            {"[Reminder]\r\nNextDate=\r\n", "Reminder", "NextDate", "DEF"},
            {"[ rEMINDER ]\n  nextdate = 1 \n", "Reminder", "NEXTDATE", "1"},
            {"[LAN_Settings]\nNextDate=1\n[Reminder]\nActive=0\n", "Reminder", "NextDate", "DEF"},
            {"[LAN_Settings]\nNick=\" dan \"\n", "LAN_Settings", "Nick", " dan "},
            // The 80-byte buffer: 79 characters pass whole, the 80th is cut, a pair is not split.
            {"[R]\nK=" + QByteArray(79, 'x') + "\n", "R", "K", QString(79, 'x')},
            {"[R]\nK=" + QByteArray(80, 'x') + "\n", "R", "K", QString(79, 'x')},
            {"[R]\nK=" + QByteArray(78, 'x') + "\xF0\x9F\x98\x80\n", "R", "K", QString(78, 'x')},
        };
        // clang-format on
        for (const auto& c : cases) {
            writeBytes(iniFilePath(), c.file);
            QCOMPARE(ReadIni(c.section, c.key, QStringLiteral("DEF")), c.expected);
        }
    }

    // Other lines stay; entries that would forge lines are refused, each logged.
    void writingKeepsTheRestOfTheFile()
    {
        writeBytes(iniFilePath(), "; written by hand\n[Reminder]\nnextdate=NULL\nunknown "
                                  "line\n\n[LAN_Settings]\nPort=217\n");
        // A key replaced in its own case, one after its section's last line, a section at the end.
        const QStringList written[] = {{"Reminder", "NextDate", "010120270900"},
                                       {"Reminder", "Active", "0"},
                                       {"lan_settings", "Nick", QString::fromUtf8("דני")},
                                       {"Other", "Key", "v"}};
        for (const QStringList& w : written)
            QVERIFY2(WriteIni(w[0], w[1], w[2]), qPrintable(w.join('|')));
        const QByteArray after = fileBytes(iniFilePath());
        QCOMPARE(
            QString::fromUtf8(after),
            QString::fromUtf8("; written by hand\r\n[Reminder]\r\nNextDate=010120270900\r\nunknown "
                              "line\r\nActive=0\r\n\r\n"
                              "[LAN_Settings]\r\nPort=217\r\nNick=דני\r\n[Other]\r\nKey=v\r\n"));
        const QStringList forging[] = {{"LAN_Settings", "Nick", "x\nActive=0"},
                                       {"Reminder", "Next=Date", "1"},
                                       {"Remi]nder", "NextDate", "1"}};
        for (const QStringList& w : forging)
            QVERIFY2(!WriteIni(w[0], w[1], w[2]), qPrintable(w.join('|')));
        QCOMPARE(fileBytes(iniFilePath()), after);
        QCOMPARE(log().count(" -> WriteIni: "), 3);
    }

    // Windows-1255 stays so while the new text fits it; an unreadable file is left alone.
    void filesNotOursSurviveAWrite()
    {
        const QByteArray windows1255 = "[LAN_Settings]\r\nNick=\xE3\xF0\xE9\r\n"; // "דני"
        const QString dani = QString::fromUtf8("דני");
        using Case = std::tuple<bool, QString, QString, QByteArray>;
        for (const auto& [readable, nick, nextDate, after] :
             {Case{true, dani, "1", windows1255 + "[Reminder]\r\nNextDate=1\r\n"},
              Case{true, dani, "☺", "[LAN_Settings]\r\nNick=דני\r\n[Reminder]\r\nNextDate=☺\r\n"},
              Case{false, "DEF", "1", windows1255}}) {
            writeBytes(iniFilePath(), windows1255,
                       readable ? QFile::ReadOwner | QFile::WriteOwner : QFile::WriteOwner);
            {
                AsFileOwner asOwner; // root reads any file otherwise
                QCOMPARE(ReadIni("LAN_Settings", "Nick", "DEF"), nick);
                QCOMPARE(WriteIni("Reminder", "NextDate", nextDate), readable);
            }
            QCOMPARE(fileBytes(iniFilePath()), after);
        }
        QCOMPARE(log().count(" -> WriteIni: cannot read "), 1);
    }

    // Each writer checks its own previous value before every write (exit code:
    // writes lost); meanwhile a third process never reads a half-written file.
    void twoProcessesLoseNoWrites()
    {
        const QString writer = installWriter();
        QProcess a, b;
        a.start(writer, {"a", "100"});
        b.start(writer, {"b", "100"});
        QVERIFY(a.waitForStarted());
        QVERIFY(b.waitForStarted());
        static const QRegularExpression whole("^(\\[Stress\\]\r\n([ab]=\\d+\r\n){1,2})?$");
        const QDeadlineTimer deadline(45000);
        while ((a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) &&
               !deadline.hasExpired()) {
            const QByteArray text = fileBytes(iniFilePath());
            QVERIFY2(whole.match(QString::fromLatin1(text)).hasMatch(), text.constData());
            QCoreApplication::processEvents();
        }
        QCOMPARE(a.exitCode() + b.exitCode(), 0);
        QCOMPARE(ReadIni("Stress", "a", "") + ReadIni("Stress", "b", ""), QString("100100"));
        QCOMPARE(log(), QByteArray());
    }

    // A holder that has stopped (one that waits for its input) costs a write a
    // few seconds, then the write fails and says so.
    void aHeldLockFailsTheWriteInTime()
    {
        const QByteArray before = "[Stress]\r\na=7\r\n";
        writeBytes(iniFilePath(), before);
        QProcess holder, p;
        holder.start("flock", {iniFilePath() + ".lock", "sh", "-c", "echo held; exec cat"});
        QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine(), 30000);
        p.start(installWriter(), {"a", "1"});
        const bool finished = p.waitForFinished(30000);
        holder.closeWriteChannel();
        QVERIFY2(finished, "the write waited for the lock without end");
        QCOMPARE(p.exitCode(), 100);
        QCOMPARE(fileBytes(iniFilePath()), before);
        QCOMPARE(log().count('\n'), 1);
        QVERIFY2(log().contains("held"), log().constData());
        QVERIFY(holder.waitForFinished(30000));
        QVERIFY(WriteIni("Stress", "a", "8"));
    }

    // Stamp, arrow, text, one line each, appended to what an earlier run
    // left; no text can forge an entry or an escape.
    void logEntriesAreOneLineEach()
    {
        Clock::setNow(Date::fromParts(2026, 12, 5, 21, 59, 7));
        const QByteArray earlier = "04/12/26 08:00:00  -> an entry from an earlier run\n";
        writeBytes(logFile(), earlier);
        WriteLog(QStringLiteral("x\r\n05/12/26 21:59:07  -> CheckList: fake\tC:\\new"), LogError);
        Clock::advance(61);
        WriteLog(QString::fromUtf8("\x1b[2J\u2028הודעה"), LogInformation);
        QCOMPARE(
            QString::fromUtf8(log()),
            QString::fromUtf8(earlier) +
                "05/12/26 21:59:07  -> x\\r\\n05/12/26 21:59:07  -> CheckList: fake\\tC:\\\\new\n"
                "05/12/26 22:00:08  -> \\x1b[2J\\x2028" +
                QString::fromUtf8("הודעה\n"));
    }

    // A long text is cut and says how long it was; a full file becomes "Kalvex.log.1" (the
    // older one goes) and a new one begins.
    void theLogIsBounded()
    {
        WriteLog(QString(kMaxLogEntryChars + 5, 'x'), LogError);
        QVERIFY(log().endsWith(QByteArray(kMaxLogEntryChars, 'x') + "… (1005 characters)\n"));
        writeBytes(logFile() + ".1", "oldest\n");
        writeBytes(logFile(), QByteArray(kLogRotateBytes - 10, 'a') + '\n');
        WriteLog(QStringLiteral("next"), LogError);
        QCOMPARE(fileBytes(logFile() + ".1").size(), kLogRotateBytes - 9);
        QCOMPARE(log().count('\n'), 1);
        QVERIFY(log().endsWith(" -> next\n"));
    }

    // Under LogFolding the entries of a kind beyond the allowance wait for the summary, which
    // tells how many they were; counts are told there too, one line per source.
    void repeatedEntriesAreFoldedIntoTheSummary()
    {
        const auto entries = [this] {
            QStringList texts;
            for (const QString& line : QString::fromUtf8(log()).split('\n', Qt::SkipEmptyParts))
                texts << line.section(" -> ", 1);
            return texts;
        };
        {
            LogFolding folding;
            for (int i = 0; i < kLogFoldAllowance + 5; ++i)
                WriteLog(QStringLiteral("DataArrival: %1").arg(i), LogInformation);
            WriteLog(QStringLiteral("StrTok Error: x"), LogError);
        }
        WriteLog(QStringLiteral("DataArrival: not folded"), LogInformation);
        const QString dropped = QStringLiteral("dropped %1 datagrams from %2");
        CountForLog(dropped, "198.18.0.2", 3);
        CountForLog(dropped, "198.18.0.3");
        CountForLog(dropped, "198.18.0.2");
        QCOMPARE(entries().size(), kLogFoldAllowance + 2);
        WriteLogSummary();
        QCOMPARE(entries().mid(kLogFoldAllowance + 2),
                 QStringList({"DataArrival: 5 more entries of this kind in the last minute",
                              "dropped 4 datagrams from 198.18.0.2",
                              "dropped 1 datagrams from 198.18.0.3"}));
        // The next minute allows as many again.
        LogFolding folding;
        WriteLog(QStringLiteral("DataArrival: next minute"), LogInformation);
        QCOMPARE(entries().last(), QStringLiteral("DataArrival: next minute"));
        WriteLogSummary();
        QCOMPARE(entries().last(), QStringLiteral("DataArrival: next minute"));
    }

    void unwritableLogDoesNotThrow()
    {
        // A directory in the log's place cannot be opened for writing, even by root.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Kalvex.log")));
        WriteLog(QStringLiteral("lost"), LogError);
    }
};

QTEST_GUILESS_MAIN(CommonTest)
#include "tst_common.moc"
