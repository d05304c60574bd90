#include "modMain.h"

#include "Clock.h"
#include "FrmMain.h"
#include "Ini.h"
#include "KalvexClient.h"
#include "Log.h"
#include "ProgramDir.h"
#include "ProgramEnd.h"
#include "Prompt.h"
#include "SingleInstance.h"
#include "TextConversion.h"
#include "WindowCaptions.h"
#include "WindowDirectory.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <csignal>

namespace modMain {

bool SendFlag = false;
bool ReceiveFlag = false;

namespace {

constexpr int kRegisterTimeoutMs = 5000;

void logFailure(const QString& procedure, const std::exception& e)
{
    WriteLog(procedure + QStringLiteral(": ") + describe(e), LogError);
}

// A detached process is not our child, so its end shows only as its pid
// going away (or, under a subreaper that has not yet reaped it, as a zombie).
bool processGone(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return true;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const int afterName = line.lastIndexOf(')');
    return afterName >= 0 && line.mid(afterName + 2, 1) == "Z";
}

void waitForProcessEnd(qint64 pid, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!processGone(pid) && !deadline.hasExpired())
        QThread::msleep(10);
}

} // namespace

bool Main()
{
    if (!SingleInstance::claim()) {
        // This start only opens the manager window; its failures still belong in our log.
        StartLogging(QStringLiteral("Tolvane.log"));
        ShowList();
        return false;
    }
    if (WindowDirectory::exists(trayMainFormCaption())) {
        Prompt::message(nullptr, QStringLiteral("תזכורון ולטרום כבר מופעל ממקום אחר"), appTitle(),
                        Prompt::Buttons::Ok, Prompt::Icon::Information);
        return false;
    }
    StartLogging(QStringLiteral("Tolvane.log"));
    FrmMain::load();
    return true;
}

void LANInit()
{
    try {
        SendFlag = textToBool(ReadIni(QStringLiteral("LAN_Settings"), QStringLiteral("OptSend"),
                                      QStringLiteral("1")));
        ReceiveFlag = textToBool(ReadIni(QStringLiteral("LAN_Settings"),
                                         QStringLiteral("OptReceive"), QStringLiteral("1")));
        if (SendFlag || ReceiveFlag) {
            // The LAN receiver (form frmWinSock, bound also when only sending
            // is on) is loaded here once it exists.
        }
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("LANInit"), e);
        SendFlag = false;
        ReceiveFlag = false;
    }
}

void GetKalvex(const QString& method)
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
                                {QStringLiteral("/REGSERVER")}, ProgramDir::path(), &pid))
        waitForProcessEnd(pid, kRegisterTimeoutMs);
}

void CheckList()
{
    try {
        GetKalvex(QStringLiteral("CheckList"));
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("CheckList"), e);
    }
}

void UpdateList()
{
    try {
        GetKalvex(QStringLiteral("UpdateList"));
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("UpdateList"), e);
        FrmMain::unload();
    }
}

void ShowList()
{
    try {
        Kalvex::client().call(QStringLiteral("ShowList"), {QVariant::fromValue<qint32>(0)});
        if (!WindowDirectory::activate(managerWindowCaption()))
            throw Failure(QStringLiteral("Invalid procedure call or argument"), 5);
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("ShowList"), e);
    }
}

void MsgProc(const QString& text)
{
    try {
        Kalvex::client().call(QStringLiteral("MsgProcess"), {text});
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("MsgProc"), e);
    }
}

Date GetNextDate()
{
    const QString text =
        ReadIni(QStringLiteral("Reminder"), QStringLiteral("NextDate"), QStringLiteral("NULL"));
    if (text == QLatin1String("NULL"))
        return Date();
    // Only a hand-edited file holds anything else; a tick must never fail on it.
    return parseNextDate(text).value_or(Date());
}

bool IsActive()
{
    return ReadIni(QStringLiteral("Reminder"), QStringLiteral("Active"), QStringLiteral("1")) ==
           QLatin1String("1");
}

void CheckNextDate()
{
    const Date due = GetNextDate();
    if (!due.isZero() && due < Clock::now())
        CheckList();
}

} // namespace modMain
