#pragma once

#include "Clock.h"
#include "FreePort.h"
#include "FrmMain.h"
#include "Ini.h"
#include "KalvexClient.h"
#include "Log.h"
#include "ProgramEnd.h"
#include "Prompt.h"
#include "TempProgramDir.h"
#include "TestFiles.h"
#include "TrayHost.h"

#include <QCoreApplication>
#include <QEvent>

#include <functional>

// Kalvex as the tray monitor sees it, recording every call.
class FakeKalvex : public KalvexClient
{
public:
    QStringList calls;
    int notCreatedLeft = 0;

    void call(const QString& method, const QVariantList&) override
    {
        calls << method;
        if (notCreatedLeft > 0 && notCreatedLeft--)
            throw NotCreated(
                QStringLiteral("The name Kalvex.KVClass was not provided by any .service files"));
    }
};

// One in-process tray monitor: a fresh program directory, a pinned clock, the fake
// Kalvex, a tray host unless a test says otherwise, the program's ending recorded.
class TrayFixture
{
public:
    TrayFixture()
    {
        Clock::setNow(Date::fromParts(2026, 12, 5, 21, 59, 30));
        StartLogging(QStringLiteral("Tolvane.log"));
        Kalvex::setClient(&kalvex);
        ProgramEnd::setHook([this](bool atOnce) { endings << (atOnce ? "now" : "quit"); });
        TrayHost::setAvailability([this] { return trayAvailable(); });
        Prompt::clearHistory();
        writeIni({});
    }
    ~TrayFixture()
    {
        FrmMain::unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Kalvex::setClient(nullptr);
        ProgramEnd::setHook(nullptr);
        TrayHost::setAvailability(nullptr);
        TrayHost::setPatience({});
        Clock::useSystemClock();
    }

    // The file's text, and a LAN port of the test's own for the receiver.
    void writeIni(const QByteArray& text)
    {
        writeBytes(dir.file(QStringLiteral("Kalvex.ini")), text);
        if (!text.contains("Port="))
            WriteIni(QStringLiteral("LAN_Settings"), QStringLiteral("Port"), QString::number(port));
    }
    QString log() const { return QString::fromUtf8(fileBytes(dir.file("Tolvane.log"))); }

    TempProgramDir dir;
    quint16 port = freeUdpPort();
    FakeKalvex kalvex;
    QStringList endings;
    std::function<bool()> trayAvailable = [] { return true; };
};
