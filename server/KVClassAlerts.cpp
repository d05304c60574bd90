#include "server/KVClassAlerts.h"

#include "alert/AlertPile.h"

KVClassAlerts::KVClassAlerts(QObject* object) : QDBusAbstractAdaptor(object)
{
    connect(&AlertPile::instance(), &AlertPile::countChanged, this, &KVClassAlerts::CountChanged);
}

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
