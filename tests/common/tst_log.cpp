#include "Clock.h"
#include "Log.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

class LogTest : public QObject
{
    Q_OBJECT
    TempProgramDir m_dir;
    QString log() const { return m_dir.file("Kalvex.log"); }

private slots:
    void initTestCase()
    {
        Clock::setNow(Date::fromParts(2026, 12, 5, 21, 59, 7));
        StartLogging(QStringLiteral("Kalvex.log"));
    }

    // Stamp, arrow, text, one line each, appended to what an earlier run
    // left; no text can forge an entry or an escape.
    void entriesAreOneLineEach()
    {
        const QByteArray earlier = "04/12/26 08:00:00  -> an entry from an earlier run\n";
        writeBytes(log(), earlier);
        WriteLog(QStringLiteral("x\r\n05/12/26 21:59:07  -> CheckList: fake\tC:\\new"), LogError);
        Clock::advance(61);
        WriteLog(QString::fromUtf8("\x1b[2J\u2028הודעה"), LogInformation);
        QCOMPARE(
            QString::fromUtf8(fileBytes(log())),
            QString::fromUtf8(earlier) +
                "05/12/26 21:59:07  -> x\\r\\n05/12/26 21:59:07  -> CheckList: fake\\tC:\\\\new\n"
                "05/12/26 22:00:08  -> \\x1b[2J\\x2028" +
                QString::fromUtf8("הודעה\n"));
    }

    void unwritableLogDoesNotThrow()
    {
        // A directory in the log's place cannot be opened for writing, even by root.
        QFile::remove(log());
        QVERIFY(QDir(m_dir.path()).mkdir(QStringLiteral("Kalvex.log")));
        WriteLog(QStringLiteral("lost"), LogError);
        QVERIFY(QFileInfo(log()).isDir());
    }
};

QTEST_GUILESS_MAIN(LogTest)
#include "tst_log.moc"
