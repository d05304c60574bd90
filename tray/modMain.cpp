#include "tray/modMain.h"

#include "common/ActivationFile.h"
#include "common/Ini.h"
#include "common/KalvexProxies.h"
#include "common/Log.h"
#include "common/SettingsKeys.h"
#include "common/Trapped.h"
#include "common/WindowCaptions.h"
#include "platform/Clock.h"
#include "platform/PeerWait.h"
#include "platform/ProcessWait.h"
#include "platform/ProgramDir.h"
#include "platform/ui/ActivationEnvironment.h"
#include "platform/ui/WindowDirectory.h"
#include "tray/KalvexClient.h"
#include "tray/ProgramEnd.h"

#include <QProcess>

#include <memory>

namespace modMain {

void PrepareKalvex()
{
    trapped(QStringLiteral("PrepareKalvex"), [] {
        ActivationEnvironment::handDisplay();
        if (ActivationFile::startsAnotherKalvex(ProgramDir::path()))
            RegisterKalvex();
    });
}

void GetKalvex(const KalvexCall& method)
{
    try {
        Kalvex::client().call(method);
        return;
    } catch (const NotCreated&) {
        RegisterKalvex();
    }
    try {
        Kalvex::client().call(method);
    } catch (const NotCreated& e) {
        logFailure(QStringLiteral("GetKalvex"), e);
        ProgramEnd::now();
    }
}

void RegisterKalvex()
{
    qint64 pid = 0;
    // A missing or broken Kalvex shows as the second creation failing.
    if (QProcess::startDetached(ProgramDir::file(QStringLiteral("Kalvex")),
                                {QStringLiteral("/REGSERVER")}, ProgramDir::path(), &pid) &&
        !waitForProcessEnd(pid, kPeerWaitMs))
        WriteLog(QStringLiteral("RegisterKalvex: Kalvex /REGSERVER did not finish within %1 ms")
                     .arg(kPeerWaitMs),
                 LogError);
}

void CheckList()
{
    trapped(QStringLiteral("CheckList"),
            [] { GetKalvex([](KalvexKVClassInterface& kalvex) { return kalvex.CheckList(); }); });
}

bool UpdateList()
{
    return trapped(QStringLiteral("UpdateList"), [] {
        GetKalvex([](KalvexKVClassInterface& kalvex) { return kalvex.UpdateList(); });
    });
}

void ShowList(qint32 reminderId)
{
    trapped(QStringLiteral("ShowList"), [&] {
        Kalvex::client().call(
            [reminderId](KalvexKVClassInterface& kalvex) { return kalvex.ShowList(reminderId); });
        QString error;
        if (!WindowDirectory::activate(managerWindowCaption(), &error))
            throw error.isEmpty() ? Failure::invalidCall() : Failure(error, 5);
    });
}

// Posted, not waited for: the socket is read on while Kalvex works.
void MsgProc(const QList<LanDatagram>& datagrams, const std::function<void(bool)>& onEnd)
{
    auto failed = std::make_shared<bool>(false);
    Kalvex::client().post(
        [datagrams](KalvexKVClassInterface& kalvex) { return kalvex.MsgProcessBatch(datagrams); },
        [failed](const QString& failure) {
            *failed = true;
            LogFolding folding;
            WriteLog(QStringLiteral("MsgProc: ") + failure, LogError);
        },
        [failed, onEnd] {
            if (onEnd)
                onEnd(!*failed);
        });
}

Date GetNextDate()
{
    using namespace SettingsKeys;
    const QString text = ReadIni(reminderSection, nextDate, noNextDate);
    if (text == noNextDate)
        return Date();
    // Only a hand-edited file holds anything else; a tick must never fail on it.
    return parseNextDate(text).value_or(Date());
}

bool IsActive()
{
    using namespace SettingsKeys;
    return ReadIni(reminderSection, active, activeDefault) == QLatin1String("1");
}

void CheckNextDate()
{
    const Date due = GetNextDate();
    if (due.serial() > 0 && Clock::hasPassed(due))
        CheckList();
}

} // namespace modMain
