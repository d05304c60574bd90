#include "common/OwnAddresses.h"

#include <QElapsedTimer>
#include <QHostAddress>
#include <QNetworkInterface>

bool isOwnAddress(const QHostAddress& address)
{
    static QList<QHostAddress> addresses;
    static QElapsedTimer age;
    if (!age.isValid() || age.elapsed() > 5000) {
        addresses = QNetworkInterface::allAddresses();
        age.start();
    }
    return !address.isNull() && addresses.contains(address);
}
