#pragma once

#include "Date.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QMap>
#include <QObject>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>

#include <functional>
#include <memory>
#include <vector>

class QProcess;

// An installation of its own for an end-to-end test: a temporary program
// directory "prog dir" (the blank checks that paths are quoted wherever they
// are handed on) holding copies of the real executables (the test builds from
// KV_TEST_PROGRAM_DIR, else the shipped ones) and RIcons/ (from
// KV_PROGRAM_BUILD_DIR), temporary XDG_DATA_HOME, XDG_CONFIG_HOME, HOME and
// XDG_RUNTIME_DIR, and a private session bus (dbus-daemon --session, so the
// activation files that "Kalvex /REGSERVER" writes under XDG_DATA_HOME are found).
//
// Every process the session starts, directly or through the bus, carries a
// marker in its environment; the destructor kills every process with that
// marker and reaps the ones that end up as children of the test process (a
// child subreaper), so nothing survives a test. The bus and the programs the
// session starts also die with the test process if it crashes.
struct E2eOptions
{
    // Environment of every program, set before the bus starts (so bus-activated
    // programs get it too); with DISPLAY the programs use xcb, else offscreen.
    QMap<QString, QString> environment = {};
    // A command in front of the bus and every program: {"ip", "netns", "exec",
    // NAME} puts the whole installation into that network namespace.
    QStringList launcher = {};
    // Executables copied when present.
    QStringList programs = {QStringLiteral("Kalvex"), QStringLiteral("Tolvane")};
    // Variables the bus is started without, as a systemd user bus started
    // before the graphical session lacks the display.
    QStringList notOnBus = {};
};

class E2eSession
{
public:
    explicit E2eSession(const E2eOptions& options = {});
    ~E2eSession();
    E2eSession(const E2eSession&) = delete;
    E2eSession& operator=(const E2eSession&) = delete;

    // False when the installation or the bus could not be set up; error() says why.
    bool isReady() const { return m_error.isEmpty(); }
    QString error() const { return m_error; }

    QString root() const { return m_root.path(); }
    QString programFile(const QString& name) const; // in the program directory
    QString dataHome() const { return root() + QStringLiteral("/data"); } // XDG_DATA_HOME
    // A second installation of the same programs, in root()/name; its path.
    QString copyInstallation(const QString& name);

    QString busAddress() const { return m_busAddress; }
    QDBusConnection bus() const;
    bool hasOwner(const QString& busName) const;
    // The process id of the name's owner, 0 when it has none.
    qint64 ownerPid(const QString& busName) const;
    // A blocking method call on the private bus. With autoStart false a name
    // without owner is not activated (observe without starting anything).
    QDBusMessage call(const QString& service, const QString& path, const QString& interface,
                      const QString& method, const QVariantList& args = {}, bool autoStart = true,
                      int timeoutMs = 25000) const;

    // The environment of every program the session starts (bus address,
    // XDG_*, HOME, TZ, LC_ALL, QT_QPA_PLATFORM, KV_PROMPT_LOG). Changing a
    // value also changes it for programs the bus starts from then on.
    QProcessEnvironment environment() const { return m_env; }
    void setEnvironmentValue(const QString& name, const QString& value);

    // Runs a program of the program directory to its end; its exit code, or
    // -1 when it crashed or did not end within the time (it is then killed).
    int runProgram(const QString& name, const QStringList& args = {}, int timeoutMs = 15000);
    // Starts a program of the program directory and leaves it running; the
    // session owns the process object.
    QProcess* startProgram(const QString& name, const QStringList& args = {});

    // Polls the condition, processing events in between, until it holds or
    // the time is up; gives its last value.
    static bool waitFor(const std::function<bool()>& condition, int timeoutMs = 10000);
    // True while the process exists and has not ended (a zombie has ended).
    static bool processAlive(qint64 pid);

    // Files of the program directory.
    QString logText(const QString& logName = QStringLiteral("Kalvex.log")) const;
    // A key of "Kalvex.ini"; null when the file, section or key is absent.
    QString iniValue(const QString& section, const QString& key) const;
    void setIniValue(const QString& section, const QString& key, const QString& value);
    // One "title|text" line per prompt a program answered through KV_PROMPT_LOG.
    QStringList promptLines() const;

    // The reminder database "KV_Data.mdb" of the program directory, created
    // with the current schema on first use. addReminder adds a one-time
    // reminder due at rDate and gives its RMain_Id.
    qint32 addReminder(const Date& rDate, const QString& caption = QStringLiteral("תזכורת"),
                       bool active = true);
    QVariant scalarSql(const QString& sql, const QVariantList& params = {});

private:
    void setUp(const E2eOptions& options);
    void startBus(const QStringList& notOnBus);
    void killEverything();
    QProcess* newProcess();
    void launch(QProcess* process, const QString& program, const QStringList& args);

    QTemporaryDir m_root;
    QStringList m_launcher;
    QStringList m_programNames;
    QString m_marker;
    QString m_busAddress;
    QString m_connectionName;
    QProcessEnvironment m_env;
    QString m_error;
    QProcess* m_daemon = nullptr;
    std::vector<std::unique_ptr<QProcess>> m_processes;
};
