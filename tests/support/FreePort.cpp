#include "FreePort.h"

#include <QRandomGenerator>
#include <QUdpSocket>

quint16 freeUdpPort()
{
    for (;;) {
        const auto port = quint16(QRandomGenerator::global()->bounded(20000, 32000));
        QUdpSocket probe;
        if (probe.bind(QHostAddress::AnyIPv4, port, QAbstractSocket::DontShareAddress))
            return port;
    }
}
