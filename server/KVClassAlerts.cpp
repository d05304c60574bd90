#include "server/KVClassAlerts.h"

#include "alert/AlertPile.h"

int KVClassAlerts::Count() const
{
    return AlertPile::instance().count();
}

void KVClassAlerts::CloseAll()
{
    AlertPile::instance().closeAll();
}

void KVClassAlerts::PostponeAll()
{
    AlertPile::instance().postponeAll();
}
