#include "tests/support/E2eSession.h"
#include "tests/support/TestFiles.h"

#include "common/KalvexBus.h"
#include "common/ProfileFile.h"
#include "platform/FileLock.h"
#include "store/Database.h"
#include "store/Schema.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QThread>
#include <QUuid>

#include <csignal>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QString kMarkerName = QStringLiteral("KV_E2E_SESSION");

QList<qint64> processes(const std::function<bool(qint64 pid)>& wanted)
{
    QList<qint64> pids;
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        const qint64 pid = entry.toLongLong();
        if (pid > 0 && pid != ::getpid() && wanted(pid))
            pids << pid;
    }
    return pids;
}

// A process's "pid (comm) state ppid ..." line: comm and the fields after it.
std::pair<QString, QStringList> stat(qint64 pid)
{
    const QString text = QString::fromUtf8(fileBytes(QStringLiteral("/proc/%1/stat").arg(pid)));
    const int open = text.indexOf(QLatin1Char('(')), close = text.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open)
        return {};
    return {text.mid(open + 1, close - open - 1), text.mid(close + 2).split(QLatin1Char(' '))};
}

} // namespace

E2eSession::E2eSession(const E2eOptions& options)
    : m_programDir(options.programDir), m_userFolders(options.userFolders),
      m_launcher(options.launcher), m_programNames(options.programs),
      m_marker(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    // Processes orphaned by the bus or our programs come back to us to be reaped.
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
    if (!m_root.isValid()) {
        m_error = QStringLiteral("no temporary directory");
        return;
    }
    for (const char* dir : {"/config", "/home", "/runtime", "/data", "/state"})
        QDir().mkpath(root() + QLatin1String(dir));
    QFile::setPermissions(root() + "/runtime",
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (m_programDir.isEmpty())
        m_programDir = copyInstallation(QStringLiteral("prog dir"));
    if (!m_error.isEmpty())
        return;
    m_busAddress = QStringLiteral("unix:path=") + root() + QStringLiteral("/bus");
    m_env = QProcessEnvironment::systemEnvironment();
    for (const QString& name : m_env.keys())
        if (name.startsWith(QLatin1String("DBUS_")) || name == QLatin1String("DISPLAY") ||
            name == QLatin1String("WAYLAND_DISPLAY") || name.startsWith(QLatin1String("KV_")))
            m_env.remove(name);
    QMap<QString, QString> values = {
        {kMarkerName, m_marker},
        {"DBUS_SESSION_BUS_ADDRESS", m_busAddress},
        {"HOME", root() + "/home"},
        {"XDG_DATA_HOME", dataHome()},
        {"XDG_CONFIG_HOME", root() + "/config"},
        {"XDG_STATE_HOME", root() + "/state"},
        {"XDG_RUNTIME_DIR", root() + "/runtime"},
        {"TZ", qEnvironmentVariable("TZ", "Asia/Jerusalem")},
        {"LC_ALL", "C.UTF-8"},
        {"QT_QPA_PLATFORM", options.environment.contains("DISPLAY") ? "xcb" : "offscreen"},
        {"KV_PROMPT_LOG", root() + "/prompts.log"}};
    values.insert(options.environment);
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        if (it.value().isNull())
            m_env.remove(it.key());
        else
            m_env.insert(it.key(), it.value());
    const QProcessEnvironment all = m_env;
    for (const QString& name : options.notOnBus)
        m_env.remove(name);
    const QString config = busConfig();
    QProcess* daemon = launch(QStringLiteral("dbus-daemon"),
                              {config.isEmpty() ? "--session" : "--config-file=" + config,
                               "--nofork", "--address=" + m_busAddress, "--print-address=1"});
    m_env = all;
    // The daemon prints its address once it listens.
    if (!waitFor([&] { return daemon->canReadLine() || daemon->state() != QProcess::Running; }) ||
        !daemon->canReadLine()) {
        m_error = QStringLiteral("dbus-daemon did not start: ") + daemon->errorString() +
                  QString::fromLocal8Bit(daemon->readAllStandardError());
        return;
    }
    m_connectionName = QStringLiteral("e2e-") + m_marker;
    if (!bus().isConnected())
        m_error = QStringLiteral("no private bus: ") + bus().lastError().message();
}

E2eSession::~E2eSession()
{
    if (!m_connectionName.isEmpty())
        QDBusConnection::disconnectFromBus(m_connectionName);
    killEverything();
}

QString E2eSession::busConfig() const
{
    if (m_env.contains(QStringLiteral("XDG_DATA_HOME")))
        return QString();
    const QString path = root() + QStringLiteral("/session.conf");
    writeBytes(path,
               "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
               "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/"
               "busconfig.dtd\">\n<busconfig><include>/usr/share/dbus-1/session.conf</include>"
               "<servicedir>" +
                   home().toUtf8() + "/.local/share/dbus-1/services</servicedir></busconfig>\n");
    return path;
}

QString E2eSession::userFile(const QString& kind, const QString& name) const
{
    if (!m_userFolders)
        return programFile(name);
    static const QMap<QString, std::pair<QString, QString>> bases = {
        {"data", {"XDG_DATA_HOME", "/.local/share"}},
        {"config", {"XDG_CONFIG_HOME", "/.config"}},
        {"state", {"XDG_STATE_HOME", "/.local/state"}}};
    const auto [variable, underHome] = bases.value(kind);
    return m_env.value(variable, home() + underHome) + QStringLiteral("/veltrum-reminder/") + name;
}

QString E2eSession::copyInstallation(const QString& name)
{
    const QString dir = root() + QLatin1Char('/') + name;
    // The test builds (tests/programs) when present, else the shipped ones.
    const QString build = qEnvironmentVariable("KV_PROGRAM_BUILD_DIR");
    const QString programs = qEnvironmentVariable("KV_TEST_PROGRAM_DIR", build);
    QStringList sources;
    for (const QString& program : m_programNames)
        sources << programs + QLatin1Char('/') + program;
    sources << build + QStringLiteral("/KalvexAudio.so") << build + QStringLiteral("/RIcons");
    sources.removeIf([](const QString& source) { return !QFile::exists(source); });
    if (build.isEmpty() || !QDir().mkpath(dir) ||
        (!sources.isEmpty() &&
         QProcess::execute("cp", QStringList{"-r"} + sources + QStringList{dir}) != 0))
        m_error = QStringLiteral("cannot copy the programs from ") + programs;
    else if (m_programNames.contains(QStringLiteral("Kalvex")) && !QFile::exists(dir + "/Kalvex"))
        m_error = QStringLiteral("no Kalvex in ") + programs;
    return dir;
}

// Every process dies with the test process, so a crashed test leaves nothing behind.
QProcess* E2eSession::launch(const QString& program, const QStringList& args)
{
    QProcess* process = m_processes.emplace_back(std::make_unique<QProcess>()).get();
    process->setProcessEnvironment(m_env);
    process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    if (m_launcher.isEmpty())
        process->start(program, args);
    else
        process->start(m_launcher.first(), m_launcher.mid(1) + QStringList{program} + args);
    process->waitForStarted(10000);
    return process;
}

QList<qint64> E2eSession::processesMarked(const QByteArray& entry)
{
    return processes([&](qint64 pid) {
        return fileBytes(QStringLiteral("/proc/%1/environ").arg(pid)).split('\0').contains(entry);
    });
}

void E2eSession::killEverything()
{
    const QList<qint64> killed =
        processesMarked((kMarkerName + QLatin1Char('=') + m_marker).toUtf8());
    for (qint64 pid : killed)
        ::kill(pid_t(pid), SIGKILL);
    for (auto& process : m_processes)
        process->kill(), process->waitForFinished(5000);
    m_processes.clear();
    // The others were children of the bus or our programs and come to us orphaned.
    QDeadlineTimer deadline(5000);
    for (qint64 pid : killed) {
        while (processAlive(pid) && !deadline.hasExpired())
            QThread::msleep(5);
        ::waitpid(pid_t(pid), nullptr, WNOHANG);
    }
    // Adopted programs that ended earlier wait as zombies, their environment unreadable.
    const QStringList names = m_programNames + QStringList{QStringLiteral("dbus-daemon")};
    for (qint64 pid : processes([&](qint64 pid) {
             const auto [comm, rest] = stat(pid);
             return rest.size() > 1 && rest[0] == QLatin1String("Z") &&
                    rest[1].toLongLong() == ::getpid() && names.contains(comm);
         }))
        ::waitpid(pid_t(pid), nullptr, WNOHANG);
}

qint64 E2eSession::ownerPid(const QString& busName) const
{
    const QDBusReply<uint> pid = bus().interface()->servicePid(busName);
    return pid.isValid() ? qint64(pid.value()) : 0;
}

QDBusMessage E2eSession::call(const QString& service, const QString& path, const QString& interface,
                              const QString& method, const QVariantList& args, bool autoStart) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(args);
    message.setAutoStartService(autoStart);
    return bus().call(message, QDBus::Block, 25000);
}

