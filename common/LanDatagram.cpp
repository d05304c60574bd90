#include "common/LanDatagram.h"

#include <QDBusMetaType>

QDBusArgument& operator<<(QDBusArgument& argument, const LanDatagram& datagram)
{
    argument.beginStructure();
    argument << datagram.source << datagram.text;
    argument.endStructure();
    return argument;
}

const QDBusArgument& operator>>(const QDBusArgument& argument, LanDatagram& datagram)
{
    argument.beginStructure();
    argument >> datagram.source >> datagram.text;
    argument.endStructure();
    return argument;
}

void registerLanDatagramType()
{
    qDBusRegisterMetaType<LanDatagram>();
    qDBusRegisterMetaType<QList<LanDatagram>>();
}
