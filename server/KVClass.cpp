#include "KVClass.h"

#include "CommandQueue.h"
#include "Failure.h"
#include "FrmAbout.h"
#include "KalvexBus.h"
#include "LanSettings.h"
#include "ServerLifetime.h"
#include "ShowMainForm.h"

KVClass::KVClass(ServerLifetime* lifetime, QObject* parent) : QObject(parent), m_lifetime(lifetime)
{
    setObjectName(QStringLiteral("KVClass"));
}

void KVClass::serve(const std::function<void()>& work)
{
    if (m_lifetime && calledFromDBus() && m_lifetime->isLeaving()) {
        setDelayedReply(true);
        m_lifetime->forward(message());
        return;
    }
    try {
        LoadLANSettings();
        work();
    } catch (const std::exception& e) {
        if (!calledFromDBus())
            throw;
        sendErrorReply(KalvexBus::failedError, describe(e));
    }
    if (m_lifetime)
        m_lifetime->noteActivity();
}

void KVClass::ShowList(int /*RMainId*/)
{
    serve([] { ShowMainForm(); });
}

void KVClass::CheckList()
{
    serve([] { QueueCommand(kCheckCommand); });
}

void KVClass::UpdateList()
{
    serve([] { QueueCommand(kUpdateCommand); });
}

void KVClass::MsgProcess(const QString& StrMsg)
{
    serve([&StrMsg] { QueueCommand(StrMsg); });
}

void KVClass::ShowAbout()
{
    serve([] { FrmAbout::showBox(); });
}
