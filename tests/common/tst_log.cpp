#include "Clock.h"
#include "Log.h"
#include "ProgramDir.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <memory>

namespace {} // namespace

class LogTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void entryIsStampArrowText();
    void oneEntryIsOneLine_data();
    void oneEntryIsOneLine();
    void appendsNeverTruncates();
    void unwritableLogDoesNotThrow();

private:
    std::unique_ptr<TempProgramDir> m_dir;
};

void LogTest::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    Clock::setNow(Date::fromParts(2026, 12, 5, 21, 59, 7));
    StartLogging(QStringLiteral("Kalvex.log"));
}

void LogTest::cleanup()
{
    m_dir.reset();
    Clock::useSystemClock();
}

void LogTest::entryIsStampArrowText()
{
    WriteLog(QStringLiteral("UpdateList: Overflow"), LogError);
    WriteLog(QStringLiteral("SendData: UPD"), LogInformation);
    QCOMPARE(fileBytes(m_dir->file("Kalvex.log")),
             QByteArray("05/12/26 21:59:07  -> UpdateList: Overflow\n"
                        "05/12/26 21:59:07  -> SendData: UPD\n"));
}

void LogTest::oneEntryIsOneLine_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("logged");
    QTest::newRow("CR LF TAB") << "a\rb\nc\td"
                               << "a\\rb\\nc\\td";
    QTest::newRow("forged entry") << "DataArrival: x\r\n05/12/26 21:59:07  -> CheckList: fake"
                                  << "DataArrival: x\\r\\n05/12/26 21:59:07  -> CheckList: fake";
    QTest::newRow("backslash cannot fake an escape") << "C:\\new"
                                                     << "C:\\\\new";
    QTest::newRow("other controls") << QString::fromUtf8("\x01\x1b[2J\x7f") << "\\x01\\x1b[2J\\x7f";
    QTest::newRow("unicode line breaks")
        << QString::fromUtf8("a\u2028b\u0085c") << "a\\x2028b\\x85c";
    QTest::newRow("hebrew kept") << QString::fromUtf8("הודעה פגומה")
                                 << QString::fromUtf8("הודעה פגומה");
}

void LogTest::oneEntryIsOneLine()
{
    QFETCH(QString, text);
    QFETCH(QString, logged);
    WriteLog(text, LogInformation);
    const QByteArray content = fileBytes(m_dir->file("Kalvex.log"));
    QCOMPARE(content.count('\n'), 1);
    QVERIFY(!content.contains('\r'));
    QCOMPARE(QString::fromUtf8(content), QStringLiteral("05/12/26 21:59:07  -> ") + logged + '\n');
}

void LogTest::appendsNeverTruncates()
{
    const QByteArray earlier = "04/12/26 08:00:00  -> an entry from an earlier run\n";
    {
        QFile f(m_dir->file("Kalvex.log"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(earlier);
    }
    WriteLog(QStringLiteral("first"), LogError);
    Clock::advance(61);
    WriteLog(QStringLiteral("second"), LogError);
    QCOMPARE(fileBytes(m_dir->file("Kalvex.log")),
             earlier + "05/12/26 21:59:07  -> first\n05/12/26 22:00:08  -> second\n");
}

void LogTest::unwritableLogDoesNotThrow()
{
    // A directory in the log's place cannot be opened for writing, even by root.
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("Kalvex.log")));
    WriteLog(QStringLiteral("lost"), LogError);
    QVERIFY(QFileInfo(m_dir->file("Kalvex.log")).isDir());

    ProgramDir::setOverride(m_dir->file("no such directory"));
    WriteLog(QStringLiteral("lost too"), LogError);
    QVERIFY(!QFileInfo::exists(m_dir->file("no such directory")));
}

QTEST_GUILESS_MAIN(LogTest)
#include "tst_log.moc"
