#pragma once

#include "platform/Date.h"
#include "tests/support/TestFiles.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

class QProcess;

// An installation of its own in a temporary "prog dir" (the blank checks quoting) with its own
// XDG_*, HOME and session bus; every process it starts, also through the bus, dies with it.
struct E2eOptions
{
    // With DISPLAY on xcb, else offscreen; a null value unsets the variable (XDG_DATA_HOME too:
    // the bus then looks for activation files in HOME, as a user's own bus does).
    QMap<QString, QString> environment = {};
    QStringList launcher = {}; // in front of the bus and every program
    QStringList programs = {QStringLiteral("Kalvex"), QStringLiteral("Tolvane")};
    QStringList notOnBus = {}; // as a user bus started before the graphical session
    QString programDir = {};   // programs installed there: none is copied
    // The programs keep the user's files in the XDG folders (platform/UserFiles.h): their
    // directory is read-only or installed.
    bool userFolders = false;
};

class E2eSession
{
public:
    explicit E2eSession(const E2eOptions& options = {});
    ~E2eSession();

    bool isReady() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    QString root() const { return m_root.path(); }
    QString programDir() const { return m_programDir; }
    // A program of the installation by its name, or any by its absolute path.
    QString programFile(const QString& name) const
    {
        return name.startsWith('/') ? name : m_programDir + '/' + name;
    }
    QString dataHome() const { return root() + QStringLiteral("/data"); }
    QString home() const { return m_env.value(QStringLiteral("HOME")); }
    // Where the programs keep one of the user's files: beside them, or in the XDG folder of
    // that kind ("data", "config", "state") of the session's environment.
    QString userFile(const QString& kind, const QString& name) const;
    // Another installation in root()/name; its path.
    QString copyInstallation(const QString& name);

    QString busAddress() const { return m_busAddress; }
    QDBusConnection bus() const
    {
        return QDBusConnection::connectToBus(m_busAddress, m_connectionName);
    }
    qint64 ownerPid(const QString& busName) const; // 0 without owner
    bool hasOwner(const QString& busName) const { return ownerPid(busName) != 0; }
    // With autoStart false a name without owner is not activated.
    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& args = {},
                      bool autoStart = true) const;

    QProcessEnvironment environment() const { return m_env; }
    // Also for programs the bus starts from then on.
    void setEnvironmentValue(const QString& name, const QString& value);

    // A program run to its end: its exit code (-1: crashed or hung) and its output.
    struct Ran
    {
        int exitCode = -1;
        QString out, err;
    };
    // A command as found on the PATH, or an absolute path; run() takes a program of the
    // installation by its name.
    Ran runCommand(const QString& command, const QStringList& args = {}, int timeoutMs = 20000);
    Ran run(const QString& name, const QStringList& args = {}, int timeoutMs = 20000)
    {
        return runCommand(programFile(name), args, timeoutMs);
    }
    int runProgram(const QString& name, const QStringList& args = {})
    {
        return run(name, args, 15000).exitCode;
    }
    // The test build's control of the serving Kalvex's windows (tests/programs/TestHooks.cpp):
    // what the method answers, or an invalid value.
    QVariant testHook(const QString& method, const QVariantList& args = {}) const;
    // As another program writes the database: a one-time reminder due at rDate added by the
    // sqlite3 shell, then the SQL given; true when the shell succeeded.
    bool shellInsert(const Date& rDate, const QString& caption, const QString& thenSql = {});
    // The running processes whose environment holds this NAME=value entry.
    static QList<qint64> processesMarked(const QByteArray& entry);
    // Registers the installation's Kalvex with the bus (/REGSERVER); false, with error(), when
    // the session or the registration failed.
    bool registerKalvex();
    // For benchmarks run as programs: the test builds of the programs (prompt answers from the
    // environment), which stand beside the shipped ones, unless KV_TEST_PROGRAM_DIR names others.
    static void preferTestPrograms();
    QProcess* startProgram(const QString& name, const QStringList& args = {})
    {
        return launch(programFile(name), args);
    }

    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);
    static bool processAlive(qint64 pid); // a zombie has ended

    QString logText(const QString& logName = QStringLiteral("Kalvex.log")) const
    {
        return QString::fromUtf8(fileBytes(userFile(QStringLiteral("state"), logName)));
    }
    // The size of both programs' logs, their older generations included.
    qint64 logBytes() const;
    QString iniValue(const QString& section, const QString& key) const;
    // Starts the monitor and waits until it had Kalvex publish the next due time.
    bool startMonitor(int timeoutMs = 30000);
    void setIniValue(const QString& section, const QString& key, const QString& value);
    // One "title|text" line per prompt answered through KV_PROMPT_LOG.
    QStringList promptLines() const;

    // A one-time reminder due at rDate in "KV_Data.mdb".
    qint32 addReminder(const Date& rDate, const QString& caption = QStringLiteral("תזכורת"),
                       bool active = true);
    QVariant scalarSql(const QString& sql, const QVariantList& params = {});

private:
    void killEverything();
    QString busConfig() const; // for a bus that finds activation files in HOME
    QProcess* launch(const QString& program, const QStringList& args);

    QTemporaryDir m_root;
    QString m_programDir;
    bool m_userFolders = false;
    QStringList m_launcher;
    QStringList m_programNames;
    QString m_marker;
    QString m_busAddress;
    QString m_connectionName;
    QProcessEnvironment m_env;
    QString m_error;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};

// Waits up to 30 s for the condition; a failure shows the calling test's diagnostics().
#define KV_WAIT_FOR(condition)                                                                     \
    QVERIFY2(E2eSession::waitFor([&] { return bool(condition); }, 30000), qPrintable(diagnostics()))
