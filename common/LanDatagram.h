#pragma once

#include <QDBusArgument>
#include <QList>
#include <QMetaType>
#include <QString>

// One received datagram as Tolvane hands it to Kalvex (MsgProcessBatch,
// D-Bus signature "(ss)"): the address it came from, dotted decimal, and its
// text. Answers go to that address, whatever the datagram's field 0 claims.
struct LanDatagram
{
    QString source;
    QString text;
};
Q_DECLARE_METATYPE(LanDatagram)

QDBusArgument& operator<<(QDBusArgument& argument, const LanDatagram& datagram);
const QDBusArgument& operator>>(const QDBusArgument& argument, LanDatagram& datagram);

// Makes "a(ss)" known to Qt D-Bus; before the first call or export that uses it.
void registerLanDatagramType();
