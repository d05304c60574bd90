#include "Clock.h"
#include "Log.h"
#include "ProgramDir.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QTest>

#include <memory>

class LogTest : public QObject
{
    Q_OBJECT

private slots:
    void init()
    {
        m_dir = std::make_unique<TempProgramDir>();
        Clock::setNow(Date::fromParts(2026, 12, 5, 21, 59, 7));
        StartLogging(QStringLiteral("Kalvex.log"));
    }
    void cleanup()
    {
        m_dir.reset();
        Clock::useSystemClock();
    }

    // Stamp, arrow, text; appended to what an earlier run left.
    void entriesAreAppendedAsStampArrowText()
    {
        const QByteArray earlier = "04/12/26 08:00:00  -> an entry from an earlier run\n";
        writeBytes(log(), earlier);
        WriteLog(QStringLiteral("UpdateList: Overflow"), LogError);
        Clock::advance(61);
        WriteLog(QStringLiteral("SendData: UPD"), LogInformation);
        QCOMPARE(fileBytes(log()), earlier + "05/12/26 21:59:07  -> UpdateList: Overflow\n"
                                             "05/12/26 22:00:08  -> SendData: UPD\n");
    }

    void oneEntryIsOneLine_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("logged");
        QTest::newRow("forged entry") << "x\r\n05/12/26 21:59:07  -> CheckList: fake\tz"
                                      << "x\\r\\n05/12/26 21:59:07  -> CheckList: fake\\tz";
        QTest::newRow("backslash cannot fake an escape") << "C:\\new"
                                                         << "C:\\\\new";
        QTest::newRow("other controls and unicode line breaks")
            << QString::fromUtf8("\x1b[2J\u2028\u0085") << "\\x1b[2J\\x2028\\x85";
        QTest::newRow("hebrew kept")
            << QString::fromUtf8("הודעה פגומה") << QString::fromUtf8("הודעה פגומה");
    }
    void oneEntryIsOneLine()
    {
        QFETCH(QString, text);
        QFETCH(QString, logged);
        WriteLog(text, LogInformation);
        QCOMPARE(QString::fromUtf8(fileBytes(log())), "05/12/26 21:59:07  -> " + logged + '\n');
    }

    void unwritableLogDoesNotThrow()
    {
        // A directory in the log's place cannot be opened for writing, even by root.
        QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Kalvex.log")));
        WriteLog(QStringLiteral("lost"), LogError);
        QVERIFY(QFileInfo(log()).isDir());
        ProgramDir::setOverride(m_dir->file("no such directory"));
        WriteLog(QStringLiteral("lost too"), LogError);
        QVERIFY(!QFileInfo::exists(m_dir->file("no such directory")));
    }

private:
    QString log() const { return m_dir->file("Kalvex.log"); }
    std::unique_ptr<TempProgramDir> m_dir;
};

QTEST_GUILESS_MAIN(LogTest)
#include "tst_log.moc"
