#pragma once

#include "common/KalvexBus.h"
#include "common/KalvexProxies.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>

#include <memory>

// Kalvex's interfaces on a bus, through the proxies generated from
// common/Kalvex.KVClass.xml (KalvexKVClassInterface, ...Alerts..., ...Debug...).

// As a client calls Kalvex: the bus starts one when none serves.
template <typename Interface> std::unique_ptr<Interface> kalvexOn(const QDBusConnection& bus)
{
    KalvexBus::registerTypes();
    return std::make_unique<Interface>(KalvexBus::serviceName, KalvexBus::objectPath, bus);
}

// The Kalvex serving now, by its unique name: no call starts one, and while
// none serves every call fails.
template <typename Interface> std::unique_ptr<Interface> runningKalvexOn(const QDBusConnection& bus)
{
    KalvexBus::registerTypes();
    const QString owner = bus.interface()->serviceOwner(KalvexBus::serviceName);
    return std::make_unique<Interface>(owner.isEmpty() ? QStringLiteral(":0.0") : owner,
                                       KalvexBus::objectPath, bus);
}

// The reply once it has come.
template <typename Reply> Reply answered(Reply reply)
{
    reply.waitForFinished();
    return reply;
}
