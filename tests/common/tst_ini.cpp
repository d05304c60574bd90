#include "Ini.h"
#include "Log.h"
#include "TempProgramDir.h"
#include "TestFiles.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <linux/capability.h>
#include <memory>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

const QFile::Permissions kWorldWritable = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup |
                                          QFile::WriteGroup | QFile::ReadOther | QFile::WriteOther;
const QFile::Permissions kOpenDirectory = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                          QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther |
                                          QFile::ExeOther;

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

// The keys of the system with the defaults their readers pass.
const struct
{
    const char* section;
    const char* key;
    const char* defaultValue;
} kKeys[] = {
    {"Reminder", "NextDate", "NULL"},    {"Reminder", "Active", "1"},
    {"LAN_Settings", "OptSend", "1"},    {"LAN_Settings", "OptReceive", "1"},
    {"LAN_Settings", "Nick", "pc-name"}, {"LAN_Settings", "Port", "217"},
};

// Checks one snapshot of the file that two IniWriter processes share: whole
// lines, one section, each key once, and no key lost or moved backwards
// since the previous snapshot.
bool consistentSnapshot(const QByteArray& text, QMap<QByteArray, int>& lastSeen, QByteArray* why)
{
    if (text.isEmpty()) {
        *why = "empty file";
        return lastSeen.isEmpty();
    }
    if (!text.endsWith("\r\n")) {
        *why = "cut file: " + text.right(20);
        return false;
    }
    QList<QByteArray> lines = text.chopped(2).split('\n');
    if (lines.takeFirst() != "[Stress]\r") {
        *why = "bad header: " + text.left(20);
        return false;
    }
    QMap<QByteArray, int> now;
    static const QRegularExpression keyLine(QStringLiteral("^([ab])=(\\d+)\\r?$"));
    for (const QByteArray& line : lines) {
        const auto m = keyLine.match(QString::fromLatin1(line));
        if (!m.hasMatch() || now.contains(m.captured(1).toLatin1())) {
            *why = "bad line: " + line;
            return false;
        }
        now.insert(m.captured(1).toLatin1(), m.captured(2).toInt());
    }
    for (auto it = lastSeen.cbegin(); it != lastSeen.cend(); ++it)
        if (now.value(it.key(), -1) < it.value()) {
            *why = "key " + it.key() + " lost or moved back";
            return false;
        }
    lastSeen = now;
    return true;
}

} // namespace

class IniTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_dir.reset(); }
    void everyDefaultWithoutAFileOrInJunk_data();
    void everyDefaultWithoutAFileOrInJunk();
    void reading();
    void writingKeepsTheRestOfTheFile();
    void refusesEntriesThatWouldForgeLines();
    void filesNotOursSurviveAWrite_data();
    void filesNotOursSurviveAWrite();
    void twoProcessesLoseNoWrites();
    void aHeldLockFailsTheWriteInTime();
    void readOnlyProgramDirectory_data();
    void readOnlyProgramDirectory();

private:
    QString installWriter();
    std::unique_ptr<TempProgramDir> m_dir;
};

void IniTest::init()
{
    m_dir = std::make_unique<TempProgramDir>();
    StartLogging(QStringLiteral("Kalvex.log"));
}

void IniTest::everyDefaultWithoutAFileOrInJunk_data()
{
    QTest::addColumn<bool>("junk");
    QTest::newRow("no file") << false;
    QTest::newRow("binary junk") << true;
}

// Reading never creates the file; a junk file reads as defaults and takes writes.
void IniTest::everyDefaultWithoutAFileOrInJunk()
{
    QFETCH(bool, junk);
    if (junk) {
        QByteArray bytes(8192, Qt::Uninitialized);
        QRandomGenerator rng(1899);
        for (char& c : bytes)
            c = char(rng.bounded(256));
        writeBytes(iniFilePath(), bytes);
    }
    for (const auto& k : kKeys)
        QCOMPARE(ReadIni(k.section, k.key, k.defaultValue), QString(k.defaultValue));
    QCOMPARE(QFile::exists(iniFilePath()), junk);

    QVERIFY(WriteIni("Reminder", "NextDate", "051220262159"));
    QCOMPARE(ReadIni("Reminder", "NextDate", "NULL"), QStringLiteral("051220262159"));
    QCOMPARE(ReadIni("LAN_Settings", "Port", "217"), QStringLiteral("217"));
}

