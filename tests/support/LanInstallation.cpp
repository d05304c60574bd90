#include "tests/support/LanInstallation.h"

std::unique_ptr<E2eSession> lanInstallation(const LanNetwork& net, int host, const QString& nick)
{
    auto session = std::make_unique<E2eSession>(
        E2eOptions{.environment = {{"KV_PROMPT_ANSWER", "Ignore"},
                                   {"KV_TRAY_WAIT_MS", "100"},
                                   {"KV_ANNOUNCE_TO", "255.255.255.255"}},
                   .launcher = net.launcher(host)});
    if (session->isReady()) {
        session->setIniValue("LAN_Settings", "Nick", nick);
        session->registerKalvex();
    }
    return session;
}

bool toldUnless(bool condition, const QList<std::pair<QString, const E2eSession*>>& installations)
{
    for (const auto& [name, session] : installations)
        if (!condition)
            qInfo("%s:\n%s%s", qPrintable(name), qPrintable(session->logText().right(3000)),
                  qPrintable(session->logText("Tolvane.log").right(2000)));
    return condition;
}
