#include "Ini.h"
#include "Log.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <memory>

class IniTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        StartLogging(QStringLiteral("Kalvex.log"));
    }
    void cleanup() { m_dir.reset(); }
    void reading();
    void writingKeepsTheRestOfTheFile();
    void filesNotOursSurviveAWrite();
    void twoProcessesLoseNoWrites();
    void aHeldLockFailsTheWriteInTime();

private:
    QByteArray log() const { return fileBytes(m_dir->file("Kalvex.log")); }
    QString installWriter()
    {
        QFile::copy(QStringLiteral(KV_INI_WRITER), m_dir->file("IniWriter"));
        return m_dir->file("IniWriter");
    }
    std::unique_ptr<TempProgramDir> m_dir;
};

// Each file read for one key, the default being "DEF".
void IniTest::reading()
{
    QCOMPARE(ReadIni("Reminder", "NextDate", "DEF"), QStringLiteral("DEF"));
    // clang-format off
    const struct { QByteArray file; const char* section; const char* key; QString expected; } cases[] = {
        {"[Reminder]\r\nNextDate=\r\n", "Reminder", "NextDate", "DEF"},
        {"[ rEMINDER ]\n  nextdate = 1 \n", "Reminder", "NEXTDATE", "1"},
        {"[LAN_Settings]\nNextDate=1\n[Reminder]\nActive=0\n", "Reminder", "NextDate", "DEF"},
        {"[LAN_Settings]\nNick=\" dan \"\n", "LAN_Settings", "Nick", " dan "},
    };
    // clang-format on
    for (const auto& c : cases) {
        writeBytes(iniFilePath(), c.file);
        QCOMPARE(ReadIni(c.section, c.key, QStringLiteral("DEF")), c.expected);
    }
}

// Other lines stay; entries that would forge lines are refused, each logged.
void IniTest::writingKeepsTheRestOfTheFile()
{
    writeBytes(
        iniFilePath(),
        "; written by hand\n[Reminder]\nnextdate=NULL\nunknown line\n\n[LAN_Settings]\nPort=217\n");
    QVERIFY(WriteIni("Reminder", "NextDate", "010120270900")); // replaces the key in its own case
    QVERIFY(WriteIni("Reminder", "Active", "0"));              // after the section's last line
    QVERIFY(WriteIni("lan_settings", "Nick", QString::fromUtf8("דני")));
    QVERIFY(WriteIni("Other", "Key", "v")); // a new section at the end
    const QByteArray after = fileBytes(iniFilePath());
    QCOMPARE(
        QString::fromUtf8(after),
        QString::fromUtf8("; written by hand\r\n[Reminder]\r\nNextDate=010120270900\r\nunknown "
                          "line\r\nActive=0\r\n\r\n"
                          "[LAN_Settings]\r\nPort=217\r\nNick=דני\r\n[Other]\r\nKey=v\r\n"));
    QCOMPARE(log(), QByteArray());
    QVERIFY(!WriteIni("LAN_Settings", "Nick", "x\nActive=0") &&
            !WriteIni("Reminder", "Next=Date", "1") && !WriteIni("Remi]nder", "NextDate", "1"));
    QCOMPARE(fileBytes(iniFilePath()), after);
    QCOMPARE(log().count(" -> WriteIni: "), 3);
}

// Windows-1255 stays so while the new text fits it; an unreadable file is left alone.
void IniTest::filesNotOursSurviveAWrite()
{
    const QByteArray windows1255 = "[LAN_Settings]\r\nNick=\xE3\xF0\xE9\r\n"; // "דני"
    const QString dani = QString::fromUtf8("דני");
    const struct
    {
        bool readable;
        QString nick, nextDate;
        QByteArray after;
    } cases[] = {
        {true, dani, "1", windows1255 + "[Reminder]\r\nNextDate=1\r\n"},
        {true, dani, QString::fromUtf8("☺"),
         QString::fromUtf8("[LAN_Settings]\r\nNick=דני\r\n[Reminder]\r\nNextDate=☺\r\n").toUtf8()},
        {false, "DEF", "1", windows1255},
    };
    for (const auto& c : cases) {
        writeBytes(iniFilePath(), windows1255,
                   c.readable ? QFile::ReadOwner | QFile::WriteOwner : QFile::WriteOwner);
        {
            AsFileOwner asOwner; // root reads any file otherwise
            QCOMPARE(ReadIni("LAN_Settings", "Nick", "DEF"), c.nick);
            QCOMPARE(WriteIni("Reminder", "NextDate", c.nextDate), c.readable);
        }
        QCOMPARE(fileBytes(iniFilePath()), c.after);
    }
    QCOMPARE(log().count(" -> WriteIni: cannot read "), 1);
}

// Each writer checks its own previous value before every write (exit code:
// writes lost); meanwhile a third process never reads a half-written file.
void IniTest::twoProcessesLoseNoWrites()
{
    const QString writer = installWriter();
    QProcess a, b;
    a.start(writer, {"a", "100"});
    b.start(writer, {"b", "100"});
    QVERIFY(a.waitForStarted() && b.waitForStarted());
    static const QRegularExpression whole("^(\\[Stress\\]\r\n([ab]=\\d+\r\n){1,2})?$");
    const QDeadlineTimer deadline(240000);
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
void IniTest::aHeldLockFailsTheWriteInTime()
{
    const QByteArray before = "[Stress]\r\na=7\r\n";
    writeBytes(iniFilePath(), before);
    QProcess holder, p;
    holder.start("flock", {iniFilePath() + ".lock", "sh", "-c", "echo held; exec cat"});
    QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine(), 30000);
    p.start(installWriter(), {"a", "1"});
    const bool finished = p.waitForFinished(60000);
    holder.closeWriteChannel();
    QVERIFY2(finished, "the write waited for the lock without end");
    QCOMPARE(p.exitCode(), 100);
    QCOMPARE(fileBytes(iniFilePath()), before);
    QVERIFY2(log().count('\n') == 1 && log().contains("held"), log().constData());
    QVERIFY(holder.waitForFinished(30000) && WriteIni("Stress", "a", "8"));
}

QTEST_GUILESS_MAIN(IniTest)
#include "tst_ini.moc"