// Each file read for one key, the default being "DEF".
void IniTest::reading()
{
    const QByteArray x100(100, 'x');
    const QString alef80(80, QChar(0x05D0));
    // clang-format off
    const struct { const char* name; QByteArray file; const char* section; const char* key; QString expected; } cases[] = {
        {"value", "[Reminder]\r\nNextDate=051220262159\r\n", "Reminder", "NextDate", "051220262159"},
        {"empty value", "[Reminder]\r\nNextDate=\r\n", "Reminder", "NextDate", "DEF"},
        {"100 characters", "[LAN_Settings]\r\nNick=" + x100 + "\r\n", "LAN_Settings", "Nick", QString(79, 'x')},
        {"80 hebrew letters", ("[LAN_Settings]\r\nNick=" + alef80).toUtf8(), "LAN_Settings", "Nick", alef80.left(79)},
        {"names in other case", "[rEMINDER]\nnextdate=1\n", "Reminder", "NEXTDATE", "1"},
        {"blanks around names", "[ LAN_Settings ]\n  Port = 218 \n", "lan_settings", "port", "218"},
        {"key of another section", "[LAN_Settings]\nNextDate=1\n[Reminder]\nActive=0\n", "Reminder", "NextDate", "DEF"},
        {"first of two sections", "[Reminder]\nActive=0\n[Reminder]\nActive=1\n", "Reminder", "Active", "0"},
        {"comment", "[Reminder]\n;Active=0\n", "Reminder", "Active", "DEF"},
        {"quoted value", "[LAN_Settings]\nNick=\" dan \"\n", "LAN_Settings", "Nick", " dan "},
        {"up to a NUL", QByteArray("[LAN_Settings]\nNick=ab\0cd\n", 26), "LAN_Settings", "Nick", "ab"},
        {"no newline at end", "[Reminder]\r\nActive=0", "Reminder", "Active", "0"},
    };
    // clang-format on
    for (const auto& c : cases) {
        writeBytes(iniFilePath(), c.file);
        const QString got = ReadIni(c.section, c.key, QStringLiteral("DEF"));
        QVERIFY2(got == c.expected, qPrintable(QStringLiteral("%1: %2").arg(c.name, got)));
    }
}

void IniTest::writingKeepsTheRestOfTheFile()
{
    QVERIFY(WriteIni("Reminder", "NextDate", "051220262159"));
    QCOMPARE(fileBytes(iniFilePath()), QByteArray("[Reminder]\r\nNextDate=051220262159\r\n"));

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
    QCOMPARE(fileBytes(m_dir->file("Kalvex.log")), QByteArray());
}

