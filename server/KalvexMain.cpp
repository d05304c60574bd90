#include "server/KalvexMain.h"

#include "common/KalvexBus.h"
#include "common/Log.h"
#include "common/Trapped.h"
#include "platform/DisplayPlatform.h"
#include "platform/EndSignals.h"
#include "platform/Failure.h"
#include "platform/ui/UiConventions.h"
#include "server/CommandLine.h"
#include "server/KVClass.h"
#include "server/Registration.h"
#include "server/ServerLifetime.h"
#include "server/ServerWiring.h"
#include "server/WindowWatcher.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusError>

namespace {

bool isRegServer(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg.compare(QLatin1String("/REGSERVER"), Qt::CaseInsensitive) == 0 ||
            arg.compare(QLatin1String("-REGSERVER"), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

// Started by the bus without a session address of its own: the bus that
// started us is the session bus.
void adoptStarterBus()
{
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS") &&
        qEnvironmentVariable("DBUS_STARTER_BUS_TYPE") == QLatin1String("session") &&
        !qEnvironmentVariableIsEmpty("DBUS_STARTER_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", qgetenv("DBUS_STARTER_ADDRESS"));
}

int registerMain(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    StartLogging(QStringLiteral("Kalvex.log"));
    return trapped(QStringLiteral("RegisterServer"), [] { RegisterServer(); }) ? 0 : 1;
}

int serverMain(int argc, char* argv[])
{
    DisplayPlatform::chooseForAlerts();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    UiConventions::install();
    StartLogging(QStringLiteral("Kalvex.log"));
    WireServer();

    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        WriteLog(QStringLiteral("Main: ") + bus.lastError().message(), LogError);
        return 1;
    }
    WindowWatcher watcher;
    ServerLifetime lifetime(bus, &watcher);
    KVClass kvclass(&lifetime, &watcher);
    // The object first, so calls the bus queued while starting us are served
    // the moment the name is ours.
    if (!kvclass.exportOn(bus)) {
        WriteLog(QStringLiteral("Main: cannot register ") + KalvexBus::objectPath, LogError);
        return 1;
    }
    if (!bus.registerService(KalvexBus::serviceName)) {
        if (bus.interface()->isServiceRegistered(KalvexBus::serviceName))
            return 0; // another Kalvex serves this session
        WriteLog(QStringLiteral("Main: cannot own ") + KalvexBus::serviceName, LogError);
        return 1;
    }
    // exit(), not quit(): quitting would first close the windows still open,
    // and an alert closed at log-out would count as dismissed.
    QObject::connect(
        &lifetime, &ServerLifetime::finished, &app, [] { QCoreApplication::exit(0); },
        Qt::QueuedConnection);
    EndSignals::install([&lifetime] { lifetime.endSession(); });
    lifetime.start();
    return app.exec();
}

} // namespace

int KalvexMain(int argc, char* argv[])
{
    adoptStarterBus();
    if (isRegServer(argc, argv))
        return registerMain(argc, argv);
    if (isCommandLine(argc, argv))
        return CommandLineMain(argc, argv);
    return serverMain(argc, argv);
}
