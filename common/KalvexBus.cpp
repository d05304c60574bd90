#include "common/KalvexBus.h"

#include "common/LanDatagram.h"

#include <QDBusMetaType>
#include <QVariantMap>

void KalvexBus::registerTypes()
{
    registerLanDatagramType();
    qDBusRegisterMetaType<QList<QVariantMap>>();
}