// Each refused write leaves the file as it was and logs one line.
void IniTest::refusesEntriesThatWouldForgeLines()
{
    const QByteArray before = "[Reminder]\r\nNextDate=NULL\r\n";
    // clang-format off
    const struct { const char* section; const char* key; const char* value; } cases[] = {
        {"LAN_Settings", "Nick", "x\r\n[Reminder]\r\nNextDate=010120300000"}, // line break in value
        {"LAN_Settings", "Nick", "x\nActive=0"}, // bare LF in value
        {"Reminder", "Next=Date", "1"},
        {"Reminder", "[Reminder]", "1"}, // key as header
        {"Remi]nder", "NextDate", "1"},
        {"Reminder", "", "1"},
    };
    // clang-format on
    for (const auto& c : cases) {
        writeBytes(iniFilePath(), before);
        QFile::remove(m_dir->file("Kalvex.log"));
        QVERIFY2(!WriteIni(c.section, c.key, c.value), c.value);
        QCOMPARE(fileBytes(iniFilePath()), before);
        const QByteArray log = fileBytes(m_dir->file("Kalvex.log"));
        QVERIFY2(log.contains(" -> WriteIni: ") && log.count('\n') == 1, log.constData());
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
    // clang-format on
    const QByteArray plain = "[LAN_Settings]\r\nNick=dan\r\n";
    QTest::newRow("unreadable") << plain << false << "DEF"
                                << "1" << plain;
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
    const QByteArray log = fileBytes(m_dir->file("Kalvex.log"));
    QCOMPARE(log.count(" -> WriteIni: cannot read "), readable ? 0 : 1);
}

// Copies the writer program into the program directory, as an installation
// would hold it beside the settings file.
QString IniTest::installWriter()
{
    const QString path = m_dir->file(QStringLiteral("IniWriter"));
    if (!QFile::copy(QStringLiteral(KV_INI_WRITER), path))
        return QString();
    return path;
}

void IniTest::twoProcessesLoseNoWrites()
{
    const QString writer = installWriter();
    QVERIFY(!writer.isEmpty());
    QProcess a, b;
    a.start(writer, {"a", "100"});
    b.start(writer, {"b", "100"});
    QVERIFY(a.waitForStarted() && b.waitForStarted());

    // Meanwhile read the file as a third process would: never a half-written one.
    QMap<QByteArray, int> lastSeen;
    QByteArray why;
    int snapshots = 0;
    const QDeadlineTimer deadline(240000);
    while ((a.state() != QProcess::NotRunning || b.state() != QProcess::NotRunning) &&
           !deadline.hasExpired()) {
        const QByteArray text = fileBytes(iniFilePath());
        QVERIFY2(consistentSnapshot(text, lastSeen, &why), why.constData());
        ++snapshots;
        QCoreApplication::processEvents();
    }
    QVERIFY2(a.state() == QProcess::NotRunning && b.state() == QProcess::NotRunning,
             "writers still running");
    QCOMPARE(a.exitStatus(), QProcess::NormalExit);
    QCOMPARE(a.exitCode(), 0); // each saw its own previous value before every write
    QCOMPARE(b.exitCode(), 0);
    QVERIFY(consistentSnapshot(fileBytes(iniFilePath()), lastSeen, &why));
    QCOMPARE(lastSeen, (QMap<QByteArray, int>{{"a", 100}, {"b", 100}}));
    QCOMPARE(fileBytes(m_dir->file("Kalvex.log")), QByteArray());
    qInfo("%d snapshots read while writing", snapshots);
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
    QVERIFY(holder.waitForStarted());
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
    const QByteArray log = fileBytes(m_dir->file("Kalvex.log"));
    QVERIFY2(log.count('\n') == 1 && log.contains(" -> WriteIni: ") && log.contains("held"),
             log.constData());

    QVERIFY(holder.waitForFinished(30000));
    QVERIFY(WriteIni("Stress", "a", "8"));
}

void IniTest::readOnlyProgramDirectory_data()
{
    QTest::addColumn<bool>("filesExist");
    QTest::newRow("nothing written yet") << false;
    QTest::newRow("settings and lock file writable") << true;
}

void IniTest::readOnlyProgramDirectory()
{
    QFETCH(bool, filesExist);
    const QString writer = installWriter();
    QVERIFY(!writer.isEmpty());
    const QByteArray before = "[Stress]\r\na=7\r\n";
    if (filesExist) {
        writeBytes(iniFilePath(), before, kWorldWritable);
        writeBytes(iniFilePath() + ".lock", "", kWorldWritable);
    }
    writeBytes(m_dir->file("Kalvex.log"), "", kWorldWritable); // so the failure can be logged

    // Root writes anywhere, so as root the writer runs as nobody in a
    // directory that only root may change.
    QProcess p;
    QFile::Permissions dirPermissions = kOpenDirectory;
    if (::geteuid() == 0) {
        p.setProgram(QStringLiteral("setpriv"));
        p.setArguments({"--reuid=65534", "--regid=65534", "--clear-groups", writer, "a", "1"});
    } else {
        dirPermissions &= ~QFile::WriteOwner;
        p.setProgram(writer);
        p.setArguments({"a", "1"});
    }
    QVERIFY(QFile::setPermissions(m_dir->path(), dirPermissions));
    p.start();
    const bool finished = p.waitForFinished(60000);
    QFile::setPermissions(m_dir->path(), kOpenDirectory | QFile::WriteOwner);
    QVERIFY(finished);
    if (p.exitCode() != 100 && p.readAllStandardError().contains("setpriv"))
        QSKIP("cannot switch to the user nobody here");

    QCOMPARE(p.exitCode(), 100); // WriteIni reported the failure
    const QByteArray log = fileBytes(m_dir->file("Kalvex.log"));
    QVERIFY2(log.count('\n') == 1 && log.contains(" -> WriteIni: "), log.constData());
    QCOMPARE(fileBytes(iniFilePath()), filesExist ? before : QByteArray());
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(),
             filesExist ? 4 : 2); // nothing left behind
}

QTEST_GUILESS_MAIN(IniTest)
#include "tst_ini.moc"
