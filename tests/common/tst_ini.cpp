#include "Ini.h"
#include "Log.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <linux/capability.h>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QFile::Permissions kWorldWritable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
const QFile::Permissions kOpenDirectory = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                          QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;

// Root reads and writes any file: while this lives, file permissions bind
// this thread as they bind the owner of a file.
class WithoutFileOverride
{
public:
    WithoutFileOverride()
    {
        ::syscall(SYS_capget, &m_header, m_saved);
        __user_cap_data_struct reduced[2] = {m_saved[0], m_saved[1]};
        reduced[0].effective &= ~((1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH));
        ::syscall(SYS_capset, &m_header, reduced);
    }
    ~WithoutFileOverride() { ::syscall(SYS_capset, &m_header, m_saved); }

private:
    __user_cap_header_struct m_header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct m_saved[2] = {};
};

// One snapshot of the file two IniWriter processes share must be whole:
// "[Stress]", then each key once, none lost or moved back since the last one.
bool consistentSnapshot(const QByteArray& text, QMap<QString, int>& lastSeen)
{
    static const QRegularExpression file(QStringLiteral("^\\[Stress\\]\r\n((?:[ab]=\\d+\r\n)*)$"));
    const auto whole = file.match(QString::fromLatin1(text));
    if (!whole.hasMatch())
        return text.isEmpty() && lastSeen.isEmpty();
    QMap<QString, int> now;
    for (const QString& line : whole.captured(1).split(QStringLiteral("\r\n"), Qt::SkipEmptyParts))
        if (now.contains(line.left(1)))
            return false;
        else
            now.insert(line.left(1), line.mid(2).toInt());
    for (auto it = lastSeen.cbegin(); it != lastSeen.cend(); ++it)
        if (now.value(it.key(), -1) < it.value())
            return false;
    lastSeen = now;
    return true;
}

} // namespace

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
    void defaultsWithoutAFileOrInJunk();
    void reading();
    void writingKeepsTheRestOfTheFile();
    void refusesEntriesThatWouldForgeLines();
    void filesNotOursSurviveAWrite_data();
    void filesNotOursSurviveAWrite();
    void twoProcessesLoseNoWrites();
    void aHeldLockFailsTheWriteInTime();
    void readOnlyProgramDirectoryFailsTheWrite();

private:
    QByteArray log() const { return fileBytes(m_dir->file("Kalvex.log")); }
    // The writer program beside the settings file, as an installation holds it.
    QString installWriter()
    {
        const QString path = m_dir->file(QStringLiteral("IniWriter"));
        return QFile::copy(QStringLiteral(KV_INI_WRITER), path) ? path : QString();
    }
    std::unique_ptr<TempProgramDir> m_dir;
};

// Reading never creates the file; a junk file reads as defaults and takes writes.
void IniTest::defaultsWithoutAFileOrInJunk()
{
    QCOMPARE(ReadIni("Reminder", "NextDate", "NULL"), QStringLiteral("NULL"));
    QVERIFY(!QFile::exists(iniFilePath()));
    QByteArray junk(8192, '\0');
    for (int i = 0; i < junk.size(); ++i)
        junk[i] = char((i * 37 + 11) & 0xff);
    writeBytes(iniFilePath(), junk);
    QCOMPARE(ReadIni("LAN_Settings", "Port", "217"), QStringLiteral("217"));
    QVERIFY(WriteIni("Reminder", "NextDate", "051220262159"));
    QCOMPARE(ReadIni("Reminder", "NextDate", "NULL"), QStringLiteral("051220262159"));
}

// Each file read for one key, the default being "DEF".
void IniTest::reading()
{
    const QString alef80(80, QChar(0x05D0));
    // clang-format off
    const struct { const char* name; QByteArray file; const char* section; const char* key; QString expected; } cases[] = {
        {"empty value", "[Reminder]\r\nNextDate=\r\n", "Reminder", "NextDate", "DEF"},
        {"80 hebrew letters", ("[LAN_Settings]\r\nNick=" + alef80).toUtf8(), "LAN_Settings", "Nick", alef80.left(79)},
        {"other case, blanks", "[ rEMINDER ]\n  nextdate = 1 \n", "Reminder", "NEXTDATE", "1"},
        {"key of another section", "[LAN_Settings]\nNextDate=1\n[Reminder]\nActive=0\n", "Reminder", "NextDate", "DEF"},
        {"first of two sections", "[Reminder]\nActive=0\n[Reminder]\nActive=1\n", "Reminder", "Active", "0"},
        {"quoted value", "[LAN_Settings]\nNick=\" dan \"\n", "LAN_Settings", "Nick", " dan "},
        {"up to a NUL", QByteArray("[LAN_Settings]\nNick=ab\0cd\n", 26), "LAN_Settings", "Nick", "ab"},
    };
    // clang-format on
    for (const auto& c : cases) {
        writeBytes(iniFilePath(), c.file);
        QCOMPARE(ReadIni(c.section, c.key, QStringLiteral("DEF")), c.expected);
    }
}

