#include "FrmDummy.h"

#include "CommandQueue.h"

namespace {
FrmDummy* g_instance = nullptr;
}

FrmDummy::FrmDummy()
{
    setObjectName(QStringLiteral("FrmDummy"));
    setWindowTitle(QStringLiteral("KVForm"));
    m_drainTimer.setSingleShot(true);
    connect(&m_drainTimer, &QTimer::timeout, this, [] { DrainCommandQueue(); });
    m_unloadTimer.setSingleShot(true);
    connect(&m_unloadTimer, &QTimer::timeout, this, &QObject::deleteLater);
    m_unloadTimer.start(kSelfUnloadMs);
}

FrmDummy::~FrmDummy()
{
    g_instance = nullptr;
    emit unloaded();
}

FrmDummy* FrmDummy::instance()
{
    return g_instance;
}

FrmDummy* FrmDummy::load()
{
    if (!g_instance)
        g_instance = new FrmDummy;
    return g_instance;
}

void FrmDummy::armDrainTimer(int ms)
{
    if (m_drainTimer.isActive() && m_drainTimer.remainingTime() <= ms)
        return;
    m_drainTimer.start(ms);
}