void E2eSession::setEnvironmentValue(const QString& name, const QString& value)
{
    m_env.insert(name, value);
    qDBusRegisterMetaType<QMap<QString, QString>>();
    const QDBusMessage reply = call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                    "org.freedesktop.DBus", "UpdateActivationEnvironment",
                                    {QVariant::fromValue(QMap<QString, QString>{{name, value}})});
    if (reply.type() == QDBusMessage::ErrorMessage)
        qWarning("UpdateActivationEnvironment: %s", qPrintable(reply.errorMessage()));
}

bool E2eSession::registerKalvex()
{
    if (!isReady())
        return false;
    const int exitCode = runProgram(QStringLiteral("Kalvex"), {QStringLiteral("/REGSERVER")});
    if (exitCode != 0)
        m_error = QStringLiteral("Kalvex /REGSERVER ended with %1").arg(exitCode);
    return exitCode == 0;
}

void E2eSession::preferTestPrograms()
{
    if (qEnvironmentVariableIsEmpty("KV_TEST_PROGRAM_DIR"))
        qputenv("KV_TEST_PROGRAM_DIR", qgetenv("KV_PROGRAM_BUILD_DIR") + "/../tests/program");
}

E2eSession::Ran E2eSession::runCommand(const QString& command, const QStringList& args,
                                       int timeoutMs)
{
    QProcess* process = launch(command, args); // killed with the session if it hangs
    Ran ran;
    if (process->waitForFinished(timeoutMs) && process->exitStatus() == QProcess::NormalExit)
        ran.exitCode = process->exitCode();
    ran.out = QString::fromUtf8(process->readAllStandardOutput());
    ran.err = QString::fromUtf8(process->readAllStandardError());
    return ran;
}