void IniTest::writingKeepsTheRestOfTheFile()
{
    writeBytes(
        iniFilePath(),
        "; written by hand\n[Reminder]\nnextdate=NULL\nunknown line\n\n[LAN_Settings]\nPort=217\n");
    QVERIFY(WriteIni("Reminder", "NextDate", "010120270900")); // replaces the key in its own case
    QVERIFY(WriteIni("Reminder", "Active", "0"));              // after the section's last line
    QVERIFY(WriteIni("lan_settings", "Nick", QString::fromUtf8("דני")));
    QVERIFY(WriteIni("Other", "Key", "v")); // a new section at the end
    QCOMPARE(
        QString::fromUtf8(fileBytes(iniFilePath())),
        QString::fromUtf8("; written by hand\r\n[Reminder]\r\nNextDate=010120270900\r\nunknown "
                          "line\r\nActive=0\r\n\r\n"
                          "[LAN_Settings]\r\nPort=217\r\nNick=דני\r\n[Other]\r\nKey=v\r\n"));
    QCOMPARE(log(), QByteArray());
}

// Each refused write leaves the file as it was and logs one line.
void IniTest::refusesEntriesThatWouldForgeLines()
{
    const QByteArray before = "[Reminder]\r\nNextDate=NULL\r\n";
    // clang-format off
    const struct { const char* section; const char* key; const char* value; } cases[] = {
        {"LAN_Settings", "Nick", "x\nActive=0"},
        {"Reminder", "Next=Date", "1"},
        {"Remi]nder", "NextDate", "1"},
    };
    // clang-format on
    for (const auto& c : cases) {
        writeBytes(iniFilePath(), before);
        QFile::remove(m_dir->file("Kalvex.log"));
        QVERIFY2(!WriteIni(c.section, c.key, c.value), c.value);
        QCOMPARE(fileBytes(iniFilePath()), before);
        QVERIFY2(log().contains(" -> WriteIni: ") && log().count('\n') == 1, log().constData());
    }
}

void IniTest::filesNotOursSurviveAWrite_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<QString>("nick"); // as read, the default being "DEF"
    QTest::addColumn<QString>("nextDate");
    QTest::addColumn<QByteArray>("after"); // the file after writing NextDate

    const QByteArray windows1255 = "[LAN_Settings]\r\nNick=\xE3\xF0\xE9\r\n"; // "דני"
    const QString dani = QString::fromUtf8("דני");
    // clang-format off
    QTest::newRow("Windows-1255 stays so") << windows1255 << true << dani << "1" << windows1255 + "[Reminder]\r\nNextDate=1\r\n";
    QTest::newRow("Windows-1255 without the new text's letters") << windows1255 << true << dani << QString::fromUtf8("☺") << QString::fromUtf8("[LAN_Settings]\r\nNick=דני\r\n[Reminder]\r\nNextDate=☺\r\n").toUtf8();
    QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF[LAN_Settings]\nNick=dan\n") << true << "dan" << "1" << QByteArray("\xEF\xBB\xBF[LAN_Settings]\r\nNick=dan\r\n" "[Reminder]\r\nNextDate=1\r\n");
    QTest::newRow("unreadable") << QByteArray("[LAN_Settings]\r\nNick=dan\r\n") << false << "DEF" << "1" << QByteArray("[LAN_Settings]\r\nNick=dan\r\n");
    // clang-format on
}

void IniTest::filesNotOursSurviveAWrite()
{
    QFETCH(QByteArray, file);
    QFETCH(bool, readable);
    QFETCH(QString, nick);
    QFETCH(QString, nextDate);
    QFETCH(QByteArray, after);
    writeBytes(iniFilePath(), file,
               readable ? QFile::ReadOwner | QFile::WriteOwner : QFile::WriteOwner);
    {
        WithoutFileOverride asOwner; // root reads any file otherwise
        QCOMPARE(ReadIni("LAN_Settings", "Nick", "DEF"), nick);
        QCOMPARE(WriteIni("Reminder", "NextDate", nextDate), readable);
    }
    QCOMPARE(fileBytes(iniFilePath()), after);
    QCOMPARE(log().count(" -> WriteIni: cannot read "), readable ? 0 : 1);
}

