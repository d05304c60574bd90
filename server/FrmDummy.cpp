#include "server/FrmDummy.h"

namespace {
FrmDummy* g_dummy = nullptr;
}

FrmDummy::FrmDummy()
{
    setObjectName(QStringLiteral("FrmDummy"));
    setWindowTitle(QStringLiteral("KVForm"));
    m_drainTimer.setSingleShot(true);
    connect(&m_drainTimer, &QTimer::timeout, this, [this] { m_drain(); });
    m_unloadTimer.setSingleShot(true);
    connect(&m_unloadTimer, &QTimer::timeout, this, &FrmDummy::unload);
    m_unloadTimer.start(kSelfUnloadMs);
}

FrmDummy::~FrmDummy()
{
    if (g_dummy == this)
        g_dummy = nullptr;
    emit unloaded();
}

// Leaves at once, though it is deleted later: a command queued in between
// loads a fresh form and arms that one. A drain still due moves over too.
void FrmDummy::unload()
{
    g_dummy = nullptr;
    if (m_drainTimer.isActive())
        load()->armDrainTimer(m_drainTimer.remainingTime(), m_drain);
    m_drainTimer.stop();
    deleteLater();
}

FrmDummy* FrmDummy::instance()
{
    return g_dummy;
}

FrmDummy* FrmDummy::load()
{
    if (!g_dummy)
        g_dummy = new FrmDummy;
    return g_dummy;
}

void FrmDummy::armDrainTimer(int ms, void (*drain)())
{
    m_drain = drain;
    if (m_drainTimer.isActive() && m_drainTimer.remainingTime() <= ms)
        return;
    m_drainTimer.start(ms);
}
