#include "server/KVClass.h"

#include "common/KalvexBus.h"
#include "platform/Failure.h"
#include "server/CommandQueue.h"
#include "server/FrmAbout.h"
#include "server/ServerLifetime.h"
#include "server/ShowMainForm.h"
#include "store/LanSettings.h"

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