// Each writer checks its own previous value before every write (exit code:
// writes lost); meanwhile a third process never reads a half-written file.
void IniTest::twoProcessesLoseNoWrites()
{
    const QString writer = installWriter();
    QVERIFY(!writer.isEmpty());
    QProcess a, b;
    a.start(writer, {"a", "100"});
    b.start(writer, {"b", "100"});
    QVERIFY(a.waitForStarted() && b.waitForStarted());
    QMap<QString, int> lastSeen;
    const QDeadlineTimer deadline(240000);
    while ((a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) &&
           !deadline.hasExpired()) {
        const QByteArray text = fileBytes(iniFilePath());
        QVERIFY2(consistentSnapshot(text, lastSeen), text.constData());
        QCoreApplication::processEvents();
    }
    QVERIFY(a.state() == QProcess::NotRunning && b.state() == QProcess::NotRunning);
    QCOMPARE(a.exitStatus(), QProcess::NormalExit);
    QCOMPARE(a.exitCode() + b.exitCode(), 0);
    QVERIFY(consistentSnapshot(fileBytes(iniFilePath()), lastSeen));
    QCOMPARE(lastSeen, (QMap<QString, int>{{"a", 100}, {"b", 100}}));
    QCOMPARE(log(), QByteArray());
}

// A holder that has stopped (here one that waits for its input) costs a
// write a few seconds, then the write fails and says so.
void IniTest::aHeldLockFailsTheWriteInTime()
{
    const QString writer = installWriter();
    QVERIFY(!writer.isEmpty());
    const QByteArray before = "[Stress]\r\na=7\r\n";
    writeBytes(iniFilePath(), before);
    QProcess holder;
    holder.start(QStringLiteral("flock"),
                 {iniFilePath() + ".lock", "sh", "-c", "echo held; exec cat"});
    QTRY_VERIFY_WITH_TIMEOUT(holder.canReadLine() || holder.state() == QProcess::NotRunning, 30000);
    QCOMPARE(holder.state(), QProcess::Running);

    QProcess p;
    p.start(writer, {"a", "1"});
    const bool finished = p.waitForFinished(60000);
    if (!finished)
        p.kill();
    holder.closeWriteChannel();
    QVERIFY2(finished, "the write waited for the lock without end");
    QCOMPARE(p.exitCode(), 100);
    QCOMPARE(fileBytes(iniFilePath()), before);
    QVERIFY2(log().count('\n') == 1 && log().contains(" -> WriteIni: ") && log().contains("held"),
             log().constData());
    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(WriteIni("Stress", "a", "8"));
}

// The settings and lock files are writable, the directory is not: the write
// fails, says so, and leaves nothing behind.
void IniTest::readOnlyProgramDirectoryFailsTheWrite()
{
    const QString writer = installWriter();
    QVERIFY(!writer.isEmpty());
    const QByteArray before = "[Stress]\r\na=7\r\n";
    writeBytes(iniFilePath(), before, kWorldWritable);
    writeBytes(iniFilePath() + ".lock", "", kWorldWritable);
    writeBytes(m_dir->file("Kalvex.log"), "", kWorldWritable); // so the failure can be logged
    // Root writes anywhere: as root the writer runs as nobody.
    QVERIFY(QFile::setPermissions(m_dir->path(), kOpenDirectory));
    QProcess p;
    if (::geteuid() == 0)
        p.start("setpriv", {"--reuid=65534", "--regid=65534", "--clear-groups", writer, "a", "1"});
    else
        p.start(writer, {"a", "1"});
    const bool finished = p.waitForFinished(60000);
    QFile::setPermissions(m_dir->path(), kOpenDirectory | QFile::WriteOwner);
    QVERIFY(finished);
    if (p.exitCode() != 100 && p.readAllStandardError().contains("setpriv"))
        QSKIP("cannot switch to the user nobody here");
    QCOMPARE(p.exitCode(), 100);
    QVERIFY2(log().count('\n') == 1 && log().contains(" -> WriteIni: "), log().constData());
    QCOMPARE(fileBytes(iniFilePath()), before);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 4); // nothing left behind
}

QTEST_GUILESS_MAIN(IniTest)
#include "tst_ini.moc"
