#include "modMain.h"

#include "ActivationEnvironment.h"
#include "ActivationFile.h"
#include "Clock.h"
#include "CloseWindowByCaption.h"
#include "EndSignals.h"
#include "FrmMain.h"
#include "Ini.h"
#include "KalvexClient.h"
#include "Log.h"
#include "PeerWait.h"
#include "ProcessWait.h"
#include "ProgramDir.h"
#include "ProgramEnd.h"
#include "Prompt.h"
#include "SingleInstance.h"
#include "TextConversion.h"
#include "WindowCaptions.h"
#include "WindowDirectory.h"
#include "frmWinSock.h"

#include <QProcess>

namespace modMain {

bool SendFlag = false;
bool ReceiveFlag = false;

namespace {

void logFailure(const QString& procedure, const std::exception& e)
{
    WriteLog(procedure + QStringLiteral(": ") + describe(e), LogError);
}

} // namespace

bool Main()
{
    if (!SingleInstance::claim()) {
        // This start only opens the manager window; its failures still belong in our log.
        StartLogging(QStringLiteral("Tolvane.log"));
        PrepareKalvex();
        ShowList();
        return false;
    }
    if (WindowDirectory::exists(trayMainFormCaption())) {
        Prompt::message(nullptr, QStringLiteral("תזכורון ולטרום כבר מופעל ממקום אחר"), appTitle(),
                        Prompt::Buttons::Ok, Prompt::Icon::Information);
        return false;
    }
    StartLogging(QStringLiteral("Tolvane.log"));
    PrepareKalvex();
    // Log-out ends Tolvane as a close request to its main form does.
    EndSignals::install([] {
        if (FrmMain::instance())
            CloseWindowByCaption(trayMainFormCaption());
        else
            ProgramEnd::quit();
    });
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
        // The receiver is bound also when only sending is on.
        if (SendFlag || ReceiveFlag)
            frmWinSock::load();
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("LANInit"), e);
        SendFlag = false;
        ReceiveFlag = false;
    }
}

void PrepareKalvex()
{
    try {
        ActivationEnvironment::handDisplay();
        if (ActivationFile::startsAnotherKalvex(ProgramDir::path()))
            RegisterKalvex();
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("PrepareKalvex"), e);
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
                                {QStringLiteral("/REGSERVER")}, ProgramDir::path(), &pid) &&
        !waitForProcessEnd(pid, kPeerWaitMs))
        WriteLog(QStringLiteral("RegisterKalvex: Kalvex /REGSERVER did not finish within %1 ms")
                     .arg(kPeerWaitMs),
                 LogError);
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
        QString error;
        if (!WindowDirectory::activate(managerWindowCaption(), &error))
            throw Failure(
                error.isEmpty() ? QStringLiteral("Invalid procedure call or argument") : error, 5);
    } catch (const std::exception& e) {
        logFailure(QStringLiteral("ShowList"), e);
    }
}

// Posted, not waited for: a burst of datagrams is read off the socket as fast
// as it arrives instead of overflowing it while Kalvex answers each one.
void MsgProc(const QString& text)
{
    Kalvex::client().post(QStringLiteral("MsgProcess"), {text}, [](const QString& failure) {
        WriteLog(QStringLiteral("MsgProc: ") + failure, LogError);
    });
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
    if (due.serial() > 0 && due < Clock::now())
        CheckList();
}

} // namespace modMain