QVariant E2eSession::testHook(const QString& method, const QVariantList& args) const
{
    return call(KalvexBus::serviceName, QStringLiteral("/TestHooks"),
                QStringLiteral("Kalvex.TestHooks"), method, args, false)
        .arguments()
        .value(0);
}

bool E2eSession::shellInsert(const Date& rDate, const QString& caption, const QString& thenSql)
{
    const QString insert =
        QStringLiteral("INSERT INTO Main_tbl (RCaption, RDate, RNext, RImportance, REventType, "
                       "RActive) VALUES ('%1', %2, %2, 0, 0, 1);")
            .arg(caption)
            .arg(rDate.serial(), 0, 'g', 17);
    const QString database = userFile(QStringLiteral("data"), QStringLiteral("KV_Data.mdb"));
    return runCommand(QStringLiteral("sqlite3"), {database, insert + thenSql}).exitCode == 0;
}

bool E2eSession::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return condition();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(2);
    }
    return true;
}

bool E2eSession::processAlive(qint64 pid)
{
    const QStringList rest = stat(pid).second;
    return !rest.isEmpty() && rest[0] != QLatin1String("Z");
}

QString E2eSession::iniValue(const QString& section, const QString& key) const
{
    return ProfileFile(QString::fromUtf8(fileBytes(userFile("config", "Kalvex.ini"))))
        .value(section, key);
}

void E2eSession::setIniValue(const QString& section, const QString& key, const QString& value)
{
    const QString path = userFile(QStringLiteral("config"), QStringLiteral("Kalvex.ini"));
    QDir().mkpath(QFileInfo(path).path());
    // Under the programs' own lock, so a write of theirs cannot undo this one.
    FileLock lock(path + QStringLiteral(".lock"), std::chrono::seconds(10));
    ProfileFile ini(QString::fromUtf8(fileBytes(path)));
    ini.setValue(section, key, value);
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(ini.text().toUtf8());
        file.commit();
    }
}

QStringList E2eSession::promptLines() const
{
    return QString::fromUtf8(fileBytes(root() + QStringLiteral("/prompts.log")))
        .split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

qint32 E2eSession::addReminder(const Date& rDate, const QString& caption, bool active)
{
    const QString path = userFile(QStringLiteral("data"), QStringLiteral("KV_Data.mdb"));
    QDir().mkpath(QFileInfo(path).path());
    auto db = openOrCreateDb(path);
    db->execute("INSERT INTO Main_tbl (RCaption, RDetail, RDate, RNext, RImportance, REventType, "
                "RActive) VALUES (?, '', ?, ?, 0, 0, ?)",
                {caption, rDate.serial(), rDate.serial(), active ? 1 : 0});
    return qint32(db->lastInsertId());
}

qint64 E2eSession::logBytes() const
{
    qint64 bytes = 0;
    for (const char* name : {"Kalvex.log", "Kalvex.log.1", "Tolvane.log", "Tolvane.log.1"})
        bytes += QFileInfo(userFile(QStringLiteral("state"), QString::fromLatin1(name))).size();
    return bytes;
}

QVariant E2eSession::scalarSql(const QString& sql, const QVariantList& params)
{
    return openOrCreateDb(userFile(QStringLiteral("data"), QStringLiteral("KV_Data.mdb")))
        ->scalar(sql, params);
}

bool E2eSession::startMonitor(int timeoutMs)
{
    startProgram(QStringLiteral("Tolvane"));
    return waitFor(
        [this] {
            return !iniValue(QStringLiteral("Reminder"), QStringLiteral("NextDate")).isNull();
        },
        timeoutMs);
}
